// The entry screen driven as a user drives it: real key presses and focus
// changes on the real TForm1, messages read back from the scripted platform.
#include "ui/uitest.h"

#include "entry/gridrules.h"
#include "controls/moneyedit.h"
#include "entry/yatirimgir.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

using namespace entrygrid;

namespace {

// A workspace with a fixed "today" and an entry screen shown and active.
struct Screen {
    explicit Screen(const QDate &today = QDate(2025, 3, 14),
                    const std::function<void(Workspace &)> &before = {})
    {
        ws.platform.clock = QDateTime(today, QTime(10, 0));
        static_cast<SarvekApplication *>(qApp)->setPlatform(&ws.platform);
        if (before)
            before(ws);
        form = std::make_unique<TForm1>(*ws.ctx);
        form->show();
        form->activateWindow();
        ok = QTest::qWaitForWindowActive(form.get());
    }
    ~Screen() { static_cast<SarvekApplication *>(qApp)->setPlatform(nullptr); }

    QString cell(int row, int col) const { return form->alyatgir->item(row, col)->text(); }
    QPoint cursor() const
    {
        return {form->alyatgir->currentColumn(), form->alyatgir->currentRow()};
    }
    // Puts the focus into the grid's editor on (row, col).
    void goToCell(int row, int col)
    {
        form->alyatgir->setFocus();
        form->alyatgir->setCurrentCell(row, col);
        QCoreApplication::processEvents();
    }
    // Types into whatever holds the focus, replacing a selected text.
    void type(const QString &text) { typeText(QApplication::focusWidget(), text); }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
        QCoreApplication::processEvents();
    }
    // Types `text` into the cell under the cursor and leaves it with `key`.
    void enter(const QString &text, Qt::Key key = Qt::Key_Right)
    {
        type(text);
        press(key);
    }
    // Sets a header field's text as a user would: focus, select all, type.
    void fill(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            press(Qt::Key_Delete);
        else
            type(text);
    }
    QStringList messages() const { return ws.platform.texts(); }

    Workspace ws;
    std::unique_ptr<TForm1> form;
    bool ok = false;
};

} // namespace

class EntryScreenTest : public QObject
{
    Q_OBJECT
private slots:
    void opensWithItsLayoutAndState();
    void registryFields_data();
    void registryFields();
    void employerLookUp();
    void monthEnd_data();
    void monthEnd();
    void enterMovesFocusAndEscCloses();
    void functionKeys();
    void screenshot();
};

void EntryScreenTest::opensWithItsLayoutAndState()
{
    Screen s(QDate(2025, 3, 14), [](Workspace &ws) {
        ws.dm->execute(QStringLiteral("insert into bodrotemp (YATSIRANO) values ('1')"));
        ws.ctx->session.entry.rowCounter = 7;
        ws.ctx->session.entry.seqNo = QStringLiteral("3");
        ws.ctx->session.entry.employerNo = QStringLiteral("010001000001");
    });
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    QCOMPARE(f.objectName(), QStringLiteral("Form1"));
    QCOMPARE(f.windowTitle(), QStringLiteral("Aylık Yatırım Girişi"));
    QCOMPARE(f.ALKAZA->text(), QStringLiteral("00"));
    QCOMPARE(f.ALFIHRIST->text(), QStringLiteral("0000"));
    QCOMPARE(f.ALSIRANO->text(), QStringLiteral("000000"));
    QCOMPARE(f.periodStartText(), QStringLiteral("01.03.2025"));
    QCOMPARE(f.periodEndText(), QStringLiteral("31.03.2025"));
    QVERIFY(!f.ALBODTUR1->isChecked() && !f.ALBODTUR2->isChecked());
    QVERIFY(f.yatgonder->isChecked());
    for (auto *total : {f.topbrut, f.topprim, f.topdepo, f.TOPPD}) {
        QCOMPARE(total->text(), QStringLiteral("0.00"));
        QVERIFY(!total->isEnabled());
    }
    QVERIFY(f.yazmiktar->isHidden() && f.bitlist->isHidden() && f.btnayilksonyap->isHidden() &&
            f.devkayit->isHidden());
    QCOMPARE(f.devkayit->text(), QStringLiteral("iki Devreli kayıt"));

    // Title row and one template row "1".
    QCOMPARE(f.alyatgir->columnCount(), 14);
    QCOMPARE(f.alyatgir->rowCount(), 2);
    QCOMPARE(f.gridCells(), freshGrid());
    const int widths[] = {30, 80, 80, 80, 180, 60, 60, 60, 100, 80, 80, 80, 80, 120};
    for (int c = 0; c < 14; ++c)
        QCOMPARE(f.alyatgir->columnWidth(c), widths[c]);
    QCOMPARE(f.alyatgir->horizontalHeaderItem(8)->text(), QStringLiteral("Aylık Kazanç"));

    // Opening resets its own part of the session state, and only that part.
    const EntryState &state = s.ws.ctx->session.entry;
    QCOMPARE(state.rowCounter, 1);
    QCOMPARE(state.seqNo, QStringLiteral("1"));
    QCOMPARE(state.groupChar, QChar(u','));
    QCOMPARE(state.employerNo, QStringLiteral("010001000001"));
    QCOMPARE(s.ws.dm->select(QStringLiteral("select count(*) from bodrotemp")).at(0).at(0),
             QStringLiteral("0"));

    auto *legend = f.findChild<QLabel *>(QStringLiteral("Label13"));
    QVERIFY(legend);
    QCOMPARE(legend->text(), QStringLiteral("F1 : Yardım / F3 : Ekranı Temizle  /  F4 : Hesap "
                                            "Makinesi / F10: Tüm Bodro Listesi / ESC : Çıkış"));

    // Tab order through the header and into the grid's cell editor.
    f.ALFIHRIST->setText(QStringLiteral("0001"));
    f.ALSIRANO->setText(QStringLiteral("000001"));
    f.ALKAZA->setFocus();
    QWidget *header[] = {f.ALFIHRIST, f.ALSIRANO,  f.DEVREILK,  f.DEVRESON,
                         f.ALADRES,   f.ALTELNO,   f.alisvadi,  f.ALBODTUR1,
                         f.ALBODTUR2, f.yatgonder};
    for (QWidget *next : header) {
        s.press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    s.press(Qt::Key_Tab);
    QVERIFY(f.alyatgir->isAncestorOf(QApplication::focusWidget()));
    // The buttons after the grid; "Bul" is no tab stop.
    QWidget *buttons[] = {f.BitBtnCikis,  f.kayitbtn, f.BitBtnSatirSil, f.BitBtnIptal,
                          f.yeniac,       f.BitBtnYazdir, f.guncelle,   f.BitTumSubeYazdir};
    for (size_t i = 0; i + 1 < std::size(buttons); ++i)
        QCOMPARE(buttons[i]->nextInFocusChain(), buttons[i + 1]);
    QCOMPARE(f.BitBtnBul->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::registryFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("focusStays");

    const QString digits = QStringLiteral("Lütfen bu alana sadece sayı giriniz");
    const QString range = QStringLiteral("Lütfen Bir(1) ile Altı(6) arası bir Rakam Giriniz!");
    const QString zero = QStringLiteral("Bu Satır Boş Geçilemez!");
    QTest::newRow("empty district") << "ALKAZA" << "" << "00" << QStringList() << false;
    QTest::newRow("district 6") << "ALKAZA"
                                << "6"
                                << "06" << QStringList() << false;
    QTest::newRow("district 07") << "ALKAZA"
                                 << "07"
                                 << "07" << QStringList{range} << true;
    QTest::newRow("district 10") << "ALKAZA"
                                 << "10"
                                 << "10" << QStringList{range} << true;
    QTest::newRow("district letters once") << "ALKAZA"
                                           << "ab"
                                           << "ab" << QStringList{digits} << true;
    QTest::newRow("index 12") << "ALFIHRIST"
                              << "12"
                              << "0012" << QStringList() << false;
    QTest::newRow("index 0000") << "ALFIHRIST"
                                << "0000"
                                << "0000" << QStringList{zero} << true;
    QTest::newRow("index letters each") << "ALFIHRIST"
                                        << "1a2b"
                                        << "1a2b"
                                        << QStringList{digits, digits,
                                                       "'1a2b' geçerli bir tamsayı değil"}
                                        << true;
    QTest::newRow("index short letters padded") << "ALFIHRIST"
                                                << "x"
                                                << "000x"
                                                << QStringList{digits,
                                                               "'000x' geçerli bir tamsayı değil"}
                                                << true;
    QTest::newRow("sequence 1234") << "ALSIRANO"
                                   << "1234"
                                   << "001234" << QStringList() << false;
    QTest::newRow("sequence zero") << "ALSIRANO"
                                   << "0"
                                   << "000000" << QStringList{zero} << true;
}

void EntryScreenTest::registryFields()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QStringList, messages);
    QFETCH(bool, focusStays);

    Screen s;
    QVERIFY(s.ok);
    auto *edit = s.form->findChild<QLineEdit *>(field);
    s.fill(edit, typed);
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(edit->text(), shown);
    QCOMPARE(s.messages(), messages);
    QCOMPARE(QApplication::focusWidget() == edit, focusStays);
}

void EntryScreenTest::employerLookUp()
{
    Screen s(QDate(2025, 3, 14), [](Workspace &ws) {
        BodroRow row;
        row.isver = QStringLiteral("030012001234");
        row.adres = QStringLiteral("Girne Cad. 5");
        row.tel = QStringLiteral("8151234");
        row.isvisim = QStringLiteral("Öz Şirket Ltd.");
        insertBodro(*ws.dm, row);
    });
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    f.ALADRES->setPlainText(QStringLiteral("yazılan adres"));

    // A number never seen before leaves what the user typed.
    s.fill(f.ALKAZA, QStringLiteral("3"));
    s.fill(f.ALFIHRIST, QStringLiteral("12"));
    s.fill(f.ALSIRANO, QStringLiteral("999"));
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(f.ALSIRANO->text(), QStringLiteral("000999"));
    QCOMPARE(f.ALADRES->toPlainText(), QStringLiteral("yazılan adres"));
    QCOMPARE(s.ws.ctx->session.entry.employerNo, QStringLiteral("030012000999"));

    // A known number fills address, telephone and name over them.
    s.fill(f.ALSIRANO, QStringLiteral("1234"));
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(f.ALADRES->toPlainText(), QStringLiteral("Girne Cad. 5"));
    QCOMPARE(f.ALTELNO->text(), QStringLiteral("8151234"));
    QCOMPARE(f.alisvadi->toPlainText(), QStringLiteral("Öz Şirket Ltd."));
    QCOMPARE(f.registryNumber(), QStringLiteral("030012001234"));
    QCOMPARE(s.ws.ctx->session.entry.employerNo, QStringLiteral("030012001234"));
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::monthEnd_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("chosen");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("leap 2024") << QDate(2025, 3, 14) << QDate(2024, 2, 15) << "15.02.2024"
                               << "29.02.2024";
    QTest::newRow("plain 2023") << QDate(2025, 3, 14) << QDate(2023, 2, 15) << "15.02.2023"
                                << "28.02.2023";
    QTest::newRow("leap 2028") << QDate(2025, 3, 14) << QDate(2028, 2, 1) << "01.02.2028"
                               << "29.02.2028";
    QTest::newRow("century 2100") << QDate(2025, 3, 14) << QDate(2100, 2, 3) << "03.02.2100"
                                  << "28.02.2100";
    QTest::newRow("april") << QDate(2025, 3, 14) << QDate(2025, 4, 30) << "30.04.2025"
                           << "30.04.2025";
    QTest::newRow("opening in leap February") << QDate(2024, 2, 29) << QDate() << "01.02.2024"
                                              << "29.02.2024";
}

void EntryScreenTest::monthEnd()
{
    QFETCH(QDate, today);
    QFETCH(QDate, chosen);
    QFETCH(QString, start);
    QFETCH(QString, end);
    Screen s(today);
    QVERIFY(s.ok);
    if (chosen.isValid()) {
        s.form->DEVREILK->setFocus();
        s.form->DEVREILK->setDate(chosen);
        s.press(Qt::Key_Tab);
    }
    QTRY_COMPARE(s.form->periodEndText(), end);
    QCOMPARE(s.form->periodStartText(), start);
}

void EntryScreenTest::enterMovesFocusAndEscCloses()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    f.ALADRES->setFocus();
    s.type(QStringLiteral("Lefkoşa"));
    s.press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), f.ALTELNO);
    QCOMPARE(f.ALADRES->toPlainText(), QStringLiteral("Lefkoşa"));
    s.press(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), f.alisvadi);
    s.press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), f.ALBODTUR1);
    QVERIFY(f.isVisible());

    // The address field takes at most 45 characters, on one line.
    f.ALADRES->setFocus();
    s.type(QString(50, u'x'));
    QCOMPARE(f.ALADRES->toPlainText().size(), 45);

    // ESC in the grid does nothing; in a header field it closes at once.
    s.goToCell(1, 1);
    s.press(Qt::Key_Escape);
    QVERIFY(f.isVisible());
    f.ALADRES->setFocus();
    s.press(Qt::Key_Escape);
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Rejected));
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::functionKeys()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;

    // F1 without a help file does nothing; with one, it is opened.
    f.ALTELNO->setFocus();
    s.press(Qt::Key_F1);
    QCOMPARE(s.ws.platform.openedDocuments, QStringList());
    QFile help(s.ws.path(QStringLiteral("sarvek.chm")));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.close();
    s.press(Qt::Key_F1);
    QCOMPARE(s.ws.platform.openedDocuments, QStringList{help.fileName()});

    // F4 from the header and from the grid.
    s.press(Qt::Key_F4);
    s.goToCell(1, 1);
    s.press(Qt::Key_F4);
    QCOMPARE(s.ws.platform.calculatorStarts, 2);

    // F3 in the grid clears the screen and puts the focus on ALKAZA.
    s.enter(QStringLiteral("123456"), Qt::Key_Tab);
    f.ALTELNO->setText(QStringLiteral("123"));
    s.goToCell(1, 2);
    s.press(Qt::Key_F3);
    QCOMPARE(s.cell(1, 1), QString());
    QCOMPARE(f.ALTELNO->text(), QString());
    QCOMPARE(QApplication::focusWidget(), f.ALKAZA);
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::screenshot()
{
    const QString out = qEnvironmentVariable("SARVEK_SHOT");
    if (out.isEmpty())
        QSKIP("set SARVEK_SHOT to a png path to take a screenshot");
    Screen s;
    QVERIFY(s.ok);
    s.form->resize(1366, 768);
    QTest::qWait(100);
    s.form->grab().save(out);
}

SARVEK_TEST_MAIN(EntryScreenTest)
#include "entryscreen_test.moc"
