// A desk whose server goes away in the middle of a 1,000-row save: the
// server of this test's own is killed as a crash would kill it, at several
// points of the save, and the desk must hear that the connection broke while
// the server, once up again, keeps nothing of that save. Each point is
// reached for certain: another connection holds a table lock that the save
// will wait for, so the save cannot commit before the kill.
#include "pg/pgutil.h"
#include "store/dm.h"
#include "store/pgdb.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <thread>

namespace
{

const QString LostText = QStringLiteral(
    "Veritabanı sunucusuna bağlanılamadı ya da bağlantı koptu; son işlem kaydedilmedi.");

// Where in the save the kill lands.
struct Moment {
    const char *name;
    const char *lockedTable; // held by another connection until the kill
    // The save's connection is killed once its current statement starts with
    // this text, or, when empty, once it waits for the locked table.
    const char *statement;
};

const Moment Moments[] = {
    {"staging the rows", "bodroliste", "insert into bodrotemp"},
    {"all rows staged, the first copy waits", "bodro", ""},
    {"copying the rows", "bodroliste", "insert into bodro ("},
    {"all rows copied, the return's line waits", "bodroliste", ""},
};

// Whether the saving connection is at the moment, inside its transaction.
bool reached(PgDatabase &watcher, const Moment &m)
{
    Statement q = watcher.prepare(QStringLiteral(
        "select coalesce(wait_event_type, ''), query from pg_stat_activity where "
        "application_name = 'kesik' and xact_start is not null and state in ('active', "
        "'idle in transaction')"));
    if (!q.step())
        return false;
    if (*m.statement == 0)
        return q.text(0) == QLatin1String("Lock");
    return q.text(1).startsWith(QLatin1String(m.statement), Qt::CaseInsensitive);
}

long long storedOf(Database &db, const char *table, const returnstore::ReturnHeader &h)
{
    return pgtrial::scalar(
        db, QStringLiteral("select count(*) from %1 where YATISVER = ?").arg(QLatin1String(table)),
        {h.key.employer});
}

} // namespace

TEST(ServerLost, SaveCutOffMidWayKeepsNothingAndSaysTheConnectionBroke)
{
    pgtrial::OwnServer server(QStringLiteral(SARVEK_PG_STATE "-lost"));
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    const QString connInfo = pgtrial::freshDatabase(server.connInfo(), QStringLiteral("lost"));

    // A return stored before: the kills must not take it along.
    const returnstore::ReturnHeader kept = pgtrial::header(0);
    {
        Tdm dm(QDir::tempPath(), connInfo);
        ASSERT_TRUE(
            returnstore::saveNew(dm, kept, pgtrial::namedRows(QStringLiteral("önce"), 40)).ok());
    }
    const QList<returnstore::GridRow> rows = pgtrial::namedRows(QStringLiteral("kesilen"), 1000);

    int index = 0;
    for (const Moment &m : Moments) {
        SCOPED_TRACE(m.name);
        const returnstore::ReturnHeader cut = pgtrial::header(++index);
        QElapsedTimer clock;
        clock.start();
        std::future<returnstore::SaveResult> saving;
        bool killed = false;
        {
            PgDatabase blocker(connInfo);
            Transaction hold(blocker);
            blocker.execScript(QStringLiteral("lock table %1 in exclusive mode")
                                   .arg(QLatin1String(m.lockedTable)));
            PgDatabase watcher(connInfo);
            saving = std::async(std::launch::async, [&] {
                Tdm dm(QDir::tempPath(), connInfo + QStringLiteral(" application_name=kesik"));
                return returnstore::saveNew(dm, cut, rows);
            });
            while (clock.elapsed() < 30000 &&
                   saving.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
                if (reached(watcher, m)) {
                    const QString failure = server.kill();
                    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
                    killed = true;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        const qint64 atKill = clock.elapsed();
        const returnstore::SaveResult result = saving.get();
        EXPECT_TRUE(killed) << "the save was never seen at this point";
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.message.startsWith(LostText + QStringLiteral("\r\n")))
            << result.message.toStdString();
        EXPECT_GT(result.message.size(), LostText.size() + 2) << "the engine's own text below";
        std::printf("%s: killed after %lld ms, told \"%s\"\n", m.name, qlonglong(atKill),
                    qPrintable(QString(result.message).replace(QStringLiteral("\r\n"), " | ")));

        const QString failure = server.start();
        ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
        PgDatabase after(connInfo);
        EXPECT_EQ(storedOf(after, "bodro", cut), 0);
        EXPECT_EQ(storedOf(after, "bodroliste", cut), 0);
        EXPECT_EQ(pgtrial::scalar(after, QStringLiteral("select count(*) from bodrotemp")), 0);
        EXPECT_EQ(storedOf(after, "bodro", kept), 40);
        EXPECT_EQ(storedOf(after, "bodroliste", kept), 1);
    }
}
