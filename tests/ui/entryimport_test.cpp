// "İçe Aktar" on the real entry screen: a spreadsheet saved with Turkish
// settings goes through its dry run, the ready rows land in the grid exactly as
// if they had been typed key by key, and "Kayıt" stores them.
#include "ui/uitest.h"

#include "controls/moneyedit.h"
#include "entry/gridrules.h"
#include "entry/importdialog.h"
#include "entry/yatirimgir.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

using namespace entrygrid;

namespace
{

const QString Employer = QStringLiteral("010001000001");

// An entry screen over its own workspace, "today" in March 2025, with the
// employer's header filled and ASIL ticked.
struct Screen {
    Screen()
    {
        ws.platform.clock = QDateTime(QDate(2025, 3, 14), QTime(10, 0));
        static_cast<SarvekApplication *>(qApp)->setPlatform(&ws.platform);
        form = std::make_unique<TForm1>(*ws.ctx);
        form->show();
        form->activateWindow();
        ok = QTest::qWaitForWindowActive(form.get());
        child<QLineEdit>(*form, "ALKAZA")->setText(Employer.left(2));
        child<QLineEdit>(*form, "ALFIHRIST")->setText(Employer.mid(2, 4));
        child<QLineEdit>(*form, "ALSIRANO")->setText(Employer.mid(6));
        child<QPlainTextEdit>(*form, "alisvadi")->setPlainText(QStringLiteral("Deneme Ltd."));
        child<QRadioButton>(*form, "ALBODTUR1")->setChecked(true);
    }
    ~Screen() { static_cast<SarvekApplication *>(qApp)->setPlatform(nullptr); }

    QStringList totals() const
    {
        return {child<TMoneyEdit>(*form, "topbrut")->text(),
                child<TMoneyEdit>(*form, "topprim")->text(),
                child<TMoneyEdit>(*form, "topdepo")->text(),
                child<TMoneyEdit>(*form, "TOPPD")->text()};
    }

    Workspace ws;
    std::unique_ptr<TForm1> form;
    bool ok = false;
};

QString fixture(const QString &name)
{
    return QDir(QStringLiteral(SARVEK_FIXTURES_DIR)).filePath(QStringLiteral("csv/") + name);
}

} // namespace

class EntryImportTest : public QObject
{
    Q_OBJECT
  private slots:
    void importedRowsAreTheTypedRows();
    void cancelOrNoFileChangesNothing();
};

void EntryImportTest::importedRowsAreTheTypedRows()
{
    // The same three good rows of the sheet, typed into a grid key by key.
    Screen typed;
    QVERIFY(typed.ok);
    QTest::mouseClick(
        child<QTableWidget>(*typed.form, "alyatgir")->viewport(), Qt::LeftButton, {},
        child<QTableWidget>(*typed.form, "alyatgir")
            ->visualRect(child<QTableWidget>(*typed.form, "alyatgir")->model()->index(1, SarvekNo))
            .center());
    typeLikeAPerson(QStringLiteral("110001\t11122233344\t111222333\tŞerife Çağlar\tK\t30\t\t"
                                   "3250\t5\t\t10\t\t"
                                   "110002\t22233344455\t222333444\tİbrahim Öğüt\tE\t30\t\t"
                                   "4100.75\t5\t\t10\t\t"
                                   "110003\t33344455566\t333444555\tGökhan Işıkçı\tE\t12\tG\t"
                                   "1800\t5\t\t10\t"));
    const GridCells byHand = typed.form->gridCells();
    const QStringList handTotals = typed.totals();
    typed.form->close();

    Screen s;
    QVERIFY(s.ok);
    s.ws.platform.filesToOpen << fixture(QStringLiteral("cp1254_semicolon.csv"));
    // What the dry run shows, read from its own widgets: the verdicts in the
    // list, the verdict under it of the row it opens on, and the summary.
    QStringList verdicts;
    QString detail;
    QString summary;
    whenModalShown([&](QWidget *modal) {
        QTimer::singleShot(0, modal, [modal, &verdicts, &detail, &summary] {
            auto *dialog = qobject_cast<ImportDialog *>(modal);
            if (dialog && QTest::qWaitForWindowActive(modal)) {
                const QAbstractItemModel *list = dialog->aktarliste->model();
                for (int r = 0; r < list->rowCount(); ++r)
                    verdicts << list->index(r, list->columnCount() - 1).data().toString();
                detail = dialog->aktarayrinti->text();
                summary = dialog->aktarozet->text();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // "Aktar"
            }
            if (modal->isVisible())
                modal->close();
        });
    });
    QTest::mouseClick(child<QPushButton>(*s.form, "BitBtnIceAktar"), Qt::LeftButton);

    const QString refused =
        QStringLiteral("5. satırın \"Sarvek No\" hücresi (\"11004\") 6 karakter olmalıdır.");
    QCOMPARE(verdicts, (QStringList{csvimport::ReadyVerdict, csvimport::ReadyVerdict,
                                    csvimport::ReadyVerdict, refused}));
    QCOMPARE(detail, refused);
    QCOMPARE(summary,
             QStringLiteral("Aktarılmaya hazır satır: 3 / 4    Hatalı satır: 1\n"
                            "Hazır satırların Brüt Toplamı: 9,150.75    Toplam Yatırım Tutarı: "
                            "1,372.62\n"
                            "Hatalı satırlar aktarılmayacak; diğerleri tabloya eklenecek."));

    // The import left its grid where typing the rows and pressing one more key
    // would: the three rows, computed, and a template row "4" last.
    GridCells imported = s.form->gridCells();
    QCOMPARE(imported.size(), 5);
    QCOMPARE(imported.mid(1, 3), byHand.mid(1, 3));
    QCOMPARE(imported[4], templateRow(4));
    QCOMPARE(s.totals(), handTotals);
    QCOMPARE(s.totals(), (QStringList{"9,150.75", "457.54", "915.08", "1,372.62"}));
    QCOMPARE(s.ws.ctx->session.entry.rowCounter, 4);
    // Offscreen, nothing gives the window back its activation after a dialog.
    s.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.form.get()));
    QTRY_COMPARE(QApplication::focusWidget(),
                 child<QTableWidget>(*s.form, "alyatgir")->focusProxy());
    QCOMPARE(child<QTableWidget>(*s.form, "alyatgir")->currentRow(), 4);
    QCOMPARE(child<QTableWidget>(*s.form, "alyatgir")->currentColumn(), int(SarvekNo));

    // "Kayıt" by the keyboard: the focus on the button, then Space to
    // whatever holds the focus.
    child<QPushButton>(*s.form, "kayitbtn")->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), child<QPushButton>(*s.form, "kayitbtn"));
    QVERIFY(s.ws.platform.texts().isEmpty());
    typeLikeAPerson(QStringLiteral(" "));
    QCOMPARE(s.ws.platform.texts(), QStringList{QStringLiteral("Kayıt işlemi başarılı oldu !.. ")});
    const auto stored = s.ws.dm->select(
        QStringLiteral("select YATSIRANO, YATSRVNO, YATKIMLIK, YATSSKNO, YATISIM, YATCINS, "
                       "YATCALGUN, YATDURUM, YATBRUT, YATPRIMOR, YATDEPOOR from bodro where "
                       "YATISVER=? order by IDSIRA"),
        {Employer});
    QCOMPARE(stored,
             (QList<QStringList>{{"1", "110001", "11122233344", "111222333", "Şerife Çağlar", "K",
                                  "30", "", "3,250.00", "5.00", "10.00"},
                                 {"2", "110002", "22233344455", "222333444", "İbrahim Öğüt", "E",
                                  "30", "", "4,100.75", "5.00", "10.00"},
                                 {"3", "110003", "33344455566", "333444555", "Gökhan Işıkçı", "E",
                                  "12", "G", "1,800.00", "5.00", "10.00"}}));
}

void EntryImportTest::cancelOrNoFileChangesNothing()
{
    Screen s;
    QVERIFY(s.ok);
    const GridCells before = s.form->gridCells();

    // No file picked.
    QTest::mouseClick(child<QPushButton>(*s.form, "BitBtnIceAktar"), Qt::LeftButton);
    // "Vazgeç" on the dry run.
    s.ws.platform.filesToOpen << fixture(QStringLiteral("cp1254_semicolon.csv"));
    whenModalShown([](QWidget *modal) {
        QTimer::singleShot(0, modal, [modal] {
            if (QTest::qWaitForWindowActive(modal))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            if (modal->isVisible())
                modal->close();
        });
    });
    QTest::mouseClick(child<QPushButton>(*s.form, "BitBtnIceAktar"), Qt::LeftButton);

    QCOMPARE(s.form->gridCells(), before);
    QCOMPARE(s.totals(), (QStringList{"0.00", "0.00", "0.00", "0.00"}));
    QVERIFY(s.ws.platform.texts().isEmpty());
}

SARVEK_TEST_MAIN(EntryImportTest)
#include "entryimport_test.moc"
