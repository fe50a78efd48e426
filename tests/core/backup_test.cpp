// The daily copy of the database made at the end of a run: one a day, the
// newest 14 kept, a copy that opens whole, and a failure that does not stop
// the program from ending.
#include "app/exitbackup.h"
#include "core/testutil.h"
#include "store/sqlite.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QProcess>

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
    Database copy(ws.path(QStringLiteral("Data/yedek/bodro-20260309.mdb")),
                  Database::Mode::OpenExisting);
    Statement check = copy.prepare(QStringLiteral("PRAGMA integrity_check"));
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), QStringLiteral("ok"));
    Statement count = copy.prepare(QStringLiteral("SELECT count(*) FROM bodro"));
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 1);
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
