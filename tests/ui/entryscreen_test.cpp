// The entry screen driven as a user drives it: real key presses and focus
// changes on the real TForm1, messages read back from the scripted platform.
#include "ui/uitest.h"

#include "controls/moneyedit.h"
#include "entry/gridrules.h"
#include "entry/yatirimgir.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
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

namespace
{

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

    QString cell(int row, int col) const
    {
        return child<QTableWidget>(*form, "alyatgir")->item(row, col)->text();
    }
    QPoint cursor() const
    {
        return {child<QTableWidget>(*form, "alyatgir")->currentColumn(),
                child<QTableWidget>(*form, "alyatgir")->currentRow()};
    }
    // Puts the focus into the grid's editor on (row, col).
    void goToCell(int row, int col)
    {
        child<QTableWidget>(*form, "alyatgir")->setFocus();
        child<QTableWidget>(*form, "alyatgir")->setCurrentCell(row, col);
        QCoreApplication::processEvents();
    }
    // Types into whatever holds the focus, key by key, replacing a selected text.
    void type(const QString &text) { typeLikeAPerson(text); }
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
    // A mouse click on a grid cell.
    void clickCell(int row, int col)
    {
        const QRect rect =
            child<QTableWidget>(*form, "alyatgir")
                ->visualItemRect(child<QTableWidget>(*form, "alyatgir")->item(row, col));
        QTest::mouseClick(child<QTableWidget>(*form, "alyatgir")->viewport(), Qt::LeftButton, {},
                          rect.center());
        QCoreApplication::processEvents();
    }
    // The header of a storable return, ASIL ticked.
    void header()
    {
        child<QLineEdit>(*form, "ALKAZA")->setText(QStringLiteral("01"));
        child<QLineEdit>(*form, "ALFIHRIST")->setText(QStringLiteral("0001"));
        child<QLineEdit>(*form, "ALSIRANO")->setText(QStringLiteral("000001"));
        child<QDateEdit>(*form, "DEVREILK")->setDate(QDate(2025, 3, 1));
        child<QDateEdit>(*form, "DEVRESON")->setDate(QDate(2025, 3, 31));
        child<QRadioButton>(*form, "ALBODTUR1")->setChecked(true);
    }
    QList<QStringList> stored() const
    {
        return ws.dm->select(
            QStringLiteral("select YATSRVNO, YATISIM, YATCINS, YATCALGUN, YATBRUT, "
                           "YATPRIMOR, YATDEPOOR from bodro order by IDSIRA"));
    }
    QWidget *editor() const { return child<QTableWidget>(*form, "alyatgir")->focusProxy(); }

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
    void fundNumberCheckAndLookUp();
    void focusReturnsAfterARealMessageBox();
    void cursorMovesLikeADataEntryGrid();
    void cellChecks_data();
    void cellChecks();
    void sigortaCheckRunsOnEveryKey();
    void refusalInColumnZeroStays();
    void leaveReason_data();
    void leaveReason();
    void newRowAfterComputedTotal();
    void jumpFromDepositAmount();
    void arithmetic_data();
    void arithmetic();
    void notANumberKeepsTheCursor();
    void wholeReturnByKeyboard();
    void deleteRow();
    void deleteOnlyRow();
    void cancelKeepsHeaderNewClearsAll();
    void exitEmptiesStagingAndCloses();
    void databaseErrorStopsTheCommand();
    void workedExampleTyped_data();
    void workedExampleTyped();
    void threeEmployeesInARow();
    void headerEntersOnFundNumber_data();
    void headerEntersOnFundNumber();
    void commandsFinishTheOpenCell_data();
    void commandsFinishTheOpenCell();
    void refusedOpenCellStopsTheCommand();
    void storeRefusals_data();
    void storeRefusals();
    void unreadableNumbersGiveAMessage_data();
    void unreadableNumbersGiveAMessage();
    void deleteRebuildsTotals();
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
    QCOMPARE(child<QLineEdit>(f, "ALKAZA")->text(), QStringLiteral("00"));
    QCOMPARE(child<QLineEdit>(f, "ALFIHRIST")->text(), QStringLiteral("0000"));
    QCOMPARE(child<QLineEdit>(f, "ALSIRANO")->text(), QStringLiteral("000000"));
    QCOMPARE(f.periodStartText(), QStringLiteral("01.03.2025"));
    QCOMPARE(f.periodEndText(), QStringLiteral("31.03.2025"));
    QVERIFY(!child<QRadioButton>(f, "ALBODTUR1")->isChecked() &&
            !child<QRadioButton>(f, "ALBODTUR2")->isChecked());
    QVERIFY(child<QCheckBox>(f, "yatgonder")->isChecked());
    for (auto *total : {child<TMoneyEdit>(f, "topbrut"), child<TMoneyEdit>(f, "topprim"),
                        child<TMoneyEdit>(f, "topdepo"), child<TMoneyEdit>(f, "TOPPD")}) {
        QCOMPARE(total->text(), QStringLiteral("0.00"));
        QVERIFY(!total->isEnabled());
    }
    QVERIFY(child<TMoneyEdit>(f, "yazmiktar")->isHidden() &&
            child<QPushButton>(f, "bitlist")->isHidden() &&
            child<QPushButton>(f, "btnayilksonyap")->isHidden() &&
            child<QPushButton>(f, "devkayit")->isHidden());
    QCOMPARE(child<QPushButton>(f, "devkayit")->text(), QStringLiteral("iki Devreli kayıt"));

    // Title row and one template row "1".
    QCOMPARE(child<QTableWidget>(f, "alyatgir")->columnCount(), 14);
    QCOMPARE(child<QTableWidget>(f, "alyatgir")->rowCount(), 2);
    QCOMPARE(f.gridCells(), freshGrid());
    const int widths[] = {30, 80, 80, 80, 180, 60, 60, 60, 100, 80, 80, 80, 80, 120};
    for (int c = 0; c < 14; ++c)
        QCOMPARE(child<QTableWidget>(f, "alyatgir")->columnWidth(c), widths[c]);
    QCOMPARE(child<QTableWidget>(f, "alyatgir")->horizontalHeaderItem(8)->text(),
             QStringLiteral("Aylık Kazanç"));

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
    child<QLineEdit>(f, "ALFIHRIST")->setText(QStringLiteral("0001"));
    child<QLineEdit>(f, "ALSIRANO")->setText(QStringLiteral("000001"));
    child<QLineEdit>(f, "ALKAZA")->setFocus();
    QWidget *header[] = {child<QLineEdit>(f, "ALFIHRIST"),     child<QLineEdit>(f, "ALSIRANO"),
                         child<QDateEdit>(f, "DEVREILK"),      child<QDateEdit>(f, "DEVRESON"),
                         child<QPlainTextEdit>(f, "ALADRES"),  child<QLineEdit>(f, "ALTELNO"),
                         child<QPlainTextEdit>(f, "alisvadi"), child<QRadioButton>(f, "ALBODTUR1"),
                         child<QRadioButton>(f, "ALBODTUR2"),  child<QCheckBox>(f, "yatgonder")};
    for (QWidget *next : header) {
        s.press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    s.press(Qt::Key_Tab);
    QVERIFY(child<QTableWidget>(f, "alyatgir")->isAncestorOf(QApplication::focusWidget()));
    // The buttons after the grid; "Bul" is no tab stop.
    QWidget *buttons[] = {
        child<QPushButton>(f, "BitBtnCikis"),    child<QPushButton>(f, "kayitbtn"),
        child<QPushButton>(f, "BitBtnSatirSil"), child<QPushButton>(f, "BitBtnIptal"),
        child<QPushButton>(f, "yeniac"),         child<QPushButton>(f, "BitBtnYazdir"),
        child<QPushButton>(f, "guncelle"),       child<QPushButton>(f, "BitTumSubeYazdir")};
    for (size_t i = 0; i + 1 < std::size(buttons); ++i)
        QCOMPARE(buttons[i]->nextInFocusChain(), buttons[i + 1]);
    QCOMPARE(child<QPushButton>(f, "BitBtnBul")->focusPolicy(), Qt::ClickFocus);
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
    QTest::newRow("empty district") << "ALKAZA"
                                    << ""
                                    << "00" << QStringList() << false;
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
    QTest::newRow("index letters each")
        << "ALFIHRIST"
        << "1a2b"
        << "1a2b" << QStringList{digits, digits, "'1a2b' geçerli bir tamsayı değil"} << true;
    QTest::newRow("index short letters padded")
        << "ALFIHRIST"
        << "x"
        << "000x" << QStringList{digits, "'000x' geçerli bir tamsayı değil"} << true;
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
    child<QPlainTextEdit>(f, "ALADRES")->setPlainText(QStringLiteral("yazılan adres"));

    // A number never seen before leaves what the user typed.
    s.fill(child<QLineEdit>(f, "ALKAZA"), QStringLiteral("3"));
    s.fill(child<QLineEdit>(f, "ALFIHRIST"), QStringLiteral("12"));
    s.fill(child<QLineEdit>(f, "ALSIRANO"), QStringLiteral("999"));
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(child<QLineEdit>(f, "ALSIRANO")->text(), QStringLiteral("000999"));
    QCOMPARE(child<QPlainTextEdit>(f, "ALADRES")->toPlainText(), QStringLiteral("yazılan adres"));
    QCOMPARE(s.ws.ctx->session.entry.employerNo, QStringLiteral("030012000999"));

    // A known number fills address, telephone and name over them.
    s.fill(child<QLineEdit>(f, "ALSIRANO"), QStringLiteral("1234"));
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(child<QPlainTextEdit>(f, "ALADRES")->toPlainText(),
                 QStringLiteral("Girne Cad. 5"));
    QCOMPARE(child<QLineEdit>(f, "ALTELNO")->text(), QStringLiteral("8151234"));
    QCOMPARE(child<QPlainTextEdit>(f, "alisvadi")->toPlainText(), QStringLiteral("Öz Şirket Ltd."));
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
        child<QDateEdit>(*s.form, "DEVREILK")->setFocus();
        child<QDateEdit>(*s.form, "DEVREILK")->setDate(chosen);
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
    child<QPlainTextEdit>(f, "ALADRES")->setFocus();
    s.type(QStringLiteral("Lefkoşa"));
    s.press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(f, "ALTELNO"));
    QCOMPARE(child<QPlainTextEdit>(f, "ALADRES")->toPlainText(), QStringLiteral("Lefkoşa"));
    s.press(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), child<QPlainTextEdit>(f, "alisvadi"));
    s.press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QRadioButton>(f, "ALBODTUR1"));
    QVERIFY(f.isVisible());

    // The address field takes at most 45 characters, on one line.
    child<QPlainTextEdit>(f, "ALADRES")->setFocus();
    s.type(QString(50, u'x'));
    QCOMPARE(child<QPlainTextEdit>(f, "ALADRES")->toPlainText().size(), 45);

    // ESC in the grid does nothing; in a header field it closes at once.
    s.goToCell(1, 1);
    s.press(Qt::Key_Escape);
    QVERIFY(f.isVisible());
    child<QPlainTextEdit>(f, "ALADRES")->setFocus();
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
    child<QLineEdit>(f, "ALTELNO")->setFocus();
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
    child<QLineEdit>(f, "ALTELNO")->setText(QStringLiteral("123"));
    s.goToCell(1, 2);
    s.press(Qt::Key_F3);
    QCOMPARE(s.cell(1, 1), QString());
    QCOMPARE(child<QLineEdit>(f, "ALTELNO")->text(), QString());
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(f, "ALKAZA"));
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::fundNumberCheckAndLookUp()
{
    Screen s(QDate(2025, 3, 14), [](Workspace &ws) {
        BodroRow known;
        known.srvno = QStringLiteral("123456");
        known.kimlik = QStringLiteral("98765432101");
        known.ssk = QStringLiteral("555666777");
        known.isim = QStringLiteral("Ayşe Yılmaz");
        known.cins = QStringLiteral("K");
        known.calgun = QStringLiteral("26");
        insertBodro(*ws.dm, known);
        BodroRow quoted = known;
        quoted.srvno = QStringLiteral("12'456");
        quoted.isim = QStringLiteral("O'Neil");
        insertBodro(*ws.dm, quoted);
    });
    QVERIFY(s.ok);
    s.goToCell(1, SarvekNo);

    // Five characters: refused with Right, and the cursor stays.
    s.enter(QStringLiteral("12345"));
    QCOMPARE(s.messages(), QStringList{SarvekNoMessage});
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 1));

    // The same left with Tab passes silently, and nothing is looked up.
    s.press(Qt::Key_Tab);
    QCOMPARE(s.messages(), QStringList{SarvekNoMessage});
    QCOMPARE(s.cursor(), QPoint(KimlikNo, 1));
    QCOMPARE(s.cell(1, AdiSoyadi), QString());

    // Six characters pass and fill columns 2 to 6 from the earlier return.
    s.goToCell(1, SarvekNo);
    s.enter(QStringLiteral("123456"));
    QCOMPARE(s.cursor(), QPoint(KimlikNo, 1));
    const QStringList filled{"98765432101", "555666777", "Ayşe Yılmaz", "K", "26"};
    QCOMPARE(s.form->gridRows().at(0).mid(KimlikNo, 5), filled);

    // A quote in the fund number is looked up like any other character.
    s.goToCell(1, SarvekNo);
    s.enter(QStringLiteral("12'456"));
    QCOMPARE(s.cell(1, AdiSoyadi), QStringLiteral("O'Neil"));
    QCOMPARE(s.messages(), QStringList{SarvekNoMessage});
}

void EntryScreenTest::focusReturnsAfterARealMessageBox()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    // A real message box takes the activation from the screen while it is up.
    QWidget box;
    box.resize(200, 80);
    s.ws.platform.onShown = [&box](const ScriptedPlatform::Shown &) {
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.hide();
    };
    auto reactivate = [&] {
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
    };

    s.goToCell(1, SarvekNo);
    s.enter(QStringLiteral("12345"));
    reactivate();
    QCOMPARE(s.messages(), QStringList{SarvekNoMessage});
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 1));
    QCOMPARE(QApplication::focusWidget(), child<QTableWidget>(f, "alyatgir")->focusProxy());

    s.fill(child<QLineEdit>(f, "ALKAZA"), QStringLiteral("07"));
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(s.messages().size(), 2);
    reactivate();
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(f, "ALKAZA"));
}

void EntryScreenTest::cursorMovesLikeADataEntryGrid()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    s.goToCell(1, AdiSoyadi);
    s.type(QStringLiteral("abc"));
    // Inside the text the arrows move the caret; at its edges they leave.
    s.press(Qt::Key_Left);
    QCOMPARE(s.cursor(), QPoint(AdiSoyadi, 1));
    s.press(Qt::Key_Right);
    QCOMPARE(s.cursor(), QPoint(AdiSoyadi, 1));
    s.press(Qt::Key_Right);
    QCOMPARE(s.cursor(), QPoint(Cinsiyet, 1));
    s.press(Qt::Key_Left); // the entered cell's text is selected as a whole
    QCOMPARE(s.cursor(), QPoint(AdiSoyadi, 1));
    s.press(Qt::Key_End);
    s.press(Qt::Key_Home);
    s.press(Qt::Key_Left);
    QCOMPARE(s.cursor(), QPoint(SigortaNo, 1));
    QCOMPARE(s.cell(1, AdiSoyadi), QStringLiteral("abc"));

    // Edges: Up on row 1 and Down on the last row stay; Enter does not move.
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Return}) {
        s.press(key);
        QCOMPARE(s.cursor(), QPoint(SigortaNo, 1));
    }
    // Tab wraps from the last cell to row 1, Shift+Tab the other way.
    child<QTableWidget>(f, "alyatgir")->setRowCount(3);
    s.goToCell(2, Toplam);
    s.press(Qt::Key_Tab);
    QCOMPARE(s.cursor(), QPoint(SNo, 1));
    s.press(Qt::Key_Backtab);
    QCOMPARE(s.cursor(), QPoint(Toplam, 2));
    s.press(Qt::Key_Up);
    QCOMPARE(s.cursor(), QPoint(Toplam, 1));

    // A mouse click leaves the cell like a key, and its rules run.
    s.goToCell(1, AylikKazanc);
    s.type(QStringLiteral("1500"));
    const QRect target =
        child<QTableWidget>(f, "alyatgir")
            ->visualItemRect(child<QTableWidget>(f, "alyatgir")->item(1, KimlikNo));
    QTest::mouseClick(child<QTableWidget>(f, "alyatgir")->viewport(), Qt::LeftButton, {},
                      target.center());
    QCOMPARE(s.cursor(), QPoint(KimlikNo, 1));
    QCOMPARE(s.cell(1, AylikKazanc), QStringLiteral("1,500.00"));
    QCOMPARE(child<TMoneyEdit>(f, "topbrut")->text(), QStringLiteral("1,500.00"));
    QCOMPARE(QApplication::focusWidget(), child<QTableWidget>(f, "alyatgir")->focusProxy());
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::cellChecks_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("cursorAfter");

    QTest::newRow("sex e") << int(Cinsiyet) << "e"
                           << "E" << QStringList() << int(GunSayisi);
    QTest::newRow("sex K") << int(Cinsiyet) << "K"
                           << "K" << QStringList() << int(GunSayisi);
    QTest::newRow("sex x") << int(Cinsiyet) << "x"
                           << "X" << QStringList{CinsiyetMessage} << int(Cinsiyet);
    QTest::newRow("sex empty") << int(Cinsiyet) << ""
                               << "" << QStringList{CinsiyetMessage} << int(Cinsiyet);
    QTest::newRow("sex Turkish i stays") << int(Cinsiyet) << "ı"
                                         << "ı" << QStringList{CinsiyetMessage} << int(Cinsiyet);
    QTest::newRow("id 12") << int(KimlikNo) << QString(12, u'1') << QString(12, u'1')
                           << QStringList() << int(SigortaNo);
    QTest::newRow("id 13") << int(KimlikNo) << QString(13, u'1') << QString(13, u'1')
                           << QStringList{KimlikNoMessage} << int(KimlikNo);
    QTest::newRow("insurance 10") << int(SigortaNo) << QString(10, u'2') << QString(10, u'2')
                                  << QStringList() << int(AdiSoyadi);
    QTest::newRow("insurance 3") << int(SigortaNo) << "123"
                                 << "123" << QStringList() << int(AdiSoyadi);
    QTest::newRow("insurance 11") << int(SigortaNo) << QString(11, u'2') << QString(11, u'2')
                                  << QStringList{SigortaNoMessage} << int(SigortaNo);
    QTest::newRow("name 40") << int(AdiSoyadi) << QString(40, u'ş') << QString(40, u'ş')
                             << QStringList() << int(Cinsiyet);
    QTest::newRow("name 41") << int(AdiSoyadi) << QString(41, u'ş') << QString(41, u'ş')
                             << QStringList{AdiSoyadiMessage} << int(AdiSoyadi);
}

void EntryScreenTest::cellChecks()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QStringList, messages);
    QFETCH(int, cursorAfter);

    Screen s;
    QVERIFY(s.ok);
    s.goToCell(1, column);
    if (typed.isEmpty())
        s.press(Qt::Key_Delete);
    s.enter(typed);
    QCOMPARE(s.cell(1, column), stored);
    QCOMPARE(s.messages(), messages);
    QCOMPARE(s.cursor(), QPoint(cursorAfter, 1));

    // Tab leaves any of these cells without a check, except the insurance
    // number, whose check runs on every key.
    s.ws.platform.clearShown();
    s.goToCell(1, column);
    s.press(Qt::Key_Tab);
    QCOMPARE(s.messages(), column == SigortaNo ? messages : QStringList());
}

void EntryScreenTest::sigortaCheckRunsOnEveryKey()
{
    Screen s;
    QVERIFY(s.ok);
    child<QTableWidget>(*s.form, "alyatgir")->item(1, SigortaNo)->setText(QString(11, u'9'));
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_5}) {
        s.ws.platform.clearShown();
        s.goToCell(1, SigortaNo);
        s.press(key);
        QCOMPARE(s.messages(), QStringList{SigortaNoMessage});
        QCOMPARE(s.cursor().x(), int(KimlikNo));
    }
    // The typed key acted in the cell the cursor stepped to.
    QCOMPARE(s.cell(1, KimlikNo), QStringLiteral("5"));
}

void EntryScreenTest::refusalInColumnZeroStays()
{
    Screen s;
    QVERIFY(s.ok);
    child<QTableWidget>(*s.form, "alyatgir")->item(1, SarvekNo)->setText(QStringLiteral("12345"));
    s.goToCell(1, SNo);
    s.press(Qt::Key_Right);
    QCOMPARE(s.messages(), QStringList{SarvekNoMessage});
    QCOMPARE(s.cursor(), QPoint(SNo, 1));
}

void EntryScreenTest::leaveReason_data()
{
    QTest::addColumn<QString>("type"); // "ASIL", "EK" or ""
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("cursorAfter");

    QTest::newRow("20 days, none")
        << "ASIL"
        << "20"
        << ""
        << "" << QStringList{ThirtyDaysMessage, LeaveLetterMessage} << int(IzinNedeni);
    QTest::newRow("20 days, h") << "ASIL"
                                << "20"
                                << "h"
                                << "H" << QStringList() << int(AylikKazanc);
    QTest::newRow("20 days, Q") << "ASIL"
                                << "20"
                                << "Q"
                                << "Q" << QStringList{LeaveLetterMessage} << int(IzinNedeni);
    QTest::newRow("30 days, q untouched") << "ASIL"
                                          << "30"
                                          << "q"
                                          << "q" << QStringList() << int(AylikKazanc);
    QTest::newRow("30 days, none") << "ASIL"
                                   << "30"
                                   << ""
                                   << "" << QStringList() << int(AylikKazanc);
    QTest::newRow("no days") << "ASIL"
                             << ""
                             << ""
                             << "" << QStringList{NoDaysMessage} << int(GunSayisi);
    QTest::newRow("no days, a reason")
        << "ASIL"
        << ""
        << "a"
        << "a" << QStringList{"'' geçerli bir tamsayı değil"} << int(IzinNedeni);
    QTest::newRow("EK") << "EK"
                        << "20"
                        << ""
                        << "" << QStringList() << int(AylikKazanc);
    QTest::newRow("no type") << ""
                             << "5"
                             << "x"
                             << "x" << QStringList() << int(AylikKazanc);
}

void EntryScreenTest::leaveReason()
{
    QFETCH(QString, type);
    QFETCH(QString, days);
    QFETCH(QString, reason);
    QFETCH(QString, stored);
    QFETCH(QStringList, messages);
    QFETCH(int, cursorAfter);

    Screen s;
    QVERIFY(s.ok);
    if (type == QLatin1String("ASIL"))
        QTest::mouseClick(child<QRadioButton>(*s.form, "ALBODTUR1"), Qt::LeftButton);
    if (type == QLatin1String("EK"))
        QTest::mouseClick(child<QRadioButton>(*s.form, "ALBODTUR2"), Qt::LeftButton);
    child<QTableWidget>(*s.form, "alyatgir")->item(1, GunSayisi)->setText(days);
    child<QTableWidget>(*s.form, "alyatgir")->item(1, IzinNedeni)->setText(reason);
    s.goToCell(1, IzinNedeni);
    s.press(Qt::Key_Right);
    QCOMPARE(s.messages(), messages);
    QCOMPARE(s.cell(1, IzinNedeni), stored);
    QCOMPARE(s.cursor(), QPoint(cursorAfter, 1));
}

void EntryScreenTest::newRowAfterComputedTotal()
{
    Screen s;
    QVERIFY(s.ok);
    s.goToCell(1, SarvekNo);
    s.enter(QStringLiteral("123456"), Qt::Key_Tab);
    s.goToCell(1, AylikKazanc);
    s.enter(QStringLiteral("1000"), Qt::Key_Tab);
    QCOMPARE(s.cell(1, Toplam), QStringLiteral("0.00"));
    QCOMPARE(child<QTableWidget>(*s.form, "alyatgir")->rowCount(), 2);

    s.press(Qt::Key_Tab);
    QCOMPARE(child<QTableWidget>(*s.form, "alyatgir")->rowCount(), 3);
    QCOMPARE(s.form->gridRows().at(1), templateRow(2));
    QCOMPARE(s.ws.ctx->session.entry.rowCounter, 2);
    // The template row adds nothing more until it gets a total of its own.
    s.press(Qt::Key_Tab);
    QCOMPARE(child<QTableWidget>(*s.form, "alyatgir")->rowCount(), 3);
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::jumpFromDepositAmount()
{
    Screen s;
    QVERIFY(s.ok);
    s.goToCell(1, DTutari);
    s.press(Qt::Key_Tab);
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 1));
    s.goToCell(1, DTutari);
    s.press(Qt::Key_Up);
    QCOMPARE(s.cursor(), QPoint(SNo, 1));
}

void EntryScreenTest::arithmetic_data()
{
    QTest::addColumn<QString>("gross");
    QTest::addColumn<QString>("premiumRate");
    QTest::addColumn<QString>("depositRate");
    QTest::addColumn<QStringList>("cells"); // columns 8 to 13 afterwards
    QTest::addColumn<QString>("totalAfterPremium");

    QTest::newRow("worked example")
        << "2,500.5"
        << "2"
        << "3.5" << QStringList{"2,500.50", "2.00", "50.01", "3.50", "87.52", "137.53"} << "50.01";
    QTest::newRow("worked example, no grouping")
        << "2500.5"
        << "2"
        << "3.5" << QStringList{"2,500.50", "2.00", "50.01", "3.50", "87.52", "137.53"} << "50.01";
    QTest::newRow("comma as decimal point")
        << "1234,56"
        << "0"
        << "0" << QStringList{"123,456.00", "0.00", "0.00", "0.00", "0.00", "0.00"} << "0.00";
    QTest::newRow("point and comma")
        << "1.234,56"
        << "10"
        << "0" << QStringList{"1.23", "10.00", "0.12", "0.00", "0.00", "0.12"} << "0.12";
    QTest::newRow("rate rounded first")
        << "1000"
        << "2.345"
        << "" << QStringList{"1,000.00", "2.35", "23.50", "0.00", "0.00", "23.50"} << "23.50";
    QTest::newRow("half away from zero")
        << "666.70"
        << "5"
        << "5" << QStringList{"666.70", "5.00", "33.34", "5.00", "33.34", "66.68"} << "33.34";
}

void EntryScreenTest::arithmetic()
{
    QFETCH(QString, gross);
    QFETCH(QString, premiumRate);
    QFETCH(QString, depositRate);
    QFETCH(QStringList, cells);
    QFETCH(QString, totalAfterPremium);

    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    auto typeCell = [&](const QString &text) {
        if (text.isEmpty())
            s.press(Qt::Key_Delete);
        s.enter(text, Qt::Key_Tab);
    };
    s.goToCell(1, AylikKazanc);
    typeCell(gross);
    typeCell(premiumRate);
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), totalAfterPremium);
    s.press(Qt::Key_Tab);
    typeCell(depositRate);
    QCOMPARE(f.gridRows().at(0).mid(AylikKazanc), cells);
    QCOMPARE(child<TMoneyEdit>(f, "topbrut")->text(), cells[0]);
    QCOMPARE(child<TMoneyEdit>(f, "topprim")->text(), cells[2]);
    QCOMPARE(child<TMoneyEdit>(f, "topdepo")->text(), cells[4]);
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), cells[5]);
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::notANumberKeepsTheCursor()
{
    Screen s;
    QVERIFY(s.ok);
    s.goToCell(1, AylikKazanc);
    s.enter(QStringLiteral("12a"), Qt::Key_Tab);
    QCOMPARE(s.messages(), QStringList{"'12a' geçerli bir sayı değil"});
    QCOMPARE(s.cursor(), QPoint(AylikKazanc, 1));

    // A mouse click elsewhere is held back the same way.
    const QRect target =
        child<QTableWidget>(*s.form, "alyatgir")
            ->visualItemRect(child<QTableWidget>(*s.form, "alyatgir")->item(1, KimlikNo));
    QTest::mouseClick(child<QTableWidget>(*s.form, "alyatgir")->viewport(), Qt::LeftButton, {},
                      target.center());
    QCOMPARE(s.messages().size(), 2);
    QCOMPARE(s.cursor(), QPoint(AylikKazanc, 1));

    // A comma in a rate cannot be read, and it also blocks the gross cell.
    child<QTableWidget>(*s.form, "alyatgir")->item(1, AylikKazanc)->setText(QStringLiteral("100"));
    child<QTableWidget>(*s.form, "alyatgir")->item(1, POrani)->setText(QStringLiteral("2,5"));
    s.press(Qt::Key_Tab);
    QCOMPARE(s.messages().last(), QStringLiteral("'2,5' geçerli bir sayı değil"));
    QCOMPARE(s.cursor(), QPoint(AylikKazanc, 1));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("0.00"));
}

void EntryScreenTest::wholeReturnByKeyboard()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    s.fill(child<QLineEdit>(f, "ALKAZA"), QStringLiteral("1"));
    for (const QString &part : {QStringLiteral("12"), QStringLiteral("345")}) {
        s.press(Qt::Key_Tab);
        s.type(part);
    }
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(f.registryNumber(), QStringLiteral("010012000345"));
    s.press(Qt::Key_Tab); // end picker
    s.press(Qt::Key_Tab); // address
    s.type(QStringLiteral("Lefkoşa"));
    s.press(Qt::Key_Return);
    s.press(Qt::Key_Return);
    s.type(QStringLiteral("Deneme Ltd."));
    s.press(Qt::Key_Return);
    s.press(Qt::Key_Space); // ASIL
    QVERIFY(child<QRadioButton>(f, "ALBODTUR1")->isChecked());
    s.press(Qt::Key_Tab);
    s.press(Qt::Key_Tab);
    s.press(Qt::Key_Tab); // into the grid, on the last row's "Sarvek No"
    QCOMPARE(QApplication::focusWidget(), child<QTableWidget>(f, "alyatgir")->focusProxy());
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 1));

    const QStringList employees[] = {
        {"111111", "10000000001", "100000001", "Ali Veli", "e", "30", "", "2,500.5", "2", "",
         "3.5"},
        {"222222", "10000000002", "100000002", "Ayşe Kaya", "k", "12", "g", "1000", "5", "", "10"},
    };
    for (const QStringList &row : employees) {
        for (const QString &text : row)
            s.enter(text);
        // From "D.Tutarı" the cursor jumps to the new row's "S. No", and the
        // Right arrow takes it on to its "Sarvek No".
        s.press(Qt::Key_Right);
    }
    QCOMPARE(s.messages(), QStringList());
    const QList<QStringList> rows = f.gridRows();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], (QStringList{"1", "111111", "10000000001", "100000001", "Ali Veli", "E", "30",
                                   "", "2,500.50", "2.00", "50.01", "3.50", "87.52", "137.53"}));
    QCOMPARE(rows[1],
             (QStringList{"2", "222222", "10000000002", "100000002", "Ayşe Kaya", "K", "12", "G",
                          "1,000.00", "5.00", "50.00", "10.00", "100.00", "150.00"}));
    QCOMPARE(rows[2], templateRow(3));
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 3));
    QCOMPARE(child<TMoneyEdit>(f, "topbrut")->text(), QStringLiteral("3,500.50"));
    QCOMPARE(child<TMoneyEdit>(f, "topprim")->text(), QStringLiteral("100.01"));
    QCOMPARE(child<TMoneyEdit>(f, "topdepo")->text(), QStringLiteral("187.52"));
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("287.53"));
}

namespace
{

// Four computed rows numbered 1 to 4, filled as a reload fills them.
void fillFourRows(TForm1 &f)
{
    const QStringList rows[] = {
        {"1", "111111", "", "", "A", "E", "30", "", "100.00", "1.00", "1.00", "2.00", "2.00",
         "3.00"},
        {"2", "222222", "", "", "B", "E", "30", "", "200.00", "1.00", "2.00", "2.00", "4.00",
         "6.00"},
        {"3", "333333", "", "", "C", "K", "30", "", "300.00", "1.00", "3.00", "2.00", "6.00",
         "9.00"},
        {"4", "444444", "", "", "D", "K", "30", "", "400.00", "1.00", "4.00", "2.00", "8.00",
         "12.00"},
    };
    child<QTableWidget>(f, "alyatgir")->setRowCount(5);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < ColumnCount; ++c)
            child<QTableWidget>(f, "alyatgir")->item(r + 1, c)->setText(rows[r][c]);
    f.recomputeTotals();
}

} // namespace

void EntryScreenTest::deleteRow()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    fillFourRows(f);
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("30.00"));

    s.goToCell(2, AdiSoyadi);
    QTest::mouseClick(child<QPushButton>(f, "BitBtnSatirSil"), Qt::LeftButton);
    QList<QStringList> rows = f.gridRows();
    QCOMPARE(rows.size(), 3);
    QCOMPARE((QStringList{rows[0][SNo], rows[1][SNo], rows[2][SNo]}), (QStringList{"1", "2", "3"}));
    QCOMPARE((QStringList{rows[0][AdiSoyadi], rows[1][AdiSoyadi], rows[2][AdiSoyadi]}),
             (QStringList{"A", "C", "D"}));
    QCOMPARE(child<TMoneyEdit>(f, "topbrut")->text(), QStringLiteral("800.00"));
    QCOMPARE(child<TMoneyEdit>(f, "topprim")->text(), QStringLiteral("8.00"));
    QCOMPARE(child<TMoneyEdit>(f, "topdepo")->text(), QStringLiteral("16.00"));
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("24.00"));

    // The last row goes without renumbering the others.
    s.goToCell(3, SarvekNo);
    QTest::mouseClick(child<QPushButton>(f, "BitBtnSatirSil"), Qt::LeftButton);
    rows = f.gridRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1][AdiSoyadi], QStringLiteral("C"));
    QCOMPARE(rows[1][SNo], QStringLiteral("2"));
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("12.00"));
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::deleteOnlyRow()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    // Without a fund number the computed row stays the only one.
    s.goToCell(1, AylikKazanc);
    s.enter(QStringLiteral("1000"), Qt::Key_Tab);
    s.enter(QStringLiteral("5"), Qt::Key_Tab);
    s.press(Qt::Key_Tab);
    s.enter(QStringLiteral("5"), Qt::Key_Tab);
    QCOMPARE(child<QTableWidget>(f, "alyatgir")->rowCount(), 2);
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("100.00"));
    QTest::mouseClick(child<QPushButton>(f, "BitBtnSatirSil"), Qt::LeftButton);
    QCOMPARE(f.gridCells(), freshGrid());
    for (auto *total : {child<TMoneyEdit>(f, "topbrut"), child<TMoneyEdit>(f, "topprim"),
                        child<TMoneyEdit>(f, "topdepo"), child<TMoneyEdit>(f, "TOPPD")})
        QCOMPARE(total->text(), QStringLiteral("0.00"));
}

void EntryScreenTest::cancelKeepsHeaderNewClearsAll()
{
    Screen s;
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    child<QLineEdit>(f, "ALKAZA")->setText(QStringLiteral("02"));
    child<QLineEdit>(f, "ALFIHRIST")->setText(QStringLiteral("0003"));
    child<QLineEdit>(f, "ALSIRANO")->setText(QStringLiteral("000004"));
    child<QPlainTextEdit>(f, "ALADRES")->setPlainText(QStringLiteral("Adres"));
    child<QLineEdit>(f, "ALTELNO")->setText(QStringLiteral("555"));
    child<QPlainTextEdit>(f, "alisvadi")->setPlainText(QStringLiteral("İsim"));
    child<QRadioButton>(f, "ALBODTUR2")->setChecked(true);
    child<QCheckBox>(f, "yatgonder")->setChecked(false);
    child<QDateEdit>(f, "DEVREILK")->setDate(QDate(2024, 11, 1));
    s.ws.ctx->session.entry.seqNo = QStringLiteral("4");
    s.ws.ctx->session.entry.employerNo = QStringLiteral("020003000004");
    fillFourRows(f);
    s.ws.dm->execute(QStringLiteral("insert into bodrotemp (YATSIRANO) values ('1')"));
    auto staged = [&] {
        return s.ws.dm->select(QStringLiteral("select count(*) from bodrotemp")).at(0).at(0);
    };

    QTest::mouseClick(child<QPushButton>(f, "BitBtnIptal"), Qt::LeftButton);
    QCOMPARE(f.registryNumber(), QStringLiteral("020003000004"));
    QCOMPARE(child<QPlainTextEdit>(f, "ALADRES")->toPlainText(), QStringLiteral("Adres"));
    QCOMPARE(child<QLineEdit>(f, "ALTELNO")->text(), QStringLiteral("555"));
    QCOMPARE(child<QPlainTextEdit>(f, "alisvadi")->toPlainText(), QStringLiteral("İsim"));
    QVERIFY(child<QRadioButton>(f, "ALBODTUR2")->isChecked() &&
            !child<QCheckBox>(f, "yatgonder")->isChecked());
    QCOMPARE(f.periodStartText(), QStringLiteral("01.11.2024"));
    QCOMPARE(f.gridCells(), freshGrid());
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 1));
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("0.00"));
    QCOMPARE(s.ws.ctx->session.entry.seqNo, QStringLiteral("1"));
    QCOMPARE(staged(), QStringLiteral("0"));

    fillFourRows(f);
    s.ws.ctx->session.entry.seqNo = QStringLiteral("4");
    s.ws.dm->execute(QStringLiteral("insert into bodrotemp (YATSIRANO) values ('1')"));
    // F3 while the index field holds a typed number: the screen clears
    // without checking the field it leaves.
    s.fill(child<QLineEdit>(f, "ALFIHRIST"), QStringLiteral("77"));
    s.press(Qt::Key_F3);
    QCoreApplication::processEvents();
    QCOMPARE(f.registryNumber(), QStringLiteral("000000000000"));
    QCOMPARE(child<QPlainTextEdit>(f, "ALADRES")->toPlainText(), QString());
    QCOMPARE(child<QLineEdit>(f, "ALTELNO")->text(), QString());
    QCOMPARE(child<QPlainTextEdit>(f, "alisvadi")->toPlainText(), QString());
    QVERIFY(!child<QRadioButton>(f, "ALBODTUR1")->isChecked() &&
            !child<QRadioButton>(f, "ALBODTUR2")->isChecked() &&
            child<QCheckBox>(f, "yatgonder")->isChecked());
    QCOMPARE(f.periodStartText(), QStringLiteral("14.03.2025"));
    QCOMPARE(f.periodEndText(), QStringLiteral("14.03.2025"));
    QCOMPARE(f.gridCells(), freshGrid());
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("0.00"));
    QCOMPARE(s.ws.ctx->session.entry.seqNo, QStringLiteral("1"));
    QCOMPARE(s.ws.ctx->session.entry.employerNo, QStringLiteral("020003000004"));
    QCOMPARE(staged(), QStringLiteral("0"));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(f, "ALKAZA"));
    QCOMPARE(s.messages(), QStringList());

    // Leaving the start picker then moves the end to the month's last day.
    child<QDateEdit>(f, "DEVREILK")->setFocus();
    s.press(Qt::Key_Tab);
    QTRY_COMPARE(f.periodEndText(), QStringLiteral("31.03.2025"));
}

void EntryScreenTest::exitEmptiesStagingAndCloses()
{
    Screen s;
    QVERIFY(s.ok);
    s.ws.dm->execute(QStringLiteral("insert into bodrotemp (YATSIRANO) values ('1')"));
    s.ws.ctx->session.entry.rowCounter = 5;
    fillFourRows(*s.form);
    QTest::mouseClick(child<QPushButton>(*s.form, "BitBtnCikis"), Qt::LeftButton);
    QVERIFY(!s.form->isVisible());
    QCOMPARE(s.ws.ctx->session.entry.rowCounter, 1);
    QCOMPARE(s.ws.dm->select(QStringLiteral("select count(*) from bodrotemp")).at(0).at(0),
             QStringLiteral("0"));
    QCOMPARE(s.messages(), QStringList());
}

void EntryScreenTest::databaseErrorStopsTheCommand()
{
    Screen s(QDate(2025, 3, 14), [](Workspace &ws) {
        QDir().mkpath(ws.path(QStringLiteral("Data")));
        QFile file(ws.path(QStringLiteral("Data/bodro.mdb")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("bu bir veritabanı değil");
    });
    QVERIFY(s.ok);
    TForm1 &f = *s.form;
    // The screen opens all the same, with the error shown once.
    QCOMPARE(s.messages().size(), 1);
    QCOMPARE(f.gridCells(), freshGrid());
    QCOMPARE(f.periodEndText(), QStringLiteral("31.03.2025"));

    // "İptal" stops at the staging table and the rows stay.
    fillFourRows(f);
    QTest::mouseClick(child<QPushButton>(f, "BitBtnIptal"), Qt::LeftButton);
    QCOMPARE(s.messages().size(), 2);
    QCOMPARE(s.messages().at(1), s.messages().at(0));
    QCOMPARE(f.gridRows().size(), 4);
    QCOMPARE(child<TMoneyEdit>(f, "TOPPD")->text(), QStringLiteral("30.00"));
    // "Çıkış" cannot empty the staging table either, so the screen stays open.
    QTest::mouseClick(child<QPushButton>(f, "BitBtnCikis"), Qt::LeftButton);
    QVERIFY(f.isVisible());
}

namespace
{

// Row 1 of the worked example with its computed amounts, and the template row
// the first key after the computed gross adds.
const QStringList WorkedExample{"1", "111111",   "",     "",      "Ali",  "E",     "30",
                                "",  "2,500.50", "2.00", "50.01", "3.50", "87.52", "137.53"};

} // namespace

void EntryScreenTest::workedExampleTyped_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("tab") << "tab";
    QTest::newRow("right arrow") << "right";
    QTest::newRow("mouse") << "mouse";
}

void EntryScreenTest::workedExampleTyped()
{
    QFETCH(QString, how);
    Screen s;
    QVERIFY(s.ok);
    s.clickCell(1, SarvekNo);
    QCOMPARE(QApplication::focusWidget(), s.editor());
    if (how == QLatin1String("mouse")) {
        // Every cell reached by a click; the rates are selected by hand first.
        const std::pair<int, QString> cells[] = {
            {SarvekNo, "111111"},    {AdiSoyadi, "Ali"}, {Cinsiyet, "E"}, {GunSayisi, "30"},
            {AylikKazanc, "2500.5"}, {POrani, "2"},      {DOrani, "3.5"}};
        bool first = true;
        for (const auto &[col, text] : cells) {
            if (!first)
                s.clickCell(1, col);
            first = false;
            if (col == POrani || col == DOrani)
                s.press(Qt::Key_A, Qt::ControlModifier);
            s.type(text);
        }
        s.clickCell(1, AdiSoyadi);
    } else {
        QString keys = QStringLiteral("111111\t\t\tAli\tE\t30\t\t2500.5\t2\t\t3.5\t");
        if (how == QLatin1String("right"))
            keys.replace(u'\t', u'→');
        s.type(keys);
        QCOMPARE(s.cursor(), QPoint(DTutari, 1));
    }
    QCOMPARE(s.messages(), QStringList());
    QCOMPARE(s.form->gridRows(), (QList<QStringList>{WorkedExample, templateRow(2)}));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("2,500.50"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "TOPPD")->text(), QStringLiteral("137.53"));
    QCOMPARE(QApplication::focusWidget(), s.editor());
}

void EntryScreenTest::threeEmployeesInARow()
{
    Screen s;
    QVERIFY(s.ok);
    s.header();
    child<QCheckBox>(*s.form, "yatgonder")->setFocus();
    // From "D.Tutarı" the next Tab jumps to the new row and goes on to its
    // "Sarvek No", so the three rows are typed in one go.
    s.type(QStringLiteral("\t111111\t\t\tAli\tE\t30\t\t2500.5\t2\t\t3.5\t\t"
                          "222222\t12345678901\t123456789\tŞükrü Öz\tK\t12\tG\t1000\t5\t\t10\t\t"
                          "333333\t\t\tVeli\tE\t30\t\t3000\t5\t\t10\t"));
    QCOMPARE(s.messages(), QStringList());
    QCOMPARE(s.form->gridRows(),
             (QList<QStringList>{WorkedExample,
                                 {"2", "222222", "12345678901", "123456789", "Şükrü Öz", "K", "12",
                                  "G", "1,000.00", "5.00", "50.00", "10.00", "100.00", "150.00"},
                                 {"3", "333333", "", "", "Veli", "E", "30", "", "3,000.00", "5.00",
                                  "150.00", "10.00", "300.00", "450.00"},
                                 templateRow(4)}));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("6,500.50"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "TOPPD")->text(), QStringLiteral("737.53"));

    QTest::mouseClick(child<QPushButton>(*s.form, "kayitbtn"), Qt::LeftButton);
    QCOMPARE(s.messages(), QStringList{"Kayıt işlemi başarılı oldu !.. "});
    QCOMPARE(s.stored(),
             (QList<QStringList>{{"111111", "Ali", "E", "30", "2,500.50", "2.00", "3.50"},
                                 {"222222", "Şükrü Öz", "K", "12", "1,000.00", "5.00", "10.00"},
                                 {"333333", "Veli", "E", "30", "3,000.00", "5.00", "10.00"}}));
}

void EntryScreenTest::headerEntersOnFundNumber_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("tab") << int(Qt::Key_Tab);
    QTest::newRow("enter") << int(Qt::Key_Return);
}

void EntryScreenTest::headerEntersOnFundNumber()
{
    QFETCH(int, key);
    Screen s;
    QVERIFY(s.ok);
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 1));
    fillFourRows(*s.form);
    s.goToCell(2, DOrani);
    child<QCheckBox>(*s.form, "yatgonder")->setFocus();
    s.press(Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), s.editor());
    QCOMPARE(s.cursor(), QPoint(SarvekNo, 4));
    // The first digit typed replaces the fund number; the row number stays.
    s.type(QStringLiteral("5"));
    QCOMPARE(s.cell(4, SarvekNo), QStringLiteral("5"));
    QCOMPARE(s.cell(4, SNo), QStringLiteral("4"));
}

void EntryScreenTest::commandsFinishTheOpenCell_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("stores");
    QTest::newRow("Kayıt") << "kayitbtn" << QList<Answer>() << true;
    QTest::newRow("second record") << "devkayit" << QList<Answer>() << true;
    QTest::newRow("Güncelle") << "guncelle" << QList<Answer>{Answer::Yes} << false;
    QTest::newRow("Yazdır") << "BitBtnYazdir" << QList<Answer>() << false;
    QTest::newRow("Tüm Şube Yazdır") << "BitTumSubeYazdir" << QList<Answer>() << false;
}

void EntryScreenTest::commandsFinishTheOpenCell()
{
    QFETCH(QString, button);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, stores);
    Screen s;
    QVERIFY(s.ok);
    s.header();
    s.ws.platform.answers = answers;
    s.clickCell(1, SarvekNo);
    // The gross pay is still being typed when the command is given.
    s.type(QStringLiteral("111111\t\t\tAli\tE\t30\t\t1500"));
    s.form->findChild<QPushButton *>(button)->click();
    if (stores) {
        QCOMPARE(s.stored(),
                 (QList<QStringList>{{"111111", "Ali", "E", "30", "1,500.00", "0", "0"}}));
    } else {
        QCOMPARE(s.cell(1, AylikKazanc), QStringLiteral("1,500.00"));
        QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("1,500.00"));
    }
}

void EntryScreenTest::refusedOpenCellStopsTheCommand()
{
    Screen s;
    QVERIFY(s.ok);
    s.header();
    s.clickCell(1, SarvekNo);
    s.type(QStringLiteral("111111\t\t\tAli\tE\t30\t\t12a"));
    QTest::mouseClick(child<QPushButton>(*s.form, "kayitbtn"), Qt::LeftButton);
    QCOMPARE(s.messages(), QStringList{"'12a' geçerli bir sayı değil"});
    QCOMPARE(s.stored(), QList<QStringList>());
    QCOMPARE(s.cursor(), QPoint(AylikKazanc, 1));
    QCOMPARE(QApplication::focusWidget(), s.editor());
    // The user mends the text and the same command goes through.
    s.type(QStringLiteral("1200"));
    QTest::mouseClick(child<QPushButton>(*s.form, "kayitbtn"), Qt::LeftButton);
    QCOMPARE(s.stored().value(0).value(4), QStringLiteral("1,200.00"));
}

void EntryScreenTest::storeRefusals_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed"); // over the cell's selected text, "\b" empties it
    QTest::newRow("sex left empty") << int(Cinsiyet) << "\b";
    QTest::newRow("days too long") << int(GunSayisi) << "1000";
    QTest::newRow("days not whole") << int(GunSayisi) << "3.5";
    QTest::newRow("negative gross") << int(AylikKazanc) << "-100";
    QTest::newRow("premium rate too high") << int(POrani) << "1000";
    QTest::newRow("deposit rate too high") << int(DOrani) << "1000";
}

void EntryScreenTest::storeRefusals()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    Screen s;
    QVERIFY(s.ok);
    s.header();
    s.clickCell(1, SarvekNo);
    s.type(QStringLiteral("111111\t\t\tAli\tE\t30\t\t2500.5\t2\t\t3.5\t\t"
                          "222222\t\t\tVeli\tK\t30\t\t1000\t5\t\t10\t"));
    QCOMPARE(s.messages(), QStringList());
    // The mouse leaves a cell without the checks that the Right arrow runs.
    s.clickCell(2, column);
    s.type(typed);
    s.clickCell(2, AdiSoyadi);
    QTest::mouseClick(child<QPushButton>(*s.form, "kayitbtn"), Qt::LeftButton);

    QCOMPARE(s.messages().size(), 1);
    const QString message = s.messages().first();
    QVERIFY2(message.startsWith(QStringLiteral("2. satırın \"%1\"").arg(columnTitles()[column])),
             qPrintable(message));
    QCOMPARE(s.stored(), QList<QStringList>());
    QCOMPARE(s.cursor(), QPoint(column, 2));
    QCOMPARE(QApplication::focusWidget(), s.editor());
    QCOMPARE(s.form->gridRows().size(), 3);
}

void EntryScreenTest::unreadableNumbersGiveAMessage_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::newRow("tiny gross") << int(AylikKazanc) << "1e-200";
    QTest::newRow("tiny rate") << int(POrani) << "1e-152";
    QTest::newRow("huge gross") << int(AylikKazanc) << "99999999999e30";
}

void EntryScreenTest::unreadableNumbersGiveAMessage()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    Screen s;
    QVERIFY(s.ok);
    s.clickCell(1, column);
    s.type(typed + u'\t');
    QCOMPARE(s.messages().size(), 1);
    QCOMPARE(s.cursor(), QPoint(column, 1));
    QCOMPARE(s.cell(1, column), typed);
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("0.00"));
}

void EntryScreenTest::deleteRebuildsTotals()
{
    Screen s;
    QVERIFY(s.ok);
    s.clickCell(1, SarvekNo);
    s.type(
        QStringLiteral("111111\t\t\tAli\tE\t30\t\t1000\t\t\t\t\t222222\t\t\tVeli\tK\t30\t\t500"));
    QCOMPARE(s.cursor(), QPoint(AylikKazanc, 2));
    QTest::mouseClick(child<QPushButton>(*s.form, "BitBtnSatirSil"), Qt::LeftButton);
    QCOMPARE(s.form->gridRows().size(), 1);
    QCOMPARE(s.cell(1, SarvekNo), QStringLiteral("111111"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("1,000.00"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "TOPPD")->text(), QStringLiteral("0.00"));
}

SARVEK_TEST_MAIN(EntryScreenTest)
#include "entryscreen_test.moc"
