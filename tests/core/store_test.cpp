// The return database: what the screens rely on the engine for, on both
// engines; first use of a SQLite file and the failures a user can meet there.
#include "app/firstrun.h"
#include "core/backends.h"
#include "declaration/selection.h"
#include "lists/returnlists.h"
#include "store/sqlite.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSet>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

long long count(Tdm &dm, const QString &sql, const QVariantList &params = {})
{
    return dm.select(sql, params).value(0).value(0).toLongLong();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using Storage = BackendTest;

TEST_P(Storage, RefusesValuesWiderThanTheirColumns)
{
    struct Case {
        const char *label;
        BodroRow row;
        const char *constraint; // nullptr: fits
    };
    BodroRow longName, longFund, longPhone, wideRate, tenthRecord, turkishName;
    longName.isim = QString(41, u'a');
    longFund.srvno = QStringLiteral("1234567");
    longPhone.tel = QString(26, u'1');
    wideRate.primor = QStringLiteral("1,000.00");
    tenthRecord.seq = QStringLiteral("10");
    turkishName.isim = QString(40, u'Ş');
    const Case cases[] = {
        {"41-character name", longName, "YATISIM_width"},
        {"7-digit fund number", longFund, "YATSRVNO_width"},
        {"26-character telephone", longPhone, "ISVTELNO_width"},
        {"rate 1,000.00", wideRate, "YATPRIMOR_width"},
        {"sequence number 10", tenthRecord, "YATBDRDEVMIK_width"},
        {"40 Turkish letters", turkishName, nullptr},
    };
    for (const Case &c : cases) {
        Workspace ws(backend());
        if (c.constraint) {
            try {
                insertBodro(*ws.dm, c.row);
                ADD_FAILURE() << c.label << " was stored";
            } catch (const DbError &e) {
                EXPECT_TRUE(e.engineText().contains(QLatin1String(c.constraint)))
                    << c.label << ": " << e.engineText().toStdString();
            }
            EXPECT_EQ(count(*ws.dm, "select count(*) from bodro"), 0) << c.label;
        } else {
            EXPECT_NO_THROW(insertBodro(*ws.dm, c.row)) << c.label;
            EXPECT_EQ(ws.dm->select("select YATISIM from bodro").value(0).value(0), c.row.isim);
        }
    }

    // The staging table has the same widths.
    Workspace ws(backend());
    EXPECT_THROW(ws.dm->execute("insert into Bodrotemp (YATSRVNO) values (?)", {"1234567"}),
                 DbError);
}

TEST_P(Storage, BehavesAsTheScreensExpect)
{
    Workspace ws(backend());
    Tdm &dm = *ws.dm;
    const QStringList days = {"02.03.2013", "01.04.2013", "01.03.2013"};
    for (int i = 0; i < 14; ++i) {
        BodroRow r;
        r.ilk = days[i % 3];
        r.isim = i == 0 ? QStringLiteral("O'Neil \"Kara\" Ağa") : QStringLiteral("İşçi %1").arg(i);
        insertBodro(dm, r);
    }
    // Names without regard to case.
    EXPECT_EQ(count(dm, "SELECT COUNT(*) FROM BODRO WHERE yatisver = ?", {"010001000001"}), 14);
    // LIKE on the key with its decimal text matches that row only, as older
    // files' tools relied on; the server knows no LIKE on numbers, and nothing
    // the program sends it matches keys so.
    if (backend() == Backend::Sqlite) {
        EXPECT_EQ(count(dm, "select count(*) from bodro where IDSIRA like ?", {"12"}), 1);
    }
    // Keys increase in insertion order.
    const auto keys = dm.select("select IDSIRA, YATISIM from bodro order by IDSIRA");
    ASSERT_EQ(keys.size(), 14);
    for (int i = 1; i < keys.size(); ++i)
        EXPECT_EQ(keys[i][1], QStringLiteral("İşçi %1").arg(i));
    // NULL reads as empty text.
    dm.execute("update bodro set YATSSKNO = NULL where IDSIRA = ?", {keys[0][0].toLongLong()});
    Query &q = dm.Query2;
    q.setSql("select YATSSKNO, YATISIM from bodro where IDSIRA = ?", {keys[0][0].toLongLong()});
    q.open();
    EXPECT_EQ(q.field("yatsskno"), QString());
    EXPECT_FALSE(q.field("YATSSKNO").isNull());
    // Quotes round-trip and compare exactly.
    EXPECT_EQ(q.field("YATISIM"), QStringLiteral("O'Neil \"Kara\" Ağa"));
    EXPECT_EQ(count(dm, "select count(*) from bodro where YATISIM = ?",
                    {QStringLiteral("O'Neil \"Kara\" Ağa")}),
              1);
    // Ordering is by the stored text, which starts with the day.
    const auto order = dm.select("select distinct YATDEVREILK from bodro order by YATDEVREILK");
    ASSERT_EQ(order.size(), 3);
    EXPECT_EQ(order[0][0], "01.03.2013");
    EXPECT_EQ(order[1][0], "01.04.2013");
    EXPECT_EQ(order[2][0], "02.03.2013");
    // A closed slot is empty and not open.
    q.close();
    EXPECT_FALSE(q.isOpen());
    EXPECT_TRUE(q.isEmpty());
}

// The period, sequence and year comparisons are on the stored texts, byte by
// byte. The day comes first, so 01.12.2025 is not after 30.11.2025; and the
// test server orders texts the Turkish way, where ':' comes before the digits
// and 'I' folds to 'ı', so a comparison left to the server's language gives
// other answers on the rows below.
TEST_P(Storage, StoredTextsCompareByteForByte)
{
    Workspace ws(backend());
    Tdm &dm = *ws.dm;
    struct Stored {
        const char *name, *start, *end, *seq;
    };
    const Stored stored[] = {
        {"A", "01.11.2025", "01.12.2025", "1"}, {"B", "01.11.2025", "3:.11.2025", "1"},
        {"C", "01.11.2025", "30.11.2025", ":"}, {"D", "01.11.2025", "30.11.2025", "2"},
        {"E", "01.11.ı025", "30.11.2025", "1"},
    };
    for (const Stored &s : stored) {
        BodroRow r;
        r.isim = QString::fromUtf8(s.name);
        r.ilk = QString::fromUtf8(s.start);
        r.son = QString::fromUtf8(s.end);
        r.seq = QString::fromUtf8(s.seq);
        insertBodro(dm, r);
    }
    const auto names = [&](const BoundSql &sel) {
        QStringList out;
        dm.Query1.setSql(sel.sql, sel.params);
        dm.Query1.open();
        for (dm.Query1.first(); !dm.Query1.eof(); dm.Query1.next())
            out << dm.Query1.field(QStringLiteral("YATISIM"));
        return out;
    };
    PeriodChoice november{QDate(2025, 11, 1), QDate(2025, 11, 30), ReturnKind::Asil, false};
    EXPECT_EQ(names(summarySelection(november)), QStringList{"A"});
    november.retroactive = true;
    EXPECT_EQ(names(summarySelection(november)), (QStringList{"C", "D"}));
    Query &q = dm.Query2;
    searchAllReturns(q, QStringLiteral("I025"));
    EXPECT_TRUE(q.isEmpty());
    searchAllReturns(q, QStringLiteral("ı025"));
    EXPECT_EQ(q.recordCount(), 1);

    // Each comparison on its own, and on the server also in the database's
    // own order, which must answer otherwise for the test to mean anything.
    struct Case {
        const char *name, *condition, *value;
        long long bytewise;
        bool languageDiffers;
    };
    const Case cases[] = {
        {"A", "YATDEVRESON %1 <= ?", "30.11.2025", 1, false},
        {"B", "YATDEVRESON %1 <= ?", "30.11.2025", 0, true},
        {"C", "YATBDRDEVMIK %1 > ?", "1", 1, true},
        {"E", "YATDEVREILK %1 like '%' || ?", "I025", 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto matches = [&](const QString &collation) {
            return count(dm,
                         QStringLiteral("select count(*) from bodro where YATISIM = ? and ") +
                             QString::fromUtf8(c.condition).arg(collation),
                         {QString::fromUtf8(c.name), QString::fromUtf8(c.value)});
        };
        EXPECT_EQ(matches(QString()), c.bytewise);
        if (backend() == Backend::Postgres && c.languageDiffers) {
            EXPECT_EQ(matches(QStringLiteral("COLLATE \"default\"")), 1 - c.bytewise);
        }
    }
}

INSTANTIATE_BACKENDS(Storage);

TEST(Store, FirstUseCreatesTheDatabaseAndSaysSoOnce)
{
    Workspace ws;
    // A bare data module, without start-up's reminder: it writes nothing
    // outside Data/.
    Tdm dm(ws.path());
    int created = 0;
    dm.setOnCreated([&] { ++created; });
    EXPECT_FALSE(QFile::exists(dm.databasePath()));
    EXPECT_FALSE(dm.isConnected());
    dm.db();
    EXPECT_TRUE(QFile::exists(ws.path("Data/bodro.mdb")));
    QSet<QString> names;
    for (const auto &row : dm.select("select name from sqlite_master"))
        names.insert(row[0].toLower());
    for (const char *n : {"bodro", "bodrotemp", "muhisv", "bodroliste", "bodro_srvno",
                          "bodro_return", "bodro_period"})
        EXPECT_TRUE(names.contains(QLatin1String(n))) << n;
    EXPECT_FALSE(names.contains(QStringLiteral("bodro_isver")));
    EXPECT_FALSE(QFile::exists(dm.databasePath() + ".yeni"));
    EXPECT_EQ(created, 1);
    EXPECT_FALSE(QFile::exists(markerPath(ws.platform)));

    // Opening the file that is there now makes nothing.
    Tdm again(ws.path());
    again.setOnCreated([&] { ++created; });
    again.db();
    EXPECT_EQ(created, 1);
}

TEST(Store, ReportsFilesItCannotUse)
{
    {
        // Not a database: named in the message, left untouched.
        Workspace ws;
        QDir().mkpath(ws.path("Data"));
        QFile f(ws.dm->databasePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Standard Jet DB\0\0 this is not sqlite", 36);
        f.close();
        const QByteArray before = readAll(ws.dm->databasePath());
        try {
            ws.dm->db();
            ADD_FAILURE() << "opened";
        } catch (const DbError &e) {
            EXPECT_TRUE(e.message().contains(ws.dm->databasePath()));
            EXPECT_TRUE(e.message().contains(QStringLiteral("veritabanı dosyası değil")));
        }
        EXPECT_EQ(readAll(ws.dm->databasePath()), before);
    }
    {
        // A file where the Data folder should be.
        Workspace ws;
        QFile f(ws.path("Data"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        try {
            ws.dm->db();
            ADD_FAILURE() << "created";
        } catch (const IoError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("Veri klasörü oluşturulamadı")));
        }
    }
}

TEST(Store, ReportsAReadOnlyDatabase)
{
    Workspace ws;
    ws.dm->db();
    if (geteuid() != 0) {
        QFile::setPermissions(ws.dm->databasePath(), QFile::ReadOwner | QFile::ReadUser);
        Workspace again;
        Tdm dm(ws.path());
        EXPECT_THROW(insertBodro(dm, BodroRow()), DbError);
    }
    // Root writes anyway; a connection that may only read gives the same error.
    ws.dm->db().execScript("PRAGMA query_only = 1");
    try {
        insertBodro(*ws.dm, BodroRow());
        ADD_FAILURE() << "stored";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("salt okunur"))) << e.what();
    }
}

// Whether this process holds the engine's write lock on the file, as another
// process sees it: a child asks the system who holds the lock byte. The child
// touches nothing of the engine, whose bookkeeping it shares after fork.
bool writeLockHeld(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    constexpr off_t ReservedByte = 0x40000001;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(name.constData(), O_RDWR);
        struct flock lock {
        };
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = ReservedByte;
        lock.l_len = 1;
        if (fd < 0 || ::fcntl(fd, F_GETLK, &lock) != 0)
            ::_exit(2);
        ::_exit(lock.l_type == F_UNLCK ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Store, ACopyTakenUnderTheWriteLockKeepsTheLock)
{
    Workspace ws;
    insertBodro(*ws.dm, BodroRow());
    SqliteDatabase &db = *ws.dm->localFile();
    const QString copyPath = ws.path("Data/copy.mdb");
    {
        Transaction tx(db);
        ASSERT_TRUE(writeLockHeld(db.path()));
        db.backupTo(copyPath);
        EXPECT_TRUE(writeLockHeld(db.path())) << "another program could write during the copy";
        insertBodro(*ws.dm, BodroRow());
        tx.commit();
    }
    SqliteDatabase copy(copyPath, SqliteDatabase::Mode::OpenExisting);
    Statement rows = copy.prepare("select count(*) from bodro");
    ASSERT_TRUE(rows.step());
    EXPECT_EQ(rows.integer(0), 1);
    EXPECT_EQ(count(*ws.dm, "select count(*) from bodro"), 2);

    // A copy that cannot be made leaves nothing behind and says where it failed.
    const QString nowhere = ws.path("Yok/copy.mdb");
    try {
        db.backupTo(nowhere);
        ADD_FAILURE() << "copied";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().startsWith("Veritabanının yedeği alınamadı: " + nowhere))
            << e.what();
    }
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST(Store, WaitsForAndThenReportsALockHeldElsewhere)
{
    Workspace ws;
    ws.dm->db();
    SqliteDatabase other(ws.dm->databasePath(), SqliteDatabase::Mode::OpenExisting);
    other.execScript("BEGIN EXCLUSIVE");
    try {
        insertBodro(*ws.dm, BodroRow());
        ADD_FAILURE() << "stored under a lock";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("başka bir program"))) << e.what();
    }
    other.execScript("ROLLBACK");
    EXPECT_NO_THROW(insertBodro(*ws.dm, BodroRow()));
}

TEST(FirstRun, ANewDatabaseLeavesTheReminderUnlessAMarkerIsThere)
{
    // Workspace wires its data module as start-up does.
    Workspace ws;
    ws.dm->db();
    EXPECT_EQ(readMarker(ws.platform), QStringLiteral("2"));

    Workspace other;
    writeMarker(other.platform, QStringLiteral("1"));
    other.dm->db();
    EXPECT_EQ(readMarker(other.platform), QStringLiteral("1"));

    // An existing database is no new installation.
    Workspace existing;
    makeOldSchemaDatabase(existing.dm->databasePath(), true);
    existing.dm->db();
    EXPECT_EQ(readMarker(existing.platform), QString());
}

TEST(FirstRun, ReadsTheFirstLineAndReportsWhatItCannotRead)
{
    Workspace ws;
    EXPECT_EQ(readMarker(ws.platform), QString());
    writeMarker(ws.platform, QStringLiteral("2"));
    EXPECT_EQ(readMarker(ws.platform), QStringLiteral("2"));

    QFile f(markerPath(ws.platform));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1\r\nsomething else\r\n");
    f.close();
    EXPECT_EQ(readMarker(ws.platform), QStringLiteral("1"));

    // The marker folder is created when missing.
    ws.platform.windowsDir = ws.path("no/such/folder");
    writeMarker(ws.platform, QStringLiteral("1"));
    EXPECT_EQ(readMarker(ws.platform), QStringLiteral("1"));

    // A folder in the marker's place.
    Workspace folder;
    QDir().mkpath(markerPath(folder.platform));
    EXPECT_THROW(readMarker(folder.platform), IoError);
    EXPECT_THROW(writeMarker(folder.platform, QStringLiteral("1")), IoError);
    writeMarkerIfMissing(folder.platform); // never throws

    if (geteuid() != 0) {
        Workspace locked;
        writeMarker(locked.platform, QStringLiteral("2"));
        QFile::setPermissions(markerPath(locked.platform), QFileDevice::WriteOwner);
        EXPECT_THROW(readMarker(locked.platform), IoError);
    }
}

} // namespace
