// The entry screen's save, update, find and reload commands on the real
// TForm1 and the real pick lists, offscreen, with every question answered by
// script and every message read back.
#include "ui/uitest.h"

#include "controls/moneyedit.h"
#include "entry/gridrules.h"
#include "entry/yatirimgir.h"
#include "faults/faultutil.h"
#include "lists/bordlist.h"
#include "lists/bordlistall.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>

using namespace entrygrid;

namespace
{

const QString Employer = QStringLiteral("010001000001");
const QString Start = QStringLiteral("01.03.2025");
const QString End = QStringLiteral("31.03.2025");

const QString ThreeWay = QStringLiteral(
    "Bu Devere Daha önce kayıt yapıldı !.. Güncellemek istiyorsanız ? Evet(Yes) veya Ayni "
    "devreyi ikinci Kayıt için No(Hayır) tikleyiniz?");
const QString UpdateConfirm = QStringLiteral(
    "Var olan Kayıt ile Güncellenecek Kayıt Farklıdır. Güncelemeye Devam Ederseniz Eski Bilgiler "
    "Silinecektir..! Yine de Güncellemek istiyormusunuz ?");
const QString Saved = QStringLiteral("Kayıt işlemi başarılı oldu !.. ");
const QString Updated = QStringLiteral("Kayıt Güncellendi!");

// One employee row of the grid with its computed amounts.
QStringList employee(int no, const QString &fund, const QString &name, const QString &gross)
{
    return {QString::number(no),
            fund,
            QStringLiteral("12345678901"),
            QStringLiteral("123456789"),
            name,
            QStringLiteral("E"),
            QStringLiteral("30"),
            QString(),
            gross,
            QStringLiteral("5.00"),
            QStringLiteral("0.00"),
            QStringLiteral("10.00"),
            QStringLiteral("0.00"),
            QStringLiteral("0.00")};
}

// A workspace whose "today" lies in March 2025 and an entry screen on it.
struct Screen {
    Screen()
    {
        ws.platform.clock = QDateTime(QDate(2025, 3, 14), QTime(10, 0));
        static_cast<SarvekApplication *>(qApp)->setPlatform(&ws.platform);
        form = std::make_unique<TForm1>(*ws.ctx);
        form->show();
        form->activateWindow();
        ok = QTest::qWaitForWindowActive(form.get());
    }
    ~Screen() { static_cast<SarvekApplication *>(qApp)->setPlatform(nullptr); }

    // The header of the fixture's return, ASIL ticked.
    void header()
    {
        child<QLineEdit>(*form, "ALKAZA")->setText(Employer.left(2));
        child<QLineEdit>(*form, "ALFIHRIST")->setText(Employer.mid(2, 4));
        child<QLineEdit>(*form, "ALSIRANO")->setText(Employer.mid(6));
        child<QDateEdit>(*form, "DEVREILK")->setDate(QDate(2025, 3, 1));
        child<QDateEdit>(*form, "DEVRESON")->setDate(QDate(2025, 3, 31));
        child<QPlainTextEdit>(*form, "ALADRES")->setPlainText(QStringLiteral("Girne Cad. 5"));
        child<QLineEdit>(*form, "ALTELNO")->setText(QStringLiteral("2281234"));
        child<QPlainTextEdit>(*form, "alisvadi")->setPlainText(QStringLiteral("Deneme Ltd."));
        child<QRadioButton>(*form, "ALBODTUR1")->setChecked(true);
    }
    // Data rows as given, then the template row.
    void rows(const QList<QStringList> &data)
    {
        QTableWidget *g = child<QTableWidget>(*form, "alyatgir");
        g->setRowCount(1);
        for (const QStringList &r : data) {
            const int at = g->rowCount();
            g->setRowCount(at + 1);
            for (int c = 0; c < ColumnCount; ++c)
                g->setItem(at, c, new QTableWidgetItem(r.value(c)));
        }
        const int at = g->rowCount();
        g->setRowCount(at + 1);
        for (int c = 0; c < ColumnCount; ++c)
            g->setItem(at, c,
                       new QTableWidgetItem(c == SNo           ? QString::number(at)
                                            : c >= AylikKazanc ? QStringLiteral("0")
                                                               : QString()));
    }
    QList<QStringList> stored(const QString &seq = QStringLiteral("1"))
    {
        return ws.dm->select(
            QStringLiteral("select YATSIRANO, YATSRVNO, YATISIM, YATBRUT from bodro where "
                           "YATISVER=? and YATDEVREILK=? and YATDEVRESON=? and "
                           "YATBODROTUR='01' and YATBDRDEVMIK=? order by IDSIRA"),
            {Employer, Start, End, seq});
    }
    QString cell(int row, int col) const
    {
        return child<QTableWidget>(*form, "alyatgir")->item(row, col)->text();
    }
    int gridRows() const { return child<QTableWidget>(*form, "alyatgir")->rowCount() - 1; }
    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    QStringList messages() const { return ws.platform.texts(); }

    Workspace ws;
    std::unique_ptr<TForm1> form;
    bool ok = false;
};

void store(Workspace &ws, int rows, const QString &seq = QStringLiteral("1"),
           const QString &type = QStringLiteral("01"), const QString &send = QStringLiteral("1"))
{
    for (int i = 1; i <= rows; ++i) {
        BodroRow r;
        r.siraNo = QString::number(i);
        r.isver = Employer;
        r.ilk = Start;
        r.son = End;
        r.srvno = QStringLiteral("10000%1").arg(i);
        r.isim = QStringLiteral("Kayıtlı %1").arg(i);
        r.brut = QStringLiteral("%1,000.00").arg(i);
        r.tur = type;
        r.gonder = send;
        r.seq = seq;
        insertBodro(*ws.dm, r);
    }
}

// Picks the row of `employer` / `seq` in whatever list is shown next.
void pickNext(const QString &employer, const QString &seq = QStringLiteral("1"))
{
    whenModalShown([employer, seq](QWidget *w) {
        auto *list = qobject_cast<ReturnListDialog *>(w);
        QVERIFY(list);
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            if (list->model()->field(r, QStringLiteral("YATISVER")) == employer &&
                list->model()->field(r, QStringLiteral("YATBDRDEVMIK")) == seq) {
                list->dbliste->setCurrentIndex(list->model()->index(r, 0));
                list->dblisteDblClick();
                return;
            }
        }
        QTest::keyClick(list->dbliste, Qt::Key_Escape);
    });
}

} // namespace

class EntryStoreTest : public QObject
{
    Q_OBJECT
  private slots:
    void saveStoresAndClears();
    void saveNeedsAType();
    void refusedCellKeepsTheScreen();
    void threeWayDialog_data();
    void threeWayDialog();
    void updateAsksOnlyWithoutALoadedReturn();
    void loadedReturnEnds_data();
    void loadedReturnEnds();
    void updateOfAReturnThatIsNotStored();
    void reloadFillsHeaderGridAndTotals();
    void reloadOfNothingSaysSo();
    void f10WithoutPickChangesNothing();
    void saveF10ChangeUpdateReload();
    void readOnlyFileIsBrowsedAndRefusedBeforeAnyQuestion();
};

void EntryStoreTest::saveStoresAndClears()
{
    Screen s;
    QVERIFY(s.ok);
    s.header();
    s.rows({employee(1, "111111", "Ali", "1,500.00"), employee(2, "", "", "0"),
            employee(3, "222222", "Ayşe", "2,000.00")});
    s.click(child<QPushButton>(*s.form, "kayitbtn"));

    QCOMPARE(s.messages(), QStringList{Saved});
    QCOMPARE(s.stored(), (QList<QStringList>{{"1", "111111", "Ali", "1,500.00"},
                                             {"2", "222222", "Ayşe", "2,000.00"}}));
    // The screen is ready for the next return.
    QCOMPARE(s.gridRows(), 1);
    QCOMPARE(s.cell(1, SNo), QStringLiteral("1"));
    QCOMPARE(child<QLineEdit>(*s.form, "ALKAZA")->text(), QStringLiteral("00"));
    QVERIFY(!child<QRadioButton>(*s.form, "ALBODTUR1")->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(),
                 static_cast<QWidget *>(child<QLineEdit>(*s.form, "ALKAZA")));
    QCOMPARE(s.ws.ctx->session.entry.seqNo, QStringLiteral("1"));
}

void EntryStoreTest::saveNeedsAType()
{
    Screen s;
    QVERIFY(s.ok);
    s.header();
    child<QRadioButton>(*s.form, "ALBODTUR1")->setAutoExclusive(false);
    child<QRadioButton>(*s.form, "ALBODTUR1")->setChecked(false);
    s.rows({employee(1, "111111", "Ali", "1,500.00")});
    s.click(child<QPushButton>(*s.form, "kayitbtn"));
    QCOMPARE(s.messages(), QStringList{"Lütfen Yatırım Yapılacak Bodro Türünü Seçiniz"});
    QCOMPARE(s.ws.dm->select("select count(*) from bodro")[0][0], QStringLiteral("0"));
    QCOMPARE(s.cell(1, SarvekNo), QStringLiteral("111111"));
}

void EntryStoreTest::refusedCellKeepsTheScreen()
{
    Screen s;
    QVERIFY(s.ok);
    s.header();
    s.rows({employee(1, "111111", "Ali", "1,500.00"), employee(2, "1234567", "Veli", "1,000.00")});
    s.click(child<QPushButton>(*s.form, "kayitbtn"));
    QCOMPARE(s.messages(),
             QStringList{"Kayıt esnasında hata oluştu: \r\nLütfen girilen Sarvek Sandığı, Kimlik "
                         "ve Sigorta numaralarını kontrol edelim :CHECK constraint failed: "
                         "YATSRVNO_width"});
    QCOMPARE(s.ws.dm->select("select count(*) from bodro")[0][0], QStringLiteral("0"));
    QCOMPARE(s.gridRows(), 3);
    QCOMPARE(s.cell(2, SarvekNo), QStringLiteral("1234567"));
    QCOMPARE(s.form->registryNumber(), Employer);
}

void EntryStoreTest::threeWayDialog_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("storedUnder"); // sequence number holding the screen's rows
    QTest::addColumn<bool>("cleared");
    QTest::newRow("yes updates after its own question")
        << QList<Answer>{Answer::Yes, Answer::Yes} << QStringList{ThreeWay, UpdateConfirm, Updated}
        << "1" << true;
    QTest::newRow("no stores a second record")
        << QList<Answer>{Answer::No} << QStringList{ThreeWay, Saved} << "2" << true;
    QTest::newRow("cancel stores nothing")
        << QList<Answer>{Answer::Cancel} << QStringList{ThreeWay, "işlem İptal Edildi"} << ""
        << false;
}

void EntryStoreTest::threeWayDialog()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, messages);
    QFETCH(QString, storedUnder);
    QFETCH(bool, cleared);

    Screen s;
    QVERIFY(s.ok);
    store(s.ws, 2);
    const QList<QStringList> before = s.stored();
    s.header();
    s.rows({employee(1, "555555", "Yeni", "3,000.00")});
    s.ws.platform.answers = answers;
    s.click(child<QPushButton>(*s.form, "kayitbtn"));

    QCOMPARE(s.messages(), messages);
    const QList<QStringList> screenRows{{"1", "555555", "Yeni", "3,000.00"}};
    if (storedUnder == "1") {
        QCOMPARE(s.stored("1"), screenRows);
    } else if (storedUnder == "2") {
        QCOMPARE(s.stored("1"), before);
        QCOMPARE(s.stored("2"), screenRows);
    } else {
        QCOMPARE(s.stored("1"), before);
        QCOMPARE(s.ws.dm->select("select count(*) from bodro")[0][0], QStringLiteral("2"));
    }
    QCOMPARE(s.gridRows(), cleared ? 1 : 2);
    QCOMPARE(s.ws.ctx->session.entry.seqNo, QStringLiteral("1"));
}

void EntryStoreTest::updateAsksOnlyWithoutALoadedReturn()
{
    Screen s;
    QVERIFY(s.ok);
    store(s.ws, 2);
    s.header();
    pickNext(Employer);
    s.click(child<QPushButton>(*s.form, "BitBtnBul"));
    QCOMPARE(s.gridRows(), 3);
    s.click(child<QPushButton>(*s.form, "guncelle"));
    QCOMPARE(s.messages(), QStringList{Updated});
    QCOMPARE(s.stored().size(), 2);

    // After "Yeni Aç" nothing is loaded: the update asks, and No stops it.
    s.ws.platform.clearShown();
    s.click(child<QPushButton>(*s.form, "yeniac"));
    s.header();
    s.rows({employee(1, "555555", "Yeni", "3,000.00")});
    s.ws.platform.answers = {Answer::No};
    s.click(child<QPushButton>(*s.form, "guncelle"));
    QCOMPARE(s.messages(), (QStringList{UpdateConfirm, "İşlem İptal edildi"}));
    QCOMPARE(s.stored().size(), 2);
    QCOMPARE(s.gridRows(), 2);
}

void EntryStoreTest::loadedReturnEnds_data()
{
    QTest::addColumn<bool>("discard");
    QTest::newRow("İptal") << true;
    QTest::newRow("reload that finds nothing") << false;
}

// Once the reloaded rows are gone from the screen, an update of what is typed
// there asks first.
void EntryStoreTest::loadedReturnEnds()
{
    QFETCH(bool, discard);
    Screen s;
    QVERIFY(s.ok);
    store(s.ws, 2);
    s.header();
    pickNext(Employer);
    s.click(child<QPushButton>(*s.form, "BitBtnBul"));
    QCOMPARE(s.gridRows(), 3);

    if (discard) {
        s.click(child<QPushButton>(*s.form, "BitBtnIptal"));
    } else {
        s.ws.ctx->session.entry.seqNo = QStringLiteral("2");
        s.form->bitlistClick();
        QCOMPARE(s.messages(), QStringList{"Böyle Bir Kayıt Bulunamadı"});
        s.ws.ctx->session.entry.seqNo = QStringLiteral("1");
    }
    s.ws.platform.clearShown();
    s.rows({employee(1, "555555", "Yeni", "3,000.00")});
    s.ws.platform.answers = {Answer::No};
    s.click(child<QPushButton>(*s.form, "guncelle"));
    QCOMPARE(s.messages(), (QStringList{UpdateConfirm, "İşlem İptal edildi"}));
    QCOMPARE(s.stored().size(), 2);
}

void EntryStoreTest::updateOfAReturnThatIsNotStored()
{
    Screen s;
    QVERIFY(s.ok);
    store(s.ws, 1, "1", "02");
    s.header();
    s.rows({employee(1, "555555", "Yeni", "3,000.00")});
    s.ws.platform.answers = {Answer::Yes};
    s.click(child<QPushButton>(*s.form, "guncelle"));
    QCOMPARE(s.messages(),
             (QStringList{UpdateConfirm,
                          "Bu Devere Daha önce kayıt yapılmadı !.. Kayıt Butonunu Tikleyiniz ?"}));
    QCOMPARE(s.ws.dm->select("select count(*) from bodro")[0][0], QStringLiteral("1"));
    QCOMPARE(s.gridRows(), 2);
}

void EntryStoreTest::reloadFillsHeaderGridAndTotals()
{
    Screen s;
    QVERIFY(s.ok);
    store(s.ws, 3, "1", "11", "0");
    auto *startup = new Tfrmbordlistall(*s.ws.ctx);
    s.ws.ctx->frmbordlistall = startup;
    pickNext(Employer);
    QTest::keyClick(child<QLineEdit>(*s.form, "ALKAZA"), Qt::Key_F10);

    QVERIFY(s.messages().isEmpty());
    QVERIFY(!s.ws.ctx->frmbordlistall); // the start-up instance served and is gone
    QCOMPARE(s.form->registryNumber(), Employer);
    QCOMPARE(s.form->periodStartText(), Start);
    QCOMPARE(s.form->periodEndText(), End);
    QVERIFY(child<QRadioButton>(*s.form, "ALBODTUR1")->isChecked());
    QVERIFY(!child<QCheckBox>(*s.form, "yatgonder")->isChecked());
    QCOMPARE(child<QPlainTextEdit>(*s.form, "alisvadi")->toPlainText(),
             QStringLiteral("Deneme Ltd."));
    QCOMPARE(s.gridRows(), 4);
    QCOMPARE(s.form->gridRows()[1],
             (QStringList{"2", "100002", "12345678901", "123456789", "Kayıtlı 2", "E", "30", "",
                          "2,000.00", "5.00", "100.00", "10.00", "200.00", "300.00"}));
    QCOMPARE(s.form->gridRows()[3],
             (QStringList{"4", "", "", "", "", "", "", "", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(child<QTableWidget>(*s.form, "alyatgir")->currentColumn(), int(SNo));
    QCOMPARE(s.ws.ctx->session.entry.rowCounter, 4);
    QCOMPARE(s.ws.ctx->session.entry.pickedType, QStringLiteral("11"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("6,000.00"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topprim")->text(), QStringLiteral("300.00"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topdepo")->text(), QStringLiteral("600.00"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "TOPPD")->text(), QStringLiteral("900.00"));
}

void EntryStoreTest::reloadOfNothingSaysSo()
{
    Screen s;
    QVERIFY(s.ok);
    EntryState &state = s.ws.ctx->session.entry;
    state.employerNo = Employer;
    state.periodStart = Start;
    state.periodEnd = End;
    state.pickedType = QStringLiteral("01");
    s.form->bitlistClick();
    QCOMPARE(s.messages(), QStringList{"Böyle Bir Kayıt Bulunamadı"});
    QCOMPARE(s.gridRows(), 1);
}

void EntryStoreTest::f10WithoutPickChangesNothing()
{
    Screen s;
    QVERIFY(s.ok);
    store(s.ws, 2);
    s.header();
    s.rows({employee(1, "555555", "Yeni", "3,000.00")});
    pickNext(QStringLiteral("no such employer"));
    QTest::keyClick(child<QLineEdit>(*s.form, "ALKAZA"), Qt::Key_F10);
    QCOMPARE(s.gridRows(), 2);
    QCOMPARE(s.cell(1, SarvekNo), QStringLiteral("555555"));
    QCOMPARE(child<QPlainTextEdit>(*s.form, "alisvadi")->toPlainText(),
             QStringLiteral("Deneme Ltd."));
    QVERIFY(s.messages().isEmpty());
}

void EntryStoreTest::saveF10ChangeUpdateReload()
{
    Screen s;
    QVERIFY(s.ok);
    s.header();
    // Three employees typed into the grid as a user types them.
    child<QTableWidget>(*s.form, "alyatgir")->setFocus();
    child<QTableWidget>(*s.form, "alyatgir")->setCurrentCell(1, SarvekNo);
    typeLikeAPerson(QStringLiteral("111111→10000000001→100000001→Ali Veli→e→30→→1000→5→→10→→"
                                   "222222→10000000002→100000002→Ayşe Kaya→k→30→→2000→5→→10→→"
                                   "333333→10000000003→100000003→Şükrü Öz→e→30→→3000→5→→10→→"));
    QCOMPARE(s.gridRows(), 4);
    s.click(child<QPushButton>(*s.form, "kayitbtn"));
    QCOMPARE(s.messages(), QStringList{Saved});
    QCOMPARE(s.stored(), (QList<QStringList>{{"1", "111111", "Ali Veli", "1,000.00"},
                                             {"2", "222222", "Ayşe Kaya", "2,000.00"},
                                             {"3", "333333", "Şükrü Öz", "3,000.00"}}));

    pickNext(Employer);
    QTest::keyClick(child<QLineEdit>(*s.form, "ALKAZA"), Qt::Key_F10);
    QCOMPARE(s.gridRows(), 4);

    // The user types a new gross pay for the second employee and, over the
    // reloaded rate, a new premium rate for the third; the rate cell is still
    // open when "Güncelle" is pressed.
    s.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.form.get()));
    child<QTableWidget>(*s.form, "alyatgir")->setFocus();
    child<QTableWidget>(*s.form, "alyatgir")->setCurrentCell(2, AylikKazanc);
    typeLikeAPerson(QStringLiteral("2500.5\t"));
    QCOMPARE(s.cell(2, AylikKazanc), QStringLiteral("2,500.50"));
    child<QTableWidget>(*s.form, "alyatgir")->setCurrentCell(3, POrani);
    typeLikeAPerson(QStringLiteral("7"));

    s.click(child<QPushButton>(*s.form, "guncelle"));
    QCOMPARE(s.messages(), (QStringList{Saved, Updated}));
    QCOMPARE(s.gridRows(), 1);

    pickNext(Employer);
    QTest::keyClick(child<QLineEdit>(*s.form, "ALKAZA"), Qt::Key_F10);
    QCOMPARE(s.gridRows(), 4);
    QCOMPARE(s.cell(2, AylikKazanc), QStringLiteral("2,500.50"));
    QCOMPARE(s.cell(2, PTutari), QStringLiteral("125.03"));
    QCOMPARE(s.cell(1, AylikKazanc), QStringLiteral("1,000.00"));
    QCOMPARE(s.cell(3, POrani), QStringLiteral("7.00"));
    QCOMPARE(s.cell(3, PTutari), QStringLiteral("210.00"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("6,500.50"));
}

void EntryStoreTest::readOnlyFileIsBrowsedAndRefusedBeforeAnyQuestion()
{
    Screen s;
    QVERIFY(s.ok);
    store(s.ws, 2);
    const QList<QStringList> before = s.stored();
    const QString path = s.ws.dm->databasePath();
    Immutable lock(path);
    if (!lock.ok())
        QSKIP(qPrintable(lock.reason()));

    // F10 picks and reloads the stored return.
    s.header();
    pickNext(Employer);
    QTest::keyClick(child<QLineEdit>(*s.form, "ALKAZA"), Qt::Key_F10);
    QCOMPARE(s.gridRows(), 3);
    QVERIFY(s.messages().isEmpty());

    // On a stored return "Kayıt" would ask whether to update or add a record,
    // "Güncelle" without a loaded return whether to overwrite, and the second
    // record asks nothing: each says once that the file is read-only.
    const auto refusedAlone = [&](const char *what, const std::function<void()> &command) {
        s.ws.platform.clearShown();
        s.ws.platform.answers = {Answer::Yes, Answer::Yes};
        command();
        QVERIFY2(s.messages().size() == 1, qPrintable(what + (": " + s.messages().join(" | "))));
        QVERIFY2(s.messages()[0].startsWith(
                     "Veritabanı dosyası salt okunur; değişiklik kaydedilemez: " + path),
                 qPrintable(s.messages()[0]));
        QCOMPARE(s.ws.platform.answers.size(), 2);
        QCOMPARE(s.stored(), before);
    };
    refusedAlone("Kayıt", [&] { s.click(child<QPushButton>(*s.form, "kayitbtn")); });
    QCOMPARE(s.gridRows(), 3);
    s.click(child<QPushButton>(*s.form, "yeniac"));
    s.header();
    s.rows({employee(1, "555555", "Yeni", "3,000.00")});
    refusedAlone("Güncelle", [&] { s.click(child<QPushButton>(*s.form, "guncelle")); });
    refusedAlone("second record", [&] { s.form->devkayitClick(); });
    QCOMPARE(s.cell(1, SarvekNo), QStringLiteral("555555"));
    QCOMPARE(s.ws.ctx->session.entry.seqNo, QStringLiteral("1"));
}

SARVEK_TEST_MAIN(EntryStoreTest)
#include "entrystore_test.moc"
