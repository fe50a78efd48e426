// Saving, updating, further records and reloading of returns against a real
// SQLite file and a real PostgreSQL server: what is stored, that a failure
// stores nothing at all, and what a reload puts back on the screen.
#include "app/context.h"
#include "base/errors.h"
#include "core/backends.h"
#include "entry/lookups.h"
#include "entry/returnstore.h"
#include "lists/returnlists.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

using namespace returnstore;

namespace
{

const QString Employer = QStringLiteral("010001000001");
const QString Start = QStringLiteral("01.03.2013");
const QString End = QStringLiteral("31.03.2013");

const QString StagingText = QStringLiteral(
    "Kayıt esnasında hata oluştu: \r\nLütfen girilen Sarvek Sandığı, Kimlik ve Sigorta "
    "numaralarını kontrol edelim :");

ReturnHeader header(const QString &type = QStringLiteral("01"),
                    const QString &seq = QStringLiteral("1"))
{
    ReturnHeader h;
    h.key = {Employer, Start, End, type, seq};
    h.send = QStringLiteral("1");
    h.address = QStringLiteral("Girne Cad. 5\r\nLefkoşa");
    h.phone = QStringLiteral("2281234");
    h.name = QStringLiteral("Deneme Ltd.");
    return h;
}

GridRow row(const QString &no, const QString &srvno, const QString &name = QStringLiteral("Ali"),
            const QString &gross = QStringLiteral("1,000.00"))
{
    return {no,
            srvno,
            QStringLiteral("12345678901"),
            QStringLiteral("123456789"),
            name,
            QStringLiteral("E"),
            QStringLiteral("30"),
            QString(),
            gross,
            QStringLiteral("5.00"),
            QStringLiteral("50.00"),
            QStringLiteral("10.00"),
            QStringLiteral("100.00"),
            QStringLiteral("150.00")};
}

GridRow templateRow(int no)
{
    const QString z = QStringLiteral("0");
    return {QString::number(no), {}, {}, {}, {}, {}, {}, {}, z, z, z, z, z, z};
}

const char *AllColumns =
    "select YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,YATKIMLIK,YATISIM,YATCINS,"
    "YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,ISVISADRES,ISVTELNO,ISVISIM,YATBODROTUR,"
    "YATGONDER,YATBDRDEVMIK,YATSSKNO from bodro";

QList<QStringList> storedRows(Tdm &dm, const ReturnKey &key)
{
    return dm.select(QLatin1String(AllColumns) +
                         QStringLiteral(" where YATISVER=? and YATDEVREILK=? and YATDEVRESON=? "
                                        "and YATBODROTUR=? and YATBDRDEVMIK=? order by IDSIRA"),
                     key.values());
}

QList<QStringList> everyRow(Tdm &dm)
{
    return dm.select(QLatin1String(AllColumns) + QStringLiteral(" order by IDSIRA"));
}

int count(Tdm &dm, const char *table)
{
    return dm.select(QStringLiteral("select count(*) from ") + QLatin1String(table))[0][0].toInt();
}

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The stored row a grid row becomes, numbered `number`.
QStringList expected(const ReturnHeader &h, const GridRow &r, int number)
{
    return {QString::number(number),
            h.key.employer,
            h.key.periodStart,
            h.key.periodEnd,
            r[1],
            r[2],
            r[4],
            r[5],
            r[6],
            r[7],
            r[8],
            r[9],
            r[11],
            h.address,
            h.phone,
            h.name,
            h.key.type,
            h.send,
            h.key.seqNo,
            r[3]};
}

class ReturnStore : public BackendTest
{
  protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (!IsSkipped())
            ws = std::make_unique<Workspace>(backend());
    }
    Tdm &dm() { return *ws->dm; }
    void store(const ReturnHeader &h, const QList<GridRow> &rows)
    {
        const SaveResult r = saveNew(dm(), h, rows);
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
    }
    // What a failed or refused save must leave as it was: the bytes of the
    // file; on the server, every row of every table.
    QByteArray storedState()
    {
        if (backend() == Backend::Sqlite)
            return fileHash(dm().databasePath());
        QByteArray all;
        for (const char *table : {"bodro order by IDSIRA", "bodrotemp order by rowid",
                                  "bodroliste order by 1,2,3,4,5,6", "muhisv order by ID"})
            for (const QStringList &r :
                 dm().select(QStringLiteral("select * from ") + QLatin1String(table)))
                all += r.join(u'|').toUtf8() + '\n';
        return all;
    }
    std::unique_ptr<Workspace> ws;
};

TEST_P(ReturnStore, SaveStoresRowsWithFundNumberNumberedInGridOrder)
{
    ReturnHeader h = header();
    h.send = QStringLiteral("0");
    GridRow first = row(QStringLiteral("1"), QStringLiteral("111111"), QStringLiteral("Şükrü Öz"),
                        QStringLiteral("2,500.50"));
    first[7] = QStringLiteral("H");
    first[6] = QStringLiteral("12");
    const GridRow noFund = row(QStringLiteral("2"), QString());
    const GridRow third =
        row(QStringLiteral("7"), QStringLiteral("333333"), QStringLiteral("Ayşe"));
    const QList<GridRow> grid{first, noFund, third, templateRow(8)};

    const SaveResult r = saveNew(dm(), h, grid);
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.storedRows, 2);
    EXPECT_EQ(everyRow(dm()), (QList<QStringList>{expected(h, first, 1), expected(h, third, 2)}));
    EXPECT_EQ(count(dm(), "bodrotemp"), 0);
    EXPECT_TRUE(returnExists(dm(), h.key));
}

TEST_P(ReturnStore, TemplateOnlyGridSucceedsAndStoresNothing)
{
    const SaveResult r = saveNew(dm(), header(), {templateRow(1)});
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.storedRows, 0);
    EXPECT_EQ(count(dm(), "bodro"), 0);
    EXPECT_FALSE(returnExists(dm(), header().key));
}

TEST_P(ReturnStore, ExistenceNeedsAllFiveKeyValues)
{
    store(header(), {row(QStringLiteral("1"), QStringLiteral("111111"))});
    struct Case {
        const char *what;
        ReturnKey key;
        bool exists;
    };
    const QList<Case> cases{
        {"same key", {Employer, Start, End, "01", "1"}, true},
        {"other sequence", {Employer, Start, End, "01", "2"}, false},
        {"other type", {Employer, Start, End, "02", "1"}, false},
        {"other end", {Employer, Start, "30.03.2013", "01", "1"}, false},
        {"start written differently", {Employer, "1.3.2013", End, "01", "1"}, false},
        {"other employer", {"010001000002", Start, End, "01", "1"}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(returnExists(dm(), c.key), c.exists) << c.what;
}

TEST_P(ReturnStore, OverlongCellIsRefusedWithTheDatabaseTextAndNothingStored)
{
    const SaveResult bad =
        saveNew(dm(), header(),
                {row(QStringLiteral("1"), QStringLiteral("111111")),
                 row(QStringLiteral("2"), QStringLiteral("1234567")), templateRow(3)});
    EXPECT_EQ(bad.status, SaveResult::Status::StagingFailed);
    EXPECT_EQ(bad.message, StagingText + QStringLiteral("CHECK constraint failed: YATSRVNO_width"));
    EXPECT_EQ(count(dm(), "bodro"), 0);
    EXPECT_EQ(count(dm(), "bodrotemp"), 0);

    const GridRow good = row(QStringLiteral("1"), QStringLiteral("222222"));
    store(header(), {good, templateRow(2)});
    EXPECT_EQ(everyRow(dm()), (QList<QStringList>{expected(header(), good, 1)}));
}

TEST_P(ReturnStore, RowsLeftInStagingNeverReachASave)
{
    // What a crashed earlier program run could leave behind, with this key.
    dm().execute(QStringLiteral("insert into bodrotemp (YATISVER,YATDEVREILK,YATDEVRESON,"
                                "YATBODROTUR,YATSRVNO) values (?,?,?,?,?)"),
                 {Employer, Start, End, QStringLiteral("01"), QStringLiteral("999999")});
    const GridRow good = row(QStringLiteral("1"), QStringLiteral("222222"));
    store(header(), {good});
    EXPECT_EQ(everyRow(dm()), (QList<QStringList>{expected(header(), good, 1)}));
}

// A fund number that the test's trigger refuses, so the copy fails half-way.
void addCopyTrap(Tdm &dm)
{
    if (dm.localFile()) {
        dm.db().execScript(
            QStringLiteral("CREATE TRIGGER trap BEFORE INSERT ON bodro WHEN "
                           "NEW.YATSRVNO='999999' BEGIN SELECT RAISE(ABORT,'boom'); END"));
        return;
    }
    dm.db().execScript(QStringLiteral(
        "CREATE FUNCTION trap() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF NEW.YATSRVNO = "
        "'999999' THEN RAISE EXCEPTION 'boom'; END IF; RETURN NEW; END $$;\n"
        "CREATE TRIGGER trap BEFORE INSERT ON bodro FOR EACH ROW EXECUTE FUNCTION trap();"));
}

// What a second desk finds when the first stored the same return between its
// look and its save: the save refuses, touches nothing, and the desk is
// offered the update or a second record as if it had looked after.
TEST_P(ReturnStore, NewSaveOfAStoredKeyIsRefusedAsAlreadyStored)
{
    const QList<GridRow> first{row(QStringLiteral("1"), QStringLiteral("111111"))};
    store(header(), first);
    const QByteArray before = storedState();

    const SaveResult again =
        saveNew(dm(), header(), {row(QStringLiteral("1"), QStringLiteral("222222"))});
    EXPECT_EQ(again.status, SaveResult::Status::AlreadyStored);
    EXPECT_EQ(again.storedRows, 0);
    EXPECT_EQ(storedState(), before);

    // Another type of the same period is another return.
    EXPECT_TRUE(saveNew(dm(), header(QStringLiteral("02")), first).ok());
}

TEST_P(ReturnStore, FailedCopyLeavesTheStoreByteForByteAsBefore)
{
    const QList<GridRow> stored{row(QStringLiteral("1"), QStringLiteral("111111")),
                                row(QStringLiteral("2"), QStringLiteral("222222"))};
    store(header(), stored);
    addCopyTrap(dm());
    const QList<GridRow> trapped{row(QStringLiteral("1"), QStringLiteral("333333")),
                                 row(QStringLiteral("2"), QStringLiteral("999999")),
                                 row(QStringLiteral("3"), QStringLiteral("444444"))};
    const QByteArray before = storedState();

    const SaveResult save = saveNew(dm(), header(QStringLiteral("02")), trapped);
    EXPECT_EQ(save.status, SaveResult::Status::CopyFailed);
    EXPECT_EQ(save.message, QStringLiteral("DbError error raised, with message Bulamadım  : boom"));
    EXPECT_EQ(storedState(), before);

    const SaveResult update = updateReturn(dm(), header(), trapped);
    EXPECT_EQ(update.status, SaveResult::Status::CopyFailed);
    EXPECT_EQ(update.message, QStringLiteral("boom"));
    EXPECT_EQ(storedState(), before);

    const SaveResult second = saveSecondRecord(dm(), header(), trapped);
    EXPECT_FALSE(second.ok());
    EXPECT_EQ(storedState(), before);
    EXPECT_EQ(
        storedRows(dm(), header().key),
        (QList<QStringList>{expected(header(), stored[0], 1), expected(header(), stored[1], 2)}));
}

TEST_P(ReturnStore, UpdateReplacesOnlyItsOwnReturn)
{
    const GridRow a = row(QStringLiteral("1"), QStringLiteral("111111"));
    store(header(), {a, row(QStringLiteral("2"), QStringLiteral("222222"))});
    const QList<ReturnHeader> others{
        header(QStringLiteral("01"), QStringLiteral("2")),
        header(QStringLiteral("02")),
        [] {
            ReturnHeader h = header();
            h.key.periodEnd = QStringLiteral("30.03.2013");
            return h;
        }(),
        [] {
            ReturnHeader h = header();
            h.key.employer = QStringLiteral("010001000002");
            return h;
        }(),
    };
    for (const ReturnHeader &h : others)
        store(h, {a});
    QList<QList<QStringList>> othersBefore;
    for (const ReturnHeader &h : others)
        othersBefore << storedRows(dm(), h.key);

    ReturnHeader changed = header();
    changed.phone = QStringLiteral("O'Neil \"ev\"");
    const GridRow x = row(QStringLiteral("4"), QStringLiteral("555555"), QStringLiteral("Yeni"),
                          QStringLiteral("3,000.00"));
    const GridRow y = row(QStringLiteral("9"), QStringLiteral("666666"));
    const SaveResult r =
        updateReturn(dm(), changed, {x, row(QStringLiteral("5"), QString()), y, templateRow(10)});
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(storedRows(dm(), changed.key),
              (QList<QStringList>{expected(changed, x, 1), expected(changed, y, 2)}));
    for (int i = 0; i < others.size(); ++i)
        EXPECT_EQ(storedRows(dm(), others[i].key), othersBefore[i]) << i;
    EXPECT_EQ(count(dm(), "bodrotemp"), 0);

    // Nothing with a fund number on screen: the return is gone, nothing else.
    ASSERT_TRUE(updateReturn(dm(), changed, {templateRow(1)}).ok());
    EXPECT_FALSE(returnExists(dm(), changed.key));
    EXPECT_EQ(count(dm(), "bodro"), others.size());
}

TEST_P(ReturnStore, UpdateStagingFailureDeletesNothing)
{
    const GridRow a = row(QStringLiteral("1"), QStringLiteral("111111"));
    store(header(), {a});
    GridRow longName = row(QStringLiteral("1"), QStringLiteral("222222"), QString(41, u'Ş'));
    const SaveResult r = updateReturn(dm(), header(), {longName});
    EXPECT_EQ(r.status, SaveResult::Status::StagingFailed);
    EXPECT_EQ(r.message, StagingText + QStringLiteral("CHECK constraint failed: YATISIM_width"));
    EXPECT_EQ(everyRow(dm()), (QList<QStringList>{expected(header(), a, 1)}));
}

TEST_P(ReturnStore, SecondRecordTakesTheNextNumberAndStoresWhatKayitWould)
{
    store(header(QStringLiteral("01"), QStringLiteral("1")), {row("1", "111111")});
    store(header(QStringLiteral("01"), QStringLiteral("2")), {row("1", "111111")});
    store(header(QStringLiteral("02"), QStringLiteral("5")), {row("1", "111111")});

    // The last grid row holds an employee, not the template row.
    const GridRow a = row(QStringLiteral("1"), QStringLiteral("777777"));
    const GridRow b = row(QStringLiteral("3"), QStringLiteral("888888"));
    const SaveResult r =
        saveSecondRecord(dm(), header(), {a, row(QStringLiteral("2"), QString()), b});
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.seqNo, QStringLiteral("3"));
    const ReturnHeader third = header(QStringLiteral("01"), QStringLiteral("3"));
    EXPECT_EQ(storedRows(dm(), third.key),
              (QList<QStringList>{expected(third, a, 1), expected(third, b, 2)}));
}

TEST_P(ReturnStore, EverySaveKeepsTheAllReturnsListInStep)
{
    const auto listed = [this] {
        searchAllReturns(dm().Query1, QStringLiteral("2013"));
        QStringList lines;
        for (const QStringList &r : dm().Query1.rows())
            lines << r.join(u'|');
        lines.sort();
        return lines;
    };
    store(header(), {row("1", "111111"), row("2", "222222")});
    ASSERT_TRUE(saveSecondRecord(dm(), header(), {row("1", "333333")}).ok());
    EXPECT_EQ(listed(), QStringList({"010001000001|Deneme Ltd.|01.03.2013|31.03.2013|01|1",
                                     "010001000001|Deneme Ltd.|01.03.2013|31.03.2013|01|2"}));

    // An update under another name replaces its line; the other record keeps its own.
    ReturnHeader renamed = header();
    renamed.name = QStringLiteral("Yeni Ad Ltd.");
    ASSERT_TRUE(updateReturn(dm(), renamed, {row("1", "111111")}).ok());
    EXPECT_EQ(listed(), QStringList({"010001000001|Deneme Ltd.|01.03.2013|31.03.2013|01|2",
                                     "010001000001|Yeni Ad Ltd.|01.03.2013|31.03.2013|01|1"}));

    // A failed save leaves the list as it was.
    addCopyTrap(dm());
    EXPECT_FALSE(
        saveNew(dm(), header(QStringLiteral("02")), {row("1", "444444"), row("2", "999999")}).ok());
    EXPECT_EQ(listed().size(), 2);
}

TEST_P(ReturnStore, TenthRecordIsRefusedBeforeAnythingIsWritten)
{
    for (int seq = 1; seq <= 9; ++seq)
        store(header(QStringLiteral("01"), QString::number(seq)), {row("1", "111111")});
    const QByteArray before = storedState();
    const SaveResult r = saveSecondRecord(dm(), header(), {row("1", "222222")});
    EXPECT_EQ(r.status, SaveResult::Status::Refused);
    EXPECT_EQ(r.message, QStringLiteral("Bu işveren, devre ve bodro türü için en fazla 9 kayıt "
                                        "yapılabilir. İşlem yapılmadı."));
    EXPECT_EQ(storedState(), before);
}

// A database that cannot be opened or made fails every save with its reason,
// as any other failure of the file does, instead of escaping the save.
TEST(ReturnStoreFile, UnreachableDatabaseFailsEverySaveWithItsReason)
{
    using Save = SaveResult (*)(Tdm &, const ReturnHeader &, const QList<GridRow> &);
    const Save saves[] = {saveNew, updateReturn, saveSecondRecord};
    struct Case {
        bool dataIsAFile; // else a folder stands where the database file goes
        const char *reason;
    };
    const Case cases[] = {{false, "Veritabanı dosyası yerinde bir klasör var"},
                          {true, "Veri klasörü oluşturulamadı"}};
    for (const Case &c : cases) {
        for (Save save : saves) {
            Workspace ws;
            if (c.dataIsAFile) {
                QFile data(ws.dm->dataDir());
                ASSERT_TRUE(data.open(QIODevice::WriteOnly));
            } else {
                ASSERT_TRUE(QDir().mkpath(ws.dm->databasePath()));
            }
            SaveResult r;
            ASSERT_NO_THROW(r = save(*ws.dm, header(), {row("1", "111111")})) << c.reason;
            EXPECT_EQ(r.status, SaveResult::Status::Failed) << c.reason;
            EXPECT_TRUE(r.message.startsWith(QString::fromUtf8(c.reason)))
                << r.message.toStdString();
        }
    }
}

TEST_P(ReturnStore, QuotesInValuesRoundTrip)
{
    ReturnHeader h = header();
    h.name = QStringLiteral("O'Hara \"Kardeşler\" Ltd.");
    h.address = QStringLiteral("'; delete from bodro; --");
    const GridRow r =
        row(QStringLiteral("1"), QStringLiteral("12'\"45"), QStringLiteral("D'Ali \"K\""));
    store(h, {r});
    EXPECT_EQ(everyRow(dm()), (QList<QStringList>{expected(h, r, 1)}));
    const std::optional<ReloadedReturn> back = reloadReturn(dm(), h.key);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, h.name);
    EXPECT_EQ(back->address, h.address);
    EXPECT_EQ(back->rows[0][1], r[1]);
    EXPECT_EQ(back->rows[0][4], r[4]);
}

TEST_P(ReturnStore, ReloadPutsBackStoredRowsAndRecomputesAmounts)
{
    BodroRow b;
    b.tur = QStringLiteral("11");
    b.siraNo = QStringLiteral("3");
    b.brut = QStringLiteral("2,500.50");
    b.primor = QStringLiteral("2");
    b.depoor = QStringLiteral("3.5");
    insertBodro(dm(), b);
    b.siraNo = QStringLiteral("1");
    b.srvno = QStringLiteral("222222");
    b.brut = QStringLiteral("666.70");
    b.primor = QStringLiteral("5");
    b.depoor = QStringLiteral("2.5");
    b.gonder = QStringLiteral("0");
    insertBodro(dm(), b);
    b.siraNo = QStringLiteral("2");
    b.srvno = QStringLiteral("333333");
    b.gonder = QStringLiteral("1");
    b.isvisim = QStringLiteral("Son Ad");
    insertBodro(dm(), b);
    // Another sequence number of the same period must stay out.
    b.seq = QStringLiteral("2");
    insertBodro(dm(), b);

    const ReturnKey key{Employer, Start, End, QStringLiteral("11"), QStringLiteral("1")};
    const std::optional<ReloadedReturn> found = reloadReturn(dm(), key);
    ASSERT_TRUE(found);
    const ReloadedReturn &r = *found;
    EXPECT_TRUE(r.asil);
    EXPECT_TRUE(r.sendUnticked);
    EXPECT_EQ(r.name, QStringLiteral("Son Ad"));
    ASSERT_EQ(r.rows.size(), 4);
    EXPECT_EQ(r.rows[0], (GridRow{"3", "123456", "12345678901", "123456789", "Ali Veli", "E", "30",
                                  "", "2,500.50", "2.00", "50.01", "3.50", "87.52", "137.53"}));
    // 666.70 x 5 % = 33.335, rounded half away from zero.
    EXPECT_EQ(r.rows[1].mid(8), (QStringList{"666.70", "5.00", "33.34", "2.50", "16.67", "50.01"}));
    EXPECT_EQ(r.rows[1][0], QStringLiteral("1"));
    EXPECT_EQ(r.rows[2][0], QStringLiteral("2"));
    EXPECT_EQ(r.rows[3], templateRow(4));
    EXPECT_EQ(r.rowCounter, 4);
    EXPECT_EQ(r.totalGross.toAmountText(), QStringLiteral("3,833.90"));
    EXPECT_EQ(r.totalPremium.toAmountText(), QStringLiteral("116.69"));
    EXPECT_EQ(r.totalDeposit.toAmountText(), QStringLiteral("120.86"));
    EXPECT_EQ(r.totalBoth.toAmountText(), QStringLiteral("237.55"));
}

TEST_P(ReturnStore, ReloadTypeAndSendFlag)
{
    struct Case {
        const char *type;
        const char *send;
        bool asil;
        bool unticked;
    };
    const QList<Case> cases{{"01", "1", true, false},
                            {"11", "1", true, false},
                            {"02", "0", false, true},
                            {"12", "", false, false}};
    for (const Case &c : cases) {
        BodroRow b;
        b.tur = QLatin1String(c.type);
        b.gonder = QLatin1String(c.send);
        insertBodro(dm(), b);
        const auto r = reloadReturn(dm(), {Employer, Start, End, b.tur, QStringLiteral("1")});
        ASSERT_TRUE(r) << c.type;
        EXPECT_EQ(r->asil, c.asil) << c.type;
        EXPECT_EQ(r->sendUnticked, c.unticked) << c.type;
    }
}

TEST_P(ReturnStore, ReloadOfAMissingReturnFindsNothing)
{
    store(header(), {row("1", "111111")});
    EXPECT_FALSE(reloadReturn(dm(), header(QStringLiteral("01"), QStringLiteral("2")).key));
    EXPECT_FALSE(loadReturn(dm(), header(QStringLiteral("02")).key));
    EXPECT_EQ(reloadedFrom(dm().Query3).rows, (QList<GridRow>{templateRow(1)}));
}

TEST_P(ReturnStore, LookUpsReadTheFirstMatchingRowIntoTheirFields)
{
    BodroRow a;
    a.adres = QStringLiteral("Girne Cad. 5");
    a.tel = QStringLiteral("2281234");
    a.isvisim = QStringLiteral("Deneme Ltd.");
    insertBodro(dm(), a);
    // The same employer in another period, under a fund number that is the
    // start of the first one.
    a.ilk = QStringLiteral("01.04.2013");
    a.son = QStringLiteral("30.04.2013");
    a.srvno = QStringLiteral("12345");
    insertBodro(dm(), a);
    BodroRow b;
    b.isver = QStringLiteral("020002000002");
    b.adres = QStringLiteral("Bedesten Sok. 1");
    b.tel = QStringLiteral("3661111");
    b.isvisim = QStringLiteral("Öteki A.Ş.");
    b.srvno = QStringLiteral("654321");
    b.kimlik = QStringLiteral("98765432109");
    b.ssk = QStringLiteral("987654321");
    b.isim = QStringLiteral("Ayşe Kaya");
    b.cins = QStringLiteral("K");
    b.calgun = QStringLiteral("21");
    insertBodro(dm(), b);

    struct EmployerCase {
        const char *registry;
        std::optional<QStringList> details; // address, phone, name
    };
    const QList<EmployerCase> employers{
        {"010001000001", QStringList{"Girne Cad. 5", "2281234", "Deneme Ltd."}},
        {"020002000002", QStringList{"Bedesten Sok. 1", "3661111", "Öteki A.Ş."}},
        {"010001000002", std::nullopt},
        {"01000100000", std::nullopt},
    };
    for (const EmployerCase &c : employers) {
        const auto found = entrylookup::employerDetails(dm(), QLatin1String(c.registry));
        ASSERT_EQ(found.has_value(), c.details.has_value()) << c.registry;
        if (found) {
            EXPECT_EQ((QStringList{found->address, found->phone, found->name}), *c.details)
                << c.registry;
        }
    }

    struct EmployeeCase {
        const char *fundNo;
        std::optional<QStringList> details; // identity, insurance, name, sex, days
    };
    const QList<EmployeeCase> employees{
        {"123456", QStringList{"12345678901", "123456789", "Ali Veli", "E", "30"}},
        {"654321", QStringList{"98765432109", "987654321", "Ayşe Kaya", "K", "21"}},
        {"1234", std::nullopt},
        {"999999", std::nullopt},
    };
    for (const EmployeeCase &c : employees) {
        const auto found = entrylookup::employeeDetails(dm(), QLatin1String(c.fundNo));
        ASSERT_EQ(found.has_value(), c.details.has_value()) << c.fundNo;
        if (found) {
            EXPECT_EQ(
                (QStringList{found->kimlik, found->sigorta, found->isim, found->cins, found->gun}),
                *c.details)
                << c.fundNo;
        }
    }
}

// A command's failure reaches the general error box whatever was thrown, and
// the command ends there.
INSTANTIATE_BACKENDS(ReturnStore);

TEST(GuardedTest, ShowsAnyFailureAndEndsTheCommand)
{
    Workspace ws;
    bool after = false;
    EXPECT_FALSE(guarded(ws.platform, [&] {
        throw ConversionError(QStringLiteral("'x' geçerli bir tamsayı değil"));
        after = true;
    }));
    EXPECT_FALSE(guarded(ws.platform, [&] {
        throw 42;
        after = true;
    }));
    EXPECT_TRUE(guarded(ws.platform, [] {}));
    EXPECT_FALSE(after);
    EXPECT_EQ(ws.platform.texts(),
              (QStringList{QStringLiteral("'x' geçerli bir tamsayı değil"), UnknownFailureText}));
}

TEST(ReturnPickTest, SplitsTheRegistryNumberAndReadsThePeriod)
{
    EXPECT_FALSE(pickFrom({}, "01.01.2024", "01.01.2024", "01", "1").has_value());
    const auto pick = pickFrom("041234567890", "01.02.2024", "29.02.2024", "11", "3");
    ASSERT_TRUE(pick.has_value());
    EXPECT_EQ(pick->district, QStringLiteral("04"));
    EXPECT_EQ(pick->index, QStringLiteral("1234"));
    EXPECT_EQ(pick->sequence, QStringLiteral("567890"));
    EXPECT_EQ(pick->start, QDate(2024, 2, 1));
    EXPECT_EQ(pick->end, QDate(2024, 2, 29));
    EXPECT_EQ(pick->type, QStringLiteral("11"));
    EXPECT_EQ(pick->seqNo, QStringLiteral("3"));
    EXPECT_THROW(pickFrom("041234567890", "1.2.24x", "29.02.2024", "01", "1"), ConversionError);
}

} // namespace
