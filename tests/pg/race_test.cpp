// Two desks saving the same returns at the same moment on one server: two
// helper processes (pg_racehelper) race through the same keys, their saves of
// each key let go together, and afterwards the server must hold what two
// saves one after the other would have left: one record 1 per key, every
// further record under the next free sequence number, every record whole and
// from one save, and one return-table line per record.
#include "pg/pgutil.h"
#include "store/pgdb.h"
#include "support/printqstring.h"

#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <QElapsedTimer>
#include <QProcess>
#include <set>
#include <thread>

namespace
{

constexpr int Keys = 50;
constexpr int Rounds = 2;
constexpr int Gates = Keys * Rounds;
const QStringList Workers = {QStringLiteral("A"), QStringLiteral("B")};

// One save as a helper reported it.
struct Reported {
    QString worker;
    int key = 0;
    int round = 0;
    QString path;
    QString seqNo;
    int rows = 0;
};

QList<Reported> parseReport(const QString &worker, const QByteArray &out)
{
    QList<Reported> saves;
    for (const QByteArray &line : out.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 5)
            continue;
        saves << Reported{worker,
                          f[0].toInt(),
                          f[1].toInt(),
                          QString::fromLatin1(f[2]),
                          QString::fromLatin1(f[3]),
                          f[4].toInt()};
    }
    return saves;
}

long long desksWaiting(PgDatabase &keeper, int gate)
{
    return pgtrial::scalar(keeper,
                           QStringLiteral("select count(*) from pg_locks where locktype = "
                                          "'advisory' and classid = 4242 and objid = ? and "
                                          "objsubid = 2 and not granted"),
                           {qlonglong(gate)});
}

// Waits until both desks wait at the gate, then opens it; false when that
// does not come within the time, or a desk has gone.
bool openGateWhenBothWait(PgDatabase &keeper, int gate, const QList<QProcess *> &desks)
{
    QElapsedTimer waited;
    waited.start();
    while (desksWaiting(keeper, gate) < desks.size()) {
        // Without an event loop only a wait notices that a desk has ended.
        for (QProcess *desk : desks)
            if (desk->state() == QProcess::NotRunning || desk->waitForFinished(0))
                return false;
        if (waited.elapsed() > 30000)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    pgtrial::scalar(keeper, QStringLiteral("select pg_advisory_unlock(4242, ?)::int"),
                    {qlonglong(gate)});
    return true;
}

} // namespace

TEST(ServerRace, TwoDesksSavingTheSameReturnsEndAsSavesOneAfterTheOther)
{
    const QString server = pgtrial::serverConnInfo(QStringLiteral(SARVEK_PG_STATE));
    ASSERT_FALSE(server.isEmpty()) << "no test server: run through ctest";
    const QString connInfo = pgtrial::freshDatabase(server, QStringLiteral("race_trial"));

    // Every gate shut before the desks start.
    PgDatabase keeper(connInfo);
    pgtrial::scalar(keeper,
                    QStringLiteral("select count(pg_advisory_lock(4242, g)) from "
                                   "generate_series(0, ?::int - 1) g"),
                    {qlonglong(Gates)});

    QProcess desks[2];
    QList<QProcess *> running;
    for (int i = 0; i < 2; ++i) {
        desks[i].start(QStringLiteral(RACE_HELPER),
                       {connInfo, Workers[i], QString::number(Keys), QString::number(Rounds)});
        ASSERT_TRUE(desks[i].waitForStarted());
        running << &desks[i];
    }
    QElapsedTimer trial;
    trial.start();
    for (int gate = 0; gate < Gates; ++gate)
        if (!openGateWhenBothWait(keeper, gate, running)) {
            ADD_FAILURE() << "the desks did not both reach save " << gate;
            for (QProcess &desk : desks)
                desk.kill();
            break;
        }
    QList<Reported> reported;
    for (int i = 0; i < 2; ++i) {
        if (!desks[i].waitForFinished(120000))
            desks[i].kill();
        desks[i].waitForFinished();
        EXPECT_EQ(desks[i].exitCode(), 0) << desks[i].readAllStandardError().toStdString();
        reported << parseReport(Workers[i], desks[i].readAllStandardOutput());
    }
    const qint64 elapsed = trial.elapsed();
    ASSERT_EQ(reported.size(), 2 * Gates) << "each desk reports every save it made";

    // What is stored, one line per (key, sequence number).
    struct Record {
        QString name;
        long long rows = 0;
        bool numbered = false; // 1..rows, each number once
    };
    std::map<std::pair<int, QString>, Record> records;
    {
        Statement q = keeper.prepare(QStringLiteral(
            "select YATISVER, YATBDRDEVMIK, count(*), count(distinct YATISIM), min(YATISIM), "
            "min(YATSIRANO::int) = 1 and max(YATSIRANO::int) = count(*) and "
            "count(distinct YATSIRANO) = count(*) from bodro group by 1, 2"));
        while (q.step()) {
            const int key = q.text(0).mid(2).toInt();
            EXPECT_EQ(q.integer(3), 1) << "record " << q.text(1).toStdString() << " of key " << key
                                       << " holds rows of more than one save";
            records[{key, q.text(1)}] =
                Record{q.text(4), q.integer(2), q.text(5) == QLatin1String("t")};
        }
    }

    for (int key = 0; key < Keys; ++key) {
        std::set<QString> seqs;
        std::set<QString> names;
        for (const auto &[at, record] : records)
            if (at.first == key) {
                seqs.insert(at.second);
                names.insert(record.name);
            }
        std::set<QString> expected;
        for (int seq = 1; seq <= 2 * Rounds; ++seq)
            expected.insert(QString::number(seq));
        EXPECT_EQ(seqs, expected) << "sequence numbers of key " << key;
        EXPECT_EQ(names.size(), size_t(2 * Rounds)) << "every save of key " << key << " once";
    }
    std::map<std::pair<int, QString>, int> told;
    for (const Reported &save : reported)
        ++told[{save.key, save.seqNo}];
    for (const auto &[at, desks] : told)
        EXPECT_EQ(desks, 1) << desks << " saves were told they stored key " << at.first
                            << " as record " << at.second.toStdString();
    for (const Reported &save : reported) {
        const auto found = records.find({save.key, save.seqNo});
        ASSERT_NE(found, records.end()) << save.worker.toStdString() << " was told key " << save.key
                                        << " went under " << save.seqNo.toStdString();
        const Record &record = found->second;
        EXPECT_EQ(record.name, pgtrial::rowName(save.worker, save.round))
            << "key " << save.key << " record " << save.seqNo.toStdString();
        EXPECT_EQ(record.rows, pgtrial::rowCount(save.worker, save.round));
        EXPECT_EQ(save.rows, record.rows);
        EXPECT_TRUE(record.numbered)
            << "key " << save.key << " record " << save.seqNo.toStdString();
    }

    EXPECT_EQ(pgtrial::scalar(keeper, QStringLiteral("select count(*) from bodroliste")),
              qlonglong(records.size()));
    EXPECT_EQ(pgtrial::scalar(keeper,
                              QStringLiteral("select count(*) from (select 1 from bodroliste group "
                                             "by YATISVER, YATBDRDEVMIK having count(*) > 1) d")),
              0);
    EXPECT_EQ(pgtrial::scalar(keeper,
                              QStringLiteral("select count(*) from bodroliste l where not exists "
                                             "(select 1 from bodro b where b.YATISVER = l.YATISVER "
                                             "and b.YATBDRDEVMIK = l.YATBDRDEVMIK)")),
              0);
    EXPECT_EQ(pgtrial::scalar(keeper, QStringLiteral("select count(*) from bodrotemp")), 0);

    // The counts of the trial; "already" is how often the desks really
    // collided on a new return.
    std::map<QString, std::map<QString, int>> tally;
    for (const Reported &save : reported)
        ++tally[save.worker][save.path];
    int first = 0;
    int collided = 0;
    for (const QString &worker : Workers) {
        const auto &t = tally[worker];
        const auto n = [&t](const char *path) {
            const auto it = t.find(QString::fromLatin1(path));
            return it == t.end() ? 0 : it->second;
        };
        std::printf("desk %s: %d record 1, %d further records (%d of them after AlreadyStored)\n",
                    qPrintable(worker), n("new"), n("second") + n("already"), n("already"));
        first += n("new");
        collided += n("already");
    }
    std::printf("%d keys x %d rounds, both desks: %lld records stored in %lld ms\n", Keys, Rounds,
                qlonglong(records.size()), qlonglong(elapsed));
    EXPECT_EQ(first, Keys);
    // Both desks looked before either had stored: the later one must have been
    // told so, at least once in fifty.
    EXPECT_GT(collided, 0) << "no save heard that the other desk had stored the return first";
}
