// Crash trials: the helper program runs the schema step or large saves in a
// loop and is killed with SIGKILL at random instants (fixed seed). After every
// kill the file must pass its integrity check, hold every return whole or not
// at all, be in a state the program can leave it in (never half upgraded),
// and open again.
#include "core/testutil.h"
#include "faults/crashwork.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/upgrade.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr int Trials = 30;
constexpr unsigned Seed = 20131;

// Starts the helper, kills it after delayMs and returns the letters it wrote.
QByteArray runAndKill(const char *mode, const QString &dir, int delayMs)
{
    const QByteArray folder = QFile::encodeName(dir);
    int fds[2];
    if (::pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execl(CRASH_HELPER, "crashhelper", mode, folder.constData(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    ::usleep(useconds_t(delayMs) * 1000);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    QByteArray letters;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        letters.append(buf, n);
    }
    ::close(fds[0]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the helper ended by itself before the kill";
    return letters;
}

QString scalar(Database &db, const QString &sql)
{
    Statement st = db.prepare(sql);
    return st.step() ? st.text(0) : QString();
}

QString integrity(Database &db)
{
    return scalar(db, QStringLiteral("PRAGMA integrity_check"));
}

// Every stored return as row count, distinct names and numbering range.
void expectWholeReturns(Database &db, int rowsPerReturn, int *returns)
{
    Statement st = db.prepare(
        QStringLiteral("SELECT count(*), count(DISTINCT YATISIM), min(CAST(YATSIRANO AS INTEGER)), "
                       "max(CAST(YATSIRANO AS INTEGER)) FROM bodro GROUP BY YATISVER, YATDEVREILK, "
                       "YATDEVRESON, YATBODROTUR, YATBDRDEVMIK"));
    *returns = 0;
    while (st.step()) {
        ++*returns;
        EXPECT_EQ(st.integer(0), rowsPerReturn);
        EXPECT_EQ(st.integer(1), 1) << "rows of two saves in one return";
        EXPECT_EQ(st.integer(2), 1);
        EXPECT_EQ(st.integer(3), rowsPerReturn);
    }
}

// Kills that must land inside the operation for a trial set to prove
// anything. On a machine busy with two builds, 14 to 18 of the schema step's
// kills and all 30 of the saves' landed inside; the floors leave room for a
// slower machine and a sanitizer build.
constexpr int MinimumInsideStep = 8;
constexpr int MinimumInsideSave = 15;

const std::string Before = "before the first operation";
const std::string Inside = "inside the step or save";
const std::string After = "after one, before the next";

// Where the kill landed: the last letter the helper wrote. Making work for
// the schema step counts as after a step.
std::string landing(const QByteArray &letters)
{
    if (letters.isEmpty())
        return Before;
    return letters.back() == 'S' ? Inside : After;
}

// All three counts, zeros included, so that a run's figures can be quoted.
void report(const char *what, const std::map<std::string, int> &where)
{
    std::cout << what << ": " << Trials << " kills";
    for (const std::string &place : {Before, Inside, After})
        std::cout << ", " << (where.count(place) ? where.at(place) : 0) << " " << place;
    std::cout << std::endl;
}

enum class SchemaState { Current, Staged, Older, InBetween };

SchemaState schemaState(Database &db)
{
    int indexes = 0;
    for (const schema::Index &index : schema::indexes())
        indexes += scalar(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                             "'index' AND name = '%1'")
                                  .arg(QLatin1String(index.name))) == QLatin1String("1");
    const bool ssk = scalar(db, QStringLiteral("SELECT count(*) FROM pragma_table_info('bodro') "
                                               "WHERE name = 'YATSSKNO'")) == QLatin1String("1");
    const bool staging =
        scalar(db, QStringLiteral(
                       "SELECT sql FROM sqlite_master WHERE name = 'Bodrotemp' COLLATE NOCASE")) ==
        schema::createBodrotemp();
    const bool staged = scalar(db, QStringLiteral("SELECT count(*) FROM bodrotemp")) != "0";
    if (indexes == int(schema::indexes().size()) && ssk && staging)
        return staged ? SchemaState::Staged : SchemaState::Current;
    if (indexes == 0 && !ssk && !staging && !staged)
        return SchemaState::Older;
    return SchemaState::InBetween;
}

TEST(CrashTrials, KillingTheSchemaStepNeverLeavesAFileHalfDone)
{
    constexpr int Returns = 20;
    constexpr int RowsPerReturn = 100;
    Workspace ws;
    {
        Transaction tx(ws.dm->db());
        for (int r = 0; r < Returns; ++r)
            for (int i = 1; i <= RowsPerReturn; ++i) {
                BodroRow row;
                row.ilk = QStringLiteral("01.%1.2012").arg(r % 12 + 1, 2, 10, QLatin1Char('0'));
                row.isver = QStringLiteral("0100010000%1").arg(r / 12 + 10);
                row.siraNo = QString::number(i);
                row.isim = QStringLiteral("R%1").arg(r);
                insertBodro(*ws.dm, row);
            }
        tx.commit();
    }
    ws.dm.reset();
    const QString path = ws.path(QStringLiteral("Data/bodro.mdb"));

    std::mt19937 random(Seed);
    std::uniform_int_distribution<int> delay(5, 250);
    std::map<std::string, int> where;
    QSet<QString> checkedBackups;
    for (int trial = 0; trial < Trials; ++trial) {
        SCOPED_TRACE(trial);
        const QByteArray letters = runAndKill("schema", ws.path(), delay(random));
        ++where[landing(letters)];
        {
            Database db(path, Database::Mode::OpenExisting);
            ASSERT_EQ(integrity(db), QStringLiteral("ok"));
            ASSERT_FALSE(scalar(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name = "
                                                   "'Bodrotemp' COLLATE NOCASE"))
                             .isEmpty())
                << "no staging table";
            EXPECT_NE(schemaState(db), SchemaState::InBetween);
            int returns = 0;
            expectWholeReturns(db, RowsPerReturn, &returns);
            EXPECT_EQ(returns, Returns);
        }
        // A copy made before adding columns is either whole or not there.
        for (const QString &name :
             QDir(ws.path("Data")).entryList({QStringLiteral("bodro-*.mdb")}, QDir::Files)) {
            if (checkedBackups.contains(name))
                continue;
            Database copy(ws.path("Data/" + name), Database::Mode::OpenExisting);
            EXPECT_EQ(integrity(copy), QStringLiteral("ok")) << name.toStdString();
            checkedBackups.insert(name);
        }
        // The next opening brings it up to date and empties the staging table.
        Tdm dm(ws.platform, ws.path());
        ASSERT_NO_THROW(runSchemaUpgrade(dm, ws.platform));
        EXPECT_EQ(dm.select(QStringLiteral("SELECT count(*) FROM bodrotemp"))[0][0], "0");
        EXPECT_EQ(schemaState(dm.db()), SchemaState::Current);
        // A copy the kill left unfinished is named or removed by then.
        EXPECT_TRUE(
            QDir(ws.path("Data")).entryList({QStringLiteral("bodro-*.mdb.part*")}).isEmpty());
    }
    report("schema step", where);
    EXPECT_GE(where[Inside], MinimumInsideStep)
        << "too few kills landed inside the step to prove anything";
}

TEST(CrashTrials, KillingASaveNeverLeavesAReturnHalfStored)
{
    Workspace ws;
    ws.dm->db();
    ws.dm.reset();
    const QString path = ws.path(QStringLiteral("Data/bodro.mdb"));

    std::mt19937 random(Seed + 1);
    std::uniform_int_distribution<int> delay(5, 600);
    std::map<std::string, int> where;
    int returns = 0;
    for (int trial = 0; trial < Trials; ++trial) {
        SCOPED_TRACE(trial);
        const QByteArray letters = runAndKill("save", ws.path(), delay(random));
        ++where[landing(letters)];
        {
            Database db(path, Database::Mode::OpenExisting);
            ASSERT_EQ(integrity(db), QStringLiteral("ok"));
            EXPECT_EQ(scalar(db, QStringLiteral("SELECT count(*) FROM bodrotemp")), "0");
            expectWholeReturns(db, crashwork::RowsPerSave, &returns);
        }
        Tdm dm(ws.platform, ws.path());
        ASSERT_NO_THROW(runSchemaUpgrade(dm, ws.platform));
        if (returns > 0) {
            EXPECT_TRUE(returnstore::loadReturn(dm, crashwork::header(0).key));
            EXPECT_EQ(dm.Query3.recordCount(), crashwork::RowsPerSave);
        }
    }
    report("saves", where);
    std::cout << "returns stored at the end: " << returns << std::endl;
    EXPECT_GT(returns, 0) << "no save was ever completed";
    EXPECT_GE(where[Inside], MinimumInsideSave) << "too few kills landed inside a save";
}

} // namespace
