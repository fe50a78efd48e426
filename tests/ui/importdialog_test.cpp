// The import's dry run on real sheets: what it lists and counts, the choice to
// bring in nothing while a row is refused, and what "Aktar", "Vazgeç" and an
// unreadable file hand back to the entry screen.
#include "ui/uitest.h"

#include "entry/importdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

using namespace entrygrid;

namespace
{

QString fixture(const QString &name)
{
    return QDir(qEnvironmentVariable("SARVEK_FIXTURES")).filePath(QStringLiteral("csv/") + name);
}

QStringList column(QTableView *view, int col)
{
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        out << view->model()->index(r, col).data().toString();
    return out;
}

bool showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

void press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

// Runs the dry run of `path`; while it is open, `inside` sees it, and then
// the keys go in one at a time to whatever has the focus. The work runs on
// its own timer: waiting for the window would delete the polling one.
std::optional<QList<QStringList>> runWithKeys(const QString &path, ScriptedPlatform &platform,
                                              QList<Qt::Key> keys,
                                              std::function<void(ImportDialog *)> inside = {})
{
    whenModalShown([keys, inside](QWidget *modal) {
        QTimer::singleShot(0, modal, [modal, keys, inside] {
            auto *dialog = qobject_cast<ImportDialog *>(modal);
            if (dialog && QTest::qWaitForWindowActive(modal)) {
                if (inside)
                    inside(dialog);
                for (Qt::Key key : keys)
                    press(key);
            }
            if (modal->isVisible())
                modal->close();
        });
    });
    return runImportDialog(nullptr, path, platform);
}

} // namespace

class ImportDialogTest : public QObject
{
    Q_OBJECT

  private slots:
    void listsEveryRowWithItsVerdict();
    void boxKeepsEverythingOutWhileARowIsRefused();
    void aktarHandsBackTheReadyRows();
    void vazgecHandsBackNothing();
    void unreadableFilesAreToldAndNothingOpens_data();
    void unreadableFilesAreToldAndNothingOpens();
    void sheetWithoutReadyRowsCannotBeBroughtIn();
    void amountsTooLargeAreTheirRowsVerdicts();
    void fiveThousandRows();
};

void ImportDialogTest::listsEveryRowWithItsVerdict()
{
    ImportDialog dialog(csvimport::readSheetFile(fixture("cp1254_comma.csv")),
                        QStringLiteral("cp1254_comma.csv"));
    QVERIFY(showActive(dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("İçe Aktar - cp1254_comma.csv"));

    QTableView *view = dialog.findChild<QTableView *>(QStringLiteral("aktarliste"));
    QVERIFY(view);
    QAbstractItemModel *model = view->model();
    QCOMPARE(model->columnCount(), 13);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Satır"));
    QCOMPARE(model->headerData(8, Qt::Horizontal).toString(), QStringLiteral("Aylık Kazanç"));
    QCOMPARE(model->headerData(12, Qt::Horizontal).toString(), QStringLiteral("Durum"));

    QCOMPARE(column(view, 0), (QStringList{"2", "3", "4", "5"}));
    QCOMPARE(column(view, 12),
             (QStringList{"hazır",
                          "3. satırın \"Aylık Kazanç\" hücresi (\"1,234\") iki türlü okunabiliyor; "
                          "ondalıklarıyla birlikte yazınız (1.234,00 ya da 1,234.00 gibi).",
                          "4. satırın \"Sarvek No\" hücresi (\"20003\") 6 karakter olmalıdır.",
                          "hazır"}));
    // Ready rows show the amounts the grid will show; refused ones the sheet's text.
    QCOMPARE(column(view, 8), (QStringList{"2,500.50", "1,234", "1234.5", "12,345.60"}));
    QCOMPARE(column(view, 11), (QStringList{"137.53", "", "", "1,851.84"}));
    QCOMPARE(column(view, 4),
             (QStringList{"Şükrü Güler", "Nazlı Çelik", "İpek Doğan", "Ğani Özdemir"}));
    // The refused cell stands out, and the list opens on the first refused row.
    QVERIFY(model->index(1, 8).data(Qt::BackgroundRole).isValid());
    QVERIFY(!model->index(1, 4).data(Qt::BackgroundRole).isValid());
    QVERIFY(!model->index(0, 8).data(Qt::BackgroundRole).isValid());
    QCOMPARE(view->currentIndex().row(), 1);
    QCOMPARE(QApplication::focusWidget(), view);
    // The current row's verdict is shown in full under the list.
    QLabel *detail = dialog.findChild<QLabel *>(QStringLiteral("aktarayrinti"));
    QCOMPARE(detail->text(), column(view, 12).at(1));
    press(Qt::Key_Down);
    QCOMPARE(detail->text(), column(view, 12).at(2));

    QLabel *summary = dialog.findChild<QLabel *>(QStringLiteral("aktarozet"));
    QCOMPARE(summary->text(),
             QStringLiteral("Aktarılmaya hazır satır: 2 / 4    Hatalı satır: 2\n"
                            "Hazır satırların Brüt Toplamı: 14,846.10    Toplam Yatırım Tutarı: "
                            "1,989.37\n"
                            "Hatalı satırlar aktarılmayacak; diğerleri tabloya eklenecek."));
    auto *box = dialog.findChild<QCheckBox *>(QStringLiteral("hicbirini"));
    QCOMPARE(box->text(), QStringLiteral("Hatalı satır varsa hiçbirini aktarma"));
    QVERIFY(!box->isChecked());
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("BitBtnAktar"))->text(),
             QStringLiteral("Aktar"));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("BitBtnVazgec"))->text(),
             QStringLiteral("Vazgeç"));
}

void ImportDialogTest::boxKeepsEverythingOutWhileARowIsRefused()
{
    ImportDialog dialog(csvimport::readSheetFile(fixture("utf8_semicolon.csv")),
                        QStringLiteral("utf8_semicolon.csv"));
    QVERIFY(showActive(dialog));
    QVERIFY(dialog.BitBtnAktar->isEnabled());
    QCOMPARE(dialog.rowsToImport().size(), 3);

    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.hicbirini);
    press(Qt::Key_Space);
    QVERIFY(dialog.hicbirini->isChecked());
    QVERIFY(!dialog.BitBtnAktar->isEnabled());
    QVERIFY(dialog.rowsToImport().isEmpty());
    QVERIFY(dialog.aktarozet->text().endsWith(
        QStringLiteral("\nHatalı satırlar düzeltilmeden hiçbir satır aktarılmayacak.")));
    // Enter cannot bring anything in now.
    press(Qt::Key_Return);
    QVERIFY(dialog.isVisible());

    press(Qt::Key_Space);
    QVERIFY(dialog.BitBtnAktar->isEnabled());
    QCOMPARE(dialog.rowsToImport().size(), 3);

    // With nothing refused the box changes nothing.
    ImportDialog clean(csvimport::readSheet("Sarvek No;Cinsiyet\n123456;E\n"), QString());
    clean.hicbirini->setChecked(true);
    QVERIFY(clean.BitBtnAktar->isEnabled());
    QCOMPARE(clean.rowsToImport().size(), 1);
}

void ImportDialogTest::aktarHandsBackTheReadyRows()
{
    ScriptedPlatform platform;
    const auto rows = runWithKeys(fixture("utf8_semicolon.csv"), platform, {Qt::Key_Return});
    QVERIFY(rows);
    QCOMPARE(*rows, csvimport::readSheetFile(fixture("utf8_semicolon.csv")).readyRows());
    QCOMPARE(rows->size(), 3);
    QCOMPARE(rows->at(1)[SarvekNo], QStringLiteral("100002"));
    QVERIFY(platform.texts().isEmpty());

    // With the box ticked and a row refused, Enter does nothing and Esc leaves.
    const auto none = runWithKeys(fixture("utf8_semicolon.csv"), platform,
                                  {Qt::Key_Tab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape});
    QVERIFY(!none);
}

void ImportDialogTest::vazgecHandsBackNothing()
{
    ScriptedPlatform platform;
    QVERIFY(!runWithKeys(fixture("cp1254_comma.csv"), platform, {Qt::Key_Escape}));

    bool shown = false;
    const auto rows =
        runWithKeys(fixture("cp1254_comma.csv"), platform, {}, [&shown](ImportDialog *dialog) {
            shown = true;
            dialog->BitBtnVazgec->click();
        });
    QVERIFY(shown);
    QVERIFY(!rows);
    QVERIFY(platform.texts().isEmpty());
}

void ImportDialogTest::unreadableFilesAreToldAndNothingOpens_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << fixture("empty.csv")
                           << QStringLiteral("Seçilen dosya boş; aktarılacak satır yok.");
    QTest::newRow("workbook") << fixture("workbook.csv")
                              << QStringLiteral("Seçilen dosya bir metin (CSV) dosyası değil. "
                                                "Tabloyu CSV olarak kaydedip o dosyayı seçiniz.");
    QTest::newRow("missing") << fixture("nowhere.csv")
                             << fixture("nowhere.csv") +
                                    QStringLiteral(" dosyası açılamadı: No such file or directory");
}

void ImportDialogTest::unreadableFilesAreToldAndNothingOpens()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    ScriptedPlatform platform;
    ModalCloser closer;
    QVERIFY(!runImportDialog(nullptr, file, platform));
    QCOMPARE(platform.texts(), QStringList{message});
    QVERIFY(closer.captions.isEmpty());
}

void ImportDialogTest::sheetWithoutReadyRowsCannotBeBroughtIn()
{
    ImportDialog dialog(csvimport::readSheet("Sarvek No;Cinsiyet\n12345;E\n123456;X\n"), QString());
    QVERIFY(!dialog.BitBtnAktar->isEnabled());
    QCOMPARE(dialog.aktarozet->text(),
             QStringLiteral("Aktarılmaya hazır satır: 0 / 2    Hatalı satır: 2\n"
                            "Hazır satırların Brüt Toplamı: 0.00    Toplam Yatırım Tutarı: 0.00\n"
                            "Aktarılabilecek satır yok; dosyadaki hataları düzeltiniz."));
}

void ImportDialogTest::amountsTooLargeAreTheirRowsVerdicts()
{
    // A gross too wide for its column and a rate too large to compute a
    // premium with: the dry run still opens, and only those rows are refused.
    ScriptedPlatform platform;
    QStringList verdicts;
    QString summary;
    const auto rows = runWithKeys(fixture("huge_amounts.csv"), platform, {Qt::Key_Return},
                                  [&](ImportDialog *dialog) {
                                      verdicts = column(dialog->aktarliste, 12);
                                      summary = dialog->aktarozet->text();
                                  });
    QVERIFY(platform.texts().isEmpty());
    QCOMPARE(verdicts,
             (QStringList{"hazır",
                          "3. satırın \"Aylık Kazanç\" hücresi en fazla 25 karakter olmalıdır "
                          "(\"123,456,789,012,345,678,901,234,567,890,123.00\" 46 karakter).",
                          "4. satırın \"P.Oranı %\" hücresi "
                          "(\"99999999999999999999999999999999999\") ile tutar hesaplanamıyor "
                          "(Sayı hesaplanamayacak kadar büyük)."}));
    QCOMPARE(summary,
             QStringLiteral("Aktarılmaya hazır satır: 1 / 3    Hatalı satır: 2\n"
                            "Hazır satırların Brüt Toplamı: 2,000.00    Toplam Yatırım Tutarı: "
                            "300.00\n"
                            "Hatalı satırlar aktarılmayacak; diğerleri tabloya eklenecek."));
    QVERIFY(rows);
    QCOMPARE(rows->size(), 1);
    QCOMPARE(rows->at(0)[SarvekNo], QStringLiteral("120001"));
}

void ImportDialogTest::fiveThousandRows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bordro.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Sarvek No;Adı Soyadı;Cinsiyet;Gün Sayısı;Aylık Kazanç;P.Oranı %;D.Oranı %\r\n");
    for (int i = 0; i < 5000; ++i)
        file.write(QByteArray::number(100000 + i) + ";Çalışan;K;30;2.000,00;5;10\r\n");
    file.close();

    ScriptedPlatform platform;
    int listed = -1;
    QString summary;
    const auto rows =
        runWithKeys(path, platform, {Qt::Key_End, Qt::Key_Return}, [&](ImportDialog *dialog) {
            listed = dialog->aktarliste->model()->rowCount();
            summary = dialog->aktarozet->text();
        });
    QCOMPARE(listed, 5000);
    QVERIFY(summary.startsWith(
        QStringLiteral("Aktarılmaya hazır satır: 5000 / 5000    Hatalı satır: 0\n"
                       "Hazır satırların Brüt Toplamı: 10,000,000.00    Toplam Yatırım Tutarı: "
                       "1,500,000.00")));
    QVERIFY(rows);
    QCOMPARE(rows->size(), 5000);
}

SARVEK_TEST_MAIN(ImportDialogTest)
#include "importdialog_test.moc"
