// Time of the declaration file and of the period summary for one period of
// 50,000 stored rows in a database of 1,000,000. The database is built once
// per run in a temporary folder.
#include "accountant/accountantrecord.h"
#include "app/scriptedplatform.h"
#include "declaration/declfile.h"
#include "declaration/periodsummary.h"
#include "declaration/selection.h"
#include "store/dm.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QTemporaryDir>

namespace
{

constexpr int TotalRows = 1'000'000;
constexpr int RowsPerPeriod = 50'000;
constexpr int EmployeesPerReturn = 50;

struct Fixture {
    Fixture() : dm(platform, dir.path())
    {
        platform.windowsDir = dir.path();
        Database &db = dm.db();
        Transaction tx(db);
        Statement insert = db.prepare(QStringLiteral(
            "insert into bodro (YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,YATKIMLIK,"
            "YATISIM,YATCINS,YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,ISVISADRES,ISVTELNO,"
            "ISVISIM,YATBODROTUR,YATGONDER,YATBDRDEVMIK,YATSSKNO) "
            "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (int i = 0; i < TotalRows; ++i) {
            const int period = i / RowsPerPeriod; // 0..19, period 0 is measured
            const QDate start = QDate(2012, 1, 1).addMonths(period);
            const int employer = (i % RowsPerPeriod) / EmployeesPerReturn;
            const int employee = i % EmployeesPerReturn;
            insert.bindAll({QString::number(employee + 1),
                            QStringLiteral("01%1%2")
                                .arg(employer % 10000, 4, 10, QLatin1Char('0'))
                                .arg(employer, 6, 10, QLatin1Char('0')),
                            start.toString(QStringLiteral("dd.MM.yyyy")),
                            QDate(start.year(), start.month(), start.daysInMonth())
                                .toString(QStringLiteral("dd.MM.yyyy")),
                            QString::number(100000 + employee),
                            QStringLiteral("12345678901"),
                            QStringLiteral("Çalışan Şükrü %1").arg(employee),
                            QStringLiteral("E"),
                            QStringLiteral("30"),
                            QString(),
                            QStringLiteral("1,%1.50").arg(100 + employee),
                            QStringLiteral("5.00"),
                            QStringLiteral("10.00"),
                            QStringLiteral("Girne Cad."),
                            QStringLiteral("2281234"),
                            QStringLiteral("İşveren %1 Ltd.").arg(employer),
                            QStringLiteral("01"),
                            QStringLiteral("1"),
                            QStringLiteral("1"),
                            QStringLiteral("123456789")});
            insert.run();
            insert.reset();
        }
        tx.commit();
        insertAccountant(dm, AccountantRecord{QStringLiteral("Usta Muhasebe"),
                                              QStringLiteral("Ayşe Öz"),
                                              QStringLiteral("4711"),
                                              QStringLiteral("Girne Cad. 5"),
                                              {},
                                              {},
                                              {},
                                              {}});
        sender = *newestAccountant(dm);
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    Tdm dm;
    AccountantRecord sender;
    const PeriodChoice period{QDate(2012, 1, 1), QDate(2012, 1, 31), ReturnKind::Asil, false};
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void openOn(Query &q, const BoundSql &sel)
{
    q.setSql(sel.sql, sel.params);
    q.open();
}

void BM_DeclarationFile(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString path = QDir(f.dir.path()).filePath(QStringLiteral("4711_0.txt"));
    qsizetype lines = 0;
    for (auto _ : state) {
        Query &q = f.dm.dosquery;
        openOn(q, fileSelection(f.period, QString(), QString()));
        lines = q.recordCount();
        writeFileAtomically(path, declarationBytes(f.sender, q, false));
        q.close();
    }
    if (lines != RowsPerPeriod)
        state.SkipWithError("wrong number of rows selected");
}
BENCHMARK(BM_DeclarationFile)->Unit(benchmark::kMillisecond);

void BM_PeriodSummary(benchmark::State &state)
{
    Fixture &f = fixture();
    qsizetype returns = 0;
    for (auto _ : state) {
        Query &q = f.dm.dosquery;
        openOn(q, summarySelection(f.period));
        const PeriodSummary summary = summarizePeriod(q);
        returns = summary.rows.size();
        benchmark::DoNotOptimize(summary.grandTotal);
        q.close();
    }
    if (returns != RowsPerPeriod / EmployeesPerReturn)
        state.SkipWithError("wrong number of returns");
}
BENCHMARK(BM_PeriodSummary)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
