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
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <poll.h>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

constexpr int Trials = 30;
constexpr unsigned Seed = 20131;

using Clock = std::chrono::steady_clock;

struct Helper {
    pid_t pid = -1;
    int out = -1; // the read end of the helper's stdout
};

Helper start(const char *mode, const QString &dir)
{
    const QByteArray folder = QFile::encodeName(dir);
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
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
    return {pid, fds[0]};
}

// Appends what the helper has written within `timeoutMs`; false once it has
// closed its end.
bool readLetters(const Helper &helper, QByteArray &letters, int timeoutMs)
{
    pollfd wanted{helper.out, POLLIN, 0};
    if (::poll(&wanted, 1, timeoutMs) <= 0)
        return true;
    char buf[4096];
    const ssize_t n = ::read(helper.out, buf, sizeof buf);
    if (n == 0)
        return false;
    if (n > 0)
        letters.append(buf, n);
    return true;
}

// Waits up to a minute until the helper has written `cue`, or anything at
// all when the cue is empty: a slow start (a sanitizer build, a busy machine)
// must not count as a kill before the work.
bool awaitCue(const Helper &helper, QByteArray &letters, const QByteArray &cue)
{
    const auto seen = [&] { return cue.isEmpty() ? !letters.isEmpty() : letters.contains(cue); };
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (!seen() && Clock::now() < until)
        if (!readLetters(helper, letters, 1))
            return false;
    return seen();
}

void killAndDrain(Helper &helper, QByteArray &letters)
{
    ::kill(helper.pid, SIGKILL);
    int status = 0;
    ::waitpid(helper.pid, &status, 0);
    // The helper is gone, so its end of the pipe is closed: read to the end.
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (readLetters(helper, letters, 100) && Clock::now() < until) {
    }
    ::close(helper.out);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the helper ended by itself before the kill";
}

// How long the helper takes, from its cue, until it has finished
// `operations` more operations: the span over which the kills are spread,
// measured on this machine in this build rather than guessed.
Clock::duration measureSpan(const char *mode, const QString &dir, const QByteArray &cue,
                            int operations)
{
    Helper helper = start(mode, dir);
    QByteArray letters;
    if (!awaitCue(helper, letters, cue)) {
        killAndDrain(helper, letters);
        ADD_FAILURE() << "the helper never wrote " << cue.constData();
        return std::chrono::milliseconds(100);
    }
    const Clock::time_point from = Clock::now();
    const qsizetype done = letters.count('s') + operations;
    const auto until = from + std::chrono::seconds(60);
    while (letters.count('s') < done && Clock::now() < until)
        if (!readLetters(helper, letters, 1))
            break;
    const Clock::duration span = Clock::now() - from;
    killAndDrain(helper, letters);
    return span;
}

// Starts the helper, kills it `delay` after its cue and returns the letters
// it wrote.
QByteArray runAndKill(const char *mode, const QString &dir, const QByteArray &cue,
                      Clock::duration delay)
{
    Helper helper = start(mode, dir);
    QByteArray letters;
    if (awaitCue(helper, letters, cue))
        std::this_thread::sleep_for(delay);
    else
        ADD_FAILURE() << "the helper never wrote " << cue.constData();
    killAndDrain(helper, letters);
    return letters;
}

// Kill instants spread evenly (fixed seed) over `stretch` times the span.
class KillClock
{
  public:
    KillClock(unsigned seed, Clock::duration span, double stretch)
        : m_random(seed), m_span(std::chrono::duration<double>(span).count() * stretch)
    {
    }
    Clock::duration next()
    {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(m_fraction(m_random) * m_span));
    }

  private:
    std::mt19937 m_random;
    std::uniform_real_distribution<double> m_fraction{0.0, 1.0};
    double m_span;
};

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

    // Half the kills are spread over one turn of the helper's loop from its
    // start (the step putting right what the last kill left, making work, the
    // step again), half over a step that has work, from its beginning.
    KillClock anyInstant(Seed, measureSpan("schema", ws.path(), {}, 2), 1.0);
    KillClock inWork(Seed + 2, measureSpan("schema", ws.path(), "dS", 1), 1.2);
    std::map<std::string, int> where;
    QSet<QString> checkedBackups;
    for (int trial = 0; trial < Trials; ++trial) {
        SCOPED_TRACE(trial);
        const QByteArray letters = trial % 2 == 0
                                       ? runAndKill("schema", ws.path(), {}, anyInstant.next())
                                       : runAndKill("schema", ws.path(), "dS", inWork.next());
        ++where[landing(letters)];
        {
            SqliteDatabase db(path, SqliteDatabase::Mode::OpenExisting);
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
            SqliteDatabase copy(ws.path("Data/" + name), SqliteDatabase::Mode::OpenExisting);
            EXPECT_EQ(integrity(copy), QStringLiteral("ok")) << name.toStdString();
            checkedBackups.insert(name);
        }
        // The next opening brings it up to date and empties the staging table.
        Tdm dm(ws.path());
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

    // Half a save past the first one, so that some saves complete.
    KillClock clock(Seed + 1, measureSpan("save", ws.path(), {}, 1), 1.5);
    std::map<std::string, int> where;
    int returns = 0;
    for (int trial = 0; trial < Trials; ++trial) {
        SCOPED_TRACE(trial);
        const QByteArray letters = runAndKill("save", ws.path(), {}, clock.next());
        ++where[landing(letters)];
        {
            SqliteDatabase db(path, SqliteDatabase::Mode::OpenExisting);
            ASSERT_EQ(integrity(db), QStringLiteral("ok"));
            EXPECT_EQ(scalar(db, QStringLiteral("SELECT count(*) FROM bodrotemp")), "0");
            expectWholeReturns(db, crashwork::RowsPerSave, &returns);
        }
        Tdm dm(ws.path());
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
