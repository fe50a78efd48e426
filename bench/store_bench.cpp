// How the return storage behaves on a database the size of years of use:
// 1,000,000 stored rows (10,000 returns of 100 employees). Measures the save of
// a 1,000-employee return as one transaction next to the same statements run
// one by one in autocommit, its reload, the employee look-up by fund number and
// the one-employer list.
#include "entry/returnstore.h"
#include "store/dm.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "support/scriptedplatform.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <QTemporaryDir>

using namespace returnstore;

namespace
{

constexpr int Employers = 1000;
constexpr int Periods = 10;
constexpr int EmployeesPerReturn = 100;
constexpr int BigReturn = 1000;

QString employerNo(int district, int i)
{
    return QStringLiteral("%1%2")
        .arg(district, 2, 10, QLatin1Char('0'))
        .arg(i, 10, 10, QLatin1Char('0'));
}

QString periodStart(int month)
{
    return QStringLiteral("01.%1.2013").arg(month, 2, 10, QLatin1Char('0'));
}

QString periodEnd(int month)
{
    return QStringLiteral("28.%1.2013").arg(month, 2, 10, QLatin1Char('0'));
}

QList<GridRow> bigGrid()
{
    QList<GridRow> rows;
    for (int i = 0; i < BigReturn; ++i)
        rows << GridRow{QString::number(i + 1),
                        QStringLiteral("%1").arg(900000 + i, 6, 10, QLatin1Char('0')),
                        QStringLiteral("12345678901"),
                        QStringLiteral("123456789"),
                        QStringLiteral("Çalışan %1").arg(i),
                        QStringLiteral("E"),
                        QStringLiteral("30"),
                        QString(),
                        QStringLiteral("2,500.50"),
                        QStringLiteral("5.00"),
                        QStringLiteral("125.03"),
                        QStringLiteral("10.00"),
                        QStringLiteral("250.05"),
                        QStringLiteral("375.08")};
    const QString z = QStringLiteral("0");
    rows << GridRow{QString::number(BigReturn + 1), {}, {}, {}, {}, {}, {}, {}, z, z, z, z, z, z};
    return rows;
}

ReturnHeader headerFor(const QString &employer)
{
    ReturnHeader h;
    h.key = {employer, periodStart(3), periodEnd(3), QStringLiteral("01"), QStringLiteral("1")};
    h.send = QStringLiteral("1");
    h.address = QStringLiteral("Girne Caddesi 5, Lefkoşa");
    h.phone = QStringLiteral("2281234");
    h.name = QStringLiteral("Büyük İşveren Ltd.");
    return h;
}

// The database with its million rows, built once per process.
struct BigDatabase {
    BigDatabase()
    {
        platform.windowsDir = dir.path();
        dm = std::make_unique<Tdm>(dir.path());
        Database &db = dm->db();
        // Filling without the indexes and building them afterwards is several
        // times faster than keeping them up to date row by row.
        db.execScript(QStringLiteral("DROP INDEX bodro_srvno; "
                                     "DROP INDEX bodro_return; DROP INDEX bodro_period; "
                                     "PRAGMA cache_size=-200000"));
        {
            Transaction tx(db);
            Statement insert = db.prepare(sql::copyRow());
            for (int e = 0; e < Employers; ++e) {
                const QString employer = employerNo(1, e);
                const QString name = QStringLiteral("İşveren %1").arg(e);
                for (int p = 1; p <= Periods; ++p) {
                    const QString start = periodStart(p), end = periodEnd(p);
                    for (int k = 0; k < EmployeesPerReturn; ++k) {
                        const QString fund = QStringLiteral("%1").arg(e * EmployeesPerReturn + k, 6,
                                                                      10, QLatin1Char('0'));
                        insert.reset();
                        insert.bindAll({QString::number(k + 1),
                                        employer,
                                        start,
                                        end,
                                        fund,
                                        QStringLiteral("12345678901"),
                                        QStringLiteral("Çalışan %1").arg(k),
                                        QStringLiteral("E"),
                                        QStringLiteral("30"),
                                        QString(),
                                        QStringLiteral("1,500.00"),
                                        QStringLiteral("5.00"),
                                        QStringLiteral("10.00"),
                                        QStringLiteral("Adres"),
                                        QStringLiteral("2281234"),
                                        name,
                                        QStringLiteral("01"),
                                        QStringLiteral("1"),
                                        QStringLiteral("1"),
                                        QStringLiteral("123456789")});
                        insert.run();
                    }
                }
            }
            tx.commit();
        }
        db.execScript(schema::createIndexes() +
                      QStringLiteral("PRAGMA cache_size=-2000; ANALYZE;"));
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Tdm> dm;
    const QList<GridRow> grid = bigGrid();
    int nextEmployer = 0;
};

BigDatabase &big()
{
    static BigDatabase instance;
    return instance;
}

// A fresh employer for every save, so each one stores a new return.
ReturnHeader freshHeader(BigDatabase &b)
{
    return headerFor(employerNo(2, b.nextEmployer++));
}

void BM_SaveOneTransaction(benchmark::State &state)
{
    BigDatabase &b = big();
    for (auto _ : state) {
        const SaveResult r = saveNew(*b.dm, freshHeader(b), b.grid);
        if (!r.ok() || r.storedRows != BigReturn)
            state.SkipWithError("save failed");
    }
}

// The same statements as saveNew, each committed on its own.
void BM_SaveAutocommit(benchmark::State &state)
{
    BigDatabase &b = big();
    Tdm &dm = *b.dm;
    for (auto _ : state) {
        const ReturnHeader h = freshHeader(b);
        dm.execute(sql::emptyStaging());
        for (const GridRow &row : b.grid)
            dm.execute(sql::stageRow(), stageValues(h, row));
        const QList<QStringList> staged = dm.select(
            sql::readBack(), {h.key.employer, h.key.periodStart, h.key.periodEnd, h.key.type});
        dm.execute(sql::emptyStaging());
        int number = 1;
        for (const QStringList &row : staged)
            if (!row[4].isEmpty())
                dm.execute(sql::copyRow(), copyValues(row, number++, h.key.seqNo));
        if (number - 1 != BigReturn)
            state.SkipWithError("save failed");
    }
}

void BM_Reload(benchmark::State &state)
{
    BigDatabase &b = big();
    const ReturnHeader h = headerFor(employerNo(3, 0));
    // Each repetition finds the return the first one stored.
    if (!returnExists(*b.dm, h.key) && !saveNew(*b.dm, h, b.grid).ok())
        state.SkipWithError("setup failed");
    for (auto _ : state) {
        if (!loadReturn(*b.dm, h.key))
            state.SkipWithError("nothing found");
        const ReloadedReturn r = reloadedFrom(b.dm->Query3);
        benchmark::DoNotOptimize(r.totalBoth);
    }
}

void BM_EmployeeLookUp(benchmark::State &state)
{
    BigDatabase &b = big();
    Query &q = b.dm->Query1;
    int i = 0;
    for (auto _ : state) {
        const QString fund =
            QStringLiteral("%1").arg((i++ * 7919) % 100000, 6, 10, QLatin1Char('0'));
        q.setSql(QStringLiteral("select YATKIMLIK, YATISIM, YATCINS, YATCALGUN, YATSSKNO  from "
                                "bodro where YATSRVNO = ?"),
                 {fund});
        q.open();
        if (q.isEmpty())
            state.SkipWithError("fund number not found");
    }
}

void BM_OneEmployerList(benchmark::State &state)
{
    BigDatabase &b = big();
    Query &q = b.dm->Query1;
    int i = 0;
    for (auto _ : state) {
        const int month = 1 + i % Periods;
        const ReturnKey period{
            employerNo(1, (i * 37) % Employers), periodStart(month), periodEnd(month), {}, {}};
        q.setSql(QStringLiteral("select DISTINCT YATISVER, YATDEVREILK, YATDEVRESON, YATBODROTUR, "
                                "YATBDRDEVMIK from bodro WHERE ") +
                     ReturnKey::where(ReturnKey::Scope::Period) +
                     QStringLiteral(" AND YATBODROTUR like ?"),
                 period.values(ReturnKey::Scope::Period) << QStringLiteral("0%"));
        ++i;
        q.open();
        if (q.recordCount() != 1)
            state.SkipWithError("list does not hold the one return");
    }
}

} // namespace

BENCHMARK(BM_SaveOneTransaction)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->Iterations(4);
BENCHMARK(BM_SaveAutocommit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->Iterations(1);
BENCHMARK(BM_Reload)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_EmployeeLookUp)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_OneEmployerList)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(5);

BENCHMARK_MAIN();
