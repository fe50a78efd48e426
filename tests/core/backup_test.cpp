// The daily copy of the database made at the end of a run: one a day, the
// newest 14 kept, a copy that opens whole and holds one committed state while
// another connection writes, and a failure that does not stop the program
// from ending.
#include "app/exitbackup.h"
#include "core/testutil.h"
#include "store/backup.h"
#include "store/sqlite.h"

#include <future>
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <thread>

namespace
{

QStringList copies(Workspace &ws)
{
    return QDir(ws.path(QStringLiteral("Data/yedek"))).entryList(QDir::Files, QDir::Name);
}

void closeOn(Workspace &ws, const QDate &day)
{
    ws.platform.clock = QDateTime(day, QTime(18, 0));
    backupOnExit(*ws.dm, ws.platform);
}

TEST(Backup, OneCopyADayThatOpensWhole)
{
    Workspace ws;
    insertBodro(*ws.dm, BodroRow());
    closeOn(ws, QDate(2026, 3, 9));
    insertBodro(*ws.dm, BodroRow());
    closeOn(ws, QDate(2026, 3, 9));
    ASSERT_EQ(copies(ws), QStringList{QStringLiteral("bodro-20260309.mdb")});

    // The day's first closing made it; it holds what was stored then.
    SqliteDatabase copy(ws.path(QStringLiteral("Data/yedek/bodro-20260309.mdb")),
                        SqliteDatabase::Mode::OpenExisting);
    Statement check = copy.prepare(QStringLiteral("PRAGMA integrity_check"));
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), QStringLiteral("ok"));
    Statement count = copy.prepare(QStringLiteral("SELECT count(*) FROM bodro"));
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 1);
}

long long countIn(Database &db, const QString &table)
{
    Statement count = db.prepare(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return count.step() ? count.integer(0) : -1;
}

QString integrityOf(const QString &path)
{
    SqliteDatabase copy(path, SqliteDatabase::Mode::OpenExisting);
    Statement check = copy.prepare(QStringLiteral("PRAGMA integrity_check"));
    return check.step() ? check.text(0) : QString();
}

TEST(Backup, ACopyWhileAnotherConnectionWritesIsOneCommittedState)
{
    Workspace ws;
    const QString path = ws.dm->databasePath();
    SqliteDatabase &db = *ws.dm->localFile();
    db.execScript(QStringLiteral("CREATE TABLE ballast (n INTEGER, fill BLOB);"
                                 "INSERT INTO ballast VALUES (0, zeroblob(500));"));
    const QString folder = ws.path(QStringLiteral("Data/yedek"));
    const auto insert = [](int rows) {
        return QStringLiteral("WITH RECURSIVE k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k "
                              "WHERE n < %1) INSERT INTO ballast SELECT n, randomblob(500) FROM k")
            .arg(rows);
    };

    // A writer in the middle of a small transaction, kept in its cache: its
    // rows are not in the copy.
    {
        SqliteDatabase writer(path, SqliteDatabase::Mode::OpenExisting);
        writer.execScript(QStringLiteral("BEGIN IMMEDIATE; ") + insert(100));
        const QString copy = writeDailyBackup(db, folder, QDate(2026, 3, 9));
        writer.execScript(QStringLiteral("COMMIT"));
        EXPECT_EQ(integrityOf(copy), QStringLiteral("ok"));
        SqliteDatabase read(copy, SqliteDatabase::Mode::OpenExisting);
        EXPECT_EQ(countIn(read, QStringLiteral("ballast")), 1);
    }

    // A writer whose transaction outgrew its cache has written pages into
    // the file itself, which then holds no state at all until it commits.
    // The copy waits for the commit and holds all of it.
    const qint64 sizeBefore = QFileInfo(path).size();
    std::promise<void> spilled;
    std::future<void> spilledYet = spilled.get_future();
    std::thread writing([&] {
        SqliteDatabase writer(path, SqliteDatabase::Mode::OpenExisting);
        writer.execScript(QStringLiteral("PRAGMA cache_size = 10; BEGIN IMMEDIATE; ") +
                          insert(4000) + QStringLiteral("; DELETE FROM ballast WHERE n = 0"));
        spilled.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writer.execScript(QStringLiteral("COMMIT"));
    });
    spilledYet.wait();
    EXPECT_GT(QFileInfo(path).size(), sizeBefore); // the half-done state is on disk
    QString copy;
    EXPECT_NO_THROW(copy = writeDailyBackup(db, folder, QDate(2026, 3, 10)));
    writing.join();
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_EQ(integrityOf(copy), QStringLiteral("ok"));
    SqliteDatabase read(copy, SqliteDatabase::Mode::OpenExisting);
    EXPECT_EQ(countIn(read, QStringLiteral("ballast")), 4100);
    Statement first = read.prepare(QStringLiteral("SELECT min(n) FROM ballast"));
    ASSERT_TRUE(first.step());
    EXPECT_EQ(first.integer(0), 1);
}

TEST(Backup, KeepsTheNewestFourteen)
{
    Workspace ws;
    insertBodro(*ws.dm, BodroRow());
    // Not a daily copy: never pruned.
    QDir().mkpath(ws.path(QStringLiteral("Data/yedek")));
    QFile keep(ws.path(QStringLiteral("Data/yedek/bodro-elle.mdb")));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();

    const QDate first(2026, 2, 20);
    for (int day = 0; day < 15; ++day)
        closeOn(ws, first.addDays(day));
    QStringList expected;
    for (int day = 1; day < 15; ++day)
        expected << first.addDays(day).toString(QStringLiteral("'bodro-'yyyyMMdd'.mdb'"));
    expected << QStringLiteral("bodro-elle.mdb");
    EXPECT_EQ(copies(ws), expected);
}

TEST(Backup, NoDatabaseNoCopy)
{
    Workspace ws;
    closeOn(ws, QDate(2026, 3, 9));
    EXPECT_FALSE(QFile::exists(ws.dm->databasePath()));
    EXPECT_FALSE(QFile::exists(ws.path(QStringLiteral("Data/yedek"))));
}

QStringList warnings;
void recordWarning(QtMsgType, const QMessageLogContext &, const QString &text)
{
    warnings << text;
}

TEST(Backup, AReadOnlyFolderOnlyCostsAWarning)
{
    Workspace ws;
    insertBodro(*ws.dm, BodroRow());
    const QString folder = ws.path(QStringLiteral("Data/yedek"));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Read-only even for root, which CI runs as.
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) != 0)
        GTEST_SKIP() << "chattr +i is not available here";

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
    closeOn(ws, QDate(2026, 3, 9));
    qInstallMessageHandler(previous);
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});

    EXPECT_EQ(copies(ws), QStringList());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("Yedek alınamadı: ")))
        << warnings[0].toStdString();
    // The database itself is untouched and still in use.
    EXPECT_EQ(ws.dm->select(QStringLiteral("SELECT count(*) FROM bodro")),
              QList<QStringList>{{QStringLiteral("1")}});
}

} // namespace
