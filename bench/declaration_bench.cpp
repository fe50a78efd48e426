// The declaration screen and the lists at office scale: 1,000,000 stored rows,
// 20 months of 1,000 employers with 50 employees each, built once per run in a
// temporary folder. The declaration file and the period summary run beside
// their floor programs (bench/floor.c, plain C on the SQLite C API), and the
// run ends with a table of medians and of the program's ratio to its floor.
#include "accountant/accountantrecord.h"
#include "declaration/declfile.h"
#include "declaration/periodsummary.h"
#include "declaration/selection.h"
#include "floor.h"
#include "lists/returnlists.h"
#include "print/printcommands.h"
#include "store/dm.h"
#include "store/returntable.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/upgrade.h"
#include "support/scriptedplatform.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <map>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace
{

constexpr int Periods = 20;
constexpr int Employers = 1000;
constexpr int EmployeesPerReturn = 50;
constexpr int RowsPerPeriod = Employers * EmployeesPerReturn;

// Names that start with the letters a character-code sort puts in the wrong
// place, so that the list's collation does real work.
const char *const NameStarts[] = {"Zeki",  "ayşe",  "Çelik", "Öz",  "İnci", "Şahin",
                                  "Ilgaz", "ırmak", "Üstün", "Gök", "Ğ",    "Demir"};

QByteArray utf8(const QString &s)
{
    return s.toUtf8();
}

QString periodStart(int period)
{
    return QDate(2012, 1, 1).addMonths(period).toString(QStringLiteral("dd.MM.yyyy"));
}

QString periodEnd(int period)
{
    const QDate start = QDate(2012, 1, 1).addMonths(period);
    return QDate(start.year(), start.month(), start.daysInMonth())
        .toString(QStringLiteral("dd.MM.yyyy"));
}

QString employerNo(int employer)
{
    return QStringLiteral("01%1%2")
        .arg(employer % 10000, 4, 10, QLatin1Char('0'))
        .arg(employer, 6, 10, QLatin1Char('0'));
}

struct Fixture {
    Fixture() : dm(dir.path())
    {
        platform.windowsDir = dir.path();
        SqliteDatabase &db = *dm.localFile();
        // Filling without the indexes and building them afterwards is several
        // times faster than keeping them up to date row by row.
        db.execScript(QStringLiteral("DROP INDEX bodro_srvno; DROP INDEX bodro_return; "
                                     "DROP INDEX bodro_period; DROP TABLE bodroliste; "
                                     "DROP TRIGGER bodroliste_delete; "
                                     "DROP TRIGGER bodroliste_update; "
                                     "PRAGMA cache_size=-200000"));
        fill(db);
        db.execScript(schema::createIndexes() + QStringLiteral("PRAGMA cache_size=-2000"));
        // The return table as the schema step builds it for an older file.
        returntable::ensureReturnTable(db);
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

    void fill(SqliteDatabase &db)
    {
        Transaction tx(db);
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(
            db.handle(),
            "insert into bodro (YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,YATKIMLIK,"
            "YATISIM,YATCINS,YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,ISVISADRES,ISVTELNO,"
            "ISVISIM,YATBODROTUR,YATGONDER,YATBDRDEVMIK,YATSSKNO) "
            "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
            -1, &insert, nullptr);
        QList<QByteArray> employers, names, numbers, funds, people, pays;
        for (int e = 0; e < Employers; ++e) {
            employers << utf8(employerNo(e));
            names << utf8(QStringLiteral("%1 %2 Ltd.")
                              .arg(QString::fromUtf8(NameStarts[e % std::size(NameStarts)]))
                              .arg(e));
        }
        for (int k = 0; k < EmployeesPerReturn; ++k) {
            numbers << QByteArray::number(k + 1);
            funds << QByteArray::number(100000 + k);
            people << utf8(QStringLiteral("Çalışan Şükrü %1").arg(k));
            pays << utf8(QStringLiteral("1,%1.50").arg(100 + k));
        }
        const auto text = [insert](int index, const QByteArray &value) {
            sqlite3_bind_text(insert, index, value.constData(), int(value.size()), SQLITE_STATIC);
        };
        const struct {
            int index;
            const char *value;
        } fixed[] = {{6, "12345678901"}, {8, "E"},      {9, "30"},          {10, ""},
                     {12, "5.00"},       {13, "10.00"}, {14, "Girne Cad."}, {15, "2281234"},
                     {17, "01"},         {18, "1"},     {19, "1"},          {20, "123456789"}};
        for (const auto &f : fixed)
            sqlite3_bind_text(insert, f.index, f.value, -1, SQLITE_STATIC);
        for (int p = 0; p < Periods; ++p) {
            const QByteArray start = utf8(periodStart(p)), end = utf8(periodEnd(p));
            text(3, start);
            text(4, end);
            for (int e = 0; e < Employers; ++e) {
                text(2, employers[e]);
                text(16, names[e]);
                for (int k = 0; k < EmployeesPerReturn; ++k) {
                    text(1, numbers[k]);
                    text(5, funds[k]);
                    text(7, people[k]);
                    text(11, pays[k]);
                    sqlite3_step(insert);
                    sqlite3_reset(insert);
                }
            }
        }
        sqlite3_finalize(insert);
        tx.commit();
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    Tdm dm;
    AccountantRecord sender;
    // The measured period is the first: every period holds the same number of
    // rows, so which one matters little.
    const PeriodChoice period{QDate(2012, 1, 1), QDate(2012, 1, 31), ReturnKind::Asil, false};
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

QString outputPath(const char *name)
{
    return QDir(fixture().dir.path()).filePath(QLatin1String(name));
}

// Peak resident memory that fn adds, in MiB: freed heap goes back to the
// system and the kernel's high-water mark is reset to the present size first,
// so that what earlier runs left behind does not hide the peak.
double peakExtraMiB(const std::function<void()> &fn)
{
    const auto statusKiB = [](const char *field) {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word)
            if (word == field) {
                long kib = 0;
                status >> kib;
                return kib;
            }
        return 0L;
    };
    malloc_trim(0);
    if (FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
    const long before = statusKiB("VmRSS:");
    fn();
    return double(statusKiB("VmHWM:") - before) / 1024.0;
}

DeclarationFile runFile()
{
    Fixture &f = fixture();
    DeclarationFile file =
        declarationFile(f.sender, f.dm.db(), fileSelection(f.period, QString(), QString()), false)
            .value();
    writeFileAtomically(outputPath("4711_0.txt"), file.bytes);
    return file;
}

long runFileFloor()
{
    Fixture &f = fixture();
    return floor_declaration_file(
        f.dm.localFile()->handle(), utf8(senderLine(f.sender)).constData(), "01.01.2012",
        "31.01.2012", "01", QFile::encodeName(outputPath("floor.txt")).constData());
}

void BM_DeclarationFile(benchmark::State &state)
{
    for (auto _ : state)
        runFile();
    state.counters["peak_MiB"] = peakExtraMiB(runFile);
}
BENCHMARK(BM_DeclarationFile)->Unit(benchmark::kMillisecond);

void BM_DeclarationFileFloor(benchmark::State &state)
{
    for (auto _ : state)
        runFileFloor();
    state.counters["peak_MiB"] = peakExtraMiB(runFileFloor);
    // Both files written afresh, so the comparison does not depend on which
    // benchmarks the command line picked.
    const long floorLines = runFileFloor();
    const DeclarationFile program = runFile();
    QFile written(outputPath("4711_0.txt")), floor(outputPath("floor.txt"));
    if (!written.open(QIODevice::ReadOnly) || !floor.open(QIODevice::ReadOnly) ||
        written.readAll() != floor.readAll())
        state.SkipWithError("the program's file differs from the floor's");
    else if (program.lineCount != floorLines || program.employerCount != Employers)
        state.SkipWithError("the program's counts of lines and employers are wrong");
}
BENCHMARK(BM_DeclarationFileFloor)->Unit(benchmark::kMillisecond);

void BM_PeriodSummary(benchmark::State &state)
{
    Fixture &f = fixture();
    qsizetype returns = 0;
    for (auto _ : state) {
        const PeriodSummary summary = summarizePeriod(f.dm.db(), summarySelection(f.period));
        returns = summary.rows.size();
        benchmark::DoNotOptimize(summary.grandTotal);
    }
    if (returns != Employers)
        state.SkipWithError("wrong number of returns");
}
BENCHMARK(BM_PeriodSummary)->Unit(benchmark::kMillisecond);

void BM_PeriodSummaryFloor(benchmark::State &state)
{
    Fixture &f = fixture();
    long returns = 0;
    long long total = 0;
    for (auto _ : state) {
        returns = floor_period_summary(f.dm.localFile()->handle(), "01.01.2012", "31.01.2012", "01",
                                       &total);
        benchmark::DoNotOptimize(total);
    }
    if (returns != Employers)
        state.SkipWithError("wrong number of returns");
    // The floor counts in millionths.
    else if (Decimal(total).shiftedRight(6) !=
             summarizePeriod(f.dm.db(), summarySelection(f.period)).grandTotal)
        state.SkipWithError("the floor's grand total differs from the program's");
}
BENCHMARK(BM_PeriodSummaryFloor)->Unit(benchmark::kMillisecond);

// F10 opens the list on the current year: 12 of the 20 months.
void BM_AllReturnsListOneYear(benchmark::State &state)
{
    Fixture &f = fixture();
    int lines = 0;
    for (auto _ : state) {
        searchAllReturns(f.dm.Query1, QStringLiteral("2012"));
        lines = f.dm.Query1.recordCount();
        f.dm.Query1.close();
    }
    if (lines != 12 * Employers)
        state.SkipWithError("wrong number of lines");
}
BENCHMARK(BM_AllReturnsListOneYear)->Unit(benchmark::kMillisecond);

// The statement the list ran before the return table, for comparison.
void BM_AllReturnsListFullScan(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        Statement q = f.dm.db().prepare(QStringLiteral(
            "select DISTINCT YATISVER, ISVISIM, YATDEVREILK, YATDEVRESON, YATBODROTUR, "
            "YATBDRDEVMIK from bodro where YATDEVREILK like '%' || ? "
            "ORDER BY ISVISIM, YATDEVREILK asc"));
        q.bind(1, QStringLiteral("2012"));
        int lines = 0;
        while (q.step())
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_AllReturnsListFullScan)->Unit(benchmark::kMillisecond);

// "Yazdır" (argument 0) and "Tüm Şube Yazdır" (1) on one stored return of 50
// rows.
void BM_OneReturnPrint(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString employer = employerNo(Employers / 2);
    const PrintRequest request{
        employer.mid(0, 2),  employer.mid(2, 4),
        employer.mid(6, 6),  periodStart(3),
        periodEnd(3),        QStringLiteral("01"),
        QStringLiteral("1"), state.range(0) ? PrintScope::AllBranches : PrintScope::OneReturn};
    for (auto _ : state) {
        if (!preparePrint(f.dm, request))
            state.SkipWithError("return not found");
        f.dm.prnquery.close();
    }
}
BENCHMARK(BM_OneReturnPrint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The declaration file under "Tümü": one employer's return of 50 rows.
void BM_OneReturnFile(benchmark::State &state)
{
    Fixture &f = fixture();
    const PeriodChoice all{QDate(2012, 4, 1), QDate(2012, 4, 30), ReturnKind::Tumu, false};
    const BoundSql sel = fileSelection(all, employerNo(Employers / 2), QStringLiteral("01"));
    for (auto _ : state)
        if (!declarationFile(f.sender, f.dm.db(), sel, false))
            state.SkipWithError("return not found");
}
BENCHMARK(BM_OneReturnFile)->Unit(benchmark::kMicrosecond);

// What the schema step adds to the upgrade of an older file of 1,000,000 rows:
// the return table built from bodro.
void BM_ReturnTableForOlderFile(benchmark::State &state)
{
    SqliteDatabase &db = *fixture().dm.localFile();
    for (auto _ : state) {
        state.PauseTiming();
        db.execScript(QStringLiteral("DROP TABLE bodroliste"));
        state.ResumeTiming();
        returntable::ensureReturnTable(db);
    }
}
BENCHMARK(BM_ReturnTableForOlderFile)->Iterations(1)->Unit(benchmark::kMillisecond);

// The whole schema step on a file of the earlier release with the million
// rows: without the two newer columns, the staging table, the indexes, the
// return table and the send log. Making that file is not timed.
void BM_UpgradeOfOlderFile(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir older;
        QDir().mkpath(older.filePath(QStringLiteral("Data")));
        const QString path = older.filePath(QStringLiteral("Data/bodro.mdb"));
        f.dm.localFile()->onlineBackupTo(path);
        {
            SqliteDatabase db(path, SqliteDatabase::Mode::OpenExisting);
            db.execScript(QStringLiteral(
                "DROP TRIGGER bodroliste_delete; DROP TRIGGER bodroliste_update; "
                "DROP TABLE bodroliste; DROP TABLE bodrotemp; DROP TABLE gonderim; "
                "DROP INDEX bodro_srvno; DROP INDEX bodro_return; DROP INDEX bodro_period; "
                "ALTER TABLE bodro DROP COLUMN YATSSKNO; "
                "ALTER TABLE bodro DROP COLUMN YATBDRDEVMIK; VACUUM;"));
        }
        Tdm dm(older.path());
        ScriptedPlatform platform;
        platform.windowsDir = older.path();
        state.ResumeTiming();
        runSchemaUpgrade(dm, platform);
    }
}
BENCHMARK(BM_UpgradeOfOlderFile)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

// Keeps the median of every benchmark for the closing table.
class MedianReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.aggregate_name == "median")
                medians[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime(),
                                               benchmark::GetTimeUnitString(run.time_unit)};
        ConsoleReporter::ReportRuns(runs);
    }

    struct Median {
        double real;
        double cpu;
        std::string unit;
    };
    std::map<std::string, Median> medians;
};

} // namespace

int main(int argc, char **argv)
{
    // Medians of several repetitions unless the command line asks otherwise:
    // a later flag wins over these.
    std::vector<char *> args{argv[0], const_cast<char *>("--benchmark_repetitions=7"),
                             const_cast<char *>("--benchmark_report_aggregates_only=true")};
    args.insert(args.end(), argv + 1, argv + argc);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    fixture();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-28s %12s %12s\n", "median", "real", "cpu");
    for (const auto &[name, m] : reporter.medians)
        std::printf("%-28s %9.3f %-2s %9.3f %-2s\n", name.c_str(), m.real, m.unit.c_str(), m.cpu,
                    m.unit.c_str());
    std::printf("\n%-28s %12s %12s\n", "ratio to the floor", "real", "cpu");
    for (const char *name : {"BM_DeclarationFile", "BM_PeriodSummary"}) {
        const auto program = reporter.medians.find(name);
        const auto floor = reporter.medians.find(std::string(name) + "Floor");
        if (program != reporter.medians.end() && floor != reporter.medians.end())
            std::printf("%-28s %11.2fx %11.2fx\n", name, program->second.real / floor->second.real,
                        program->second.cpu / floor->second.cpu);
    }
    return 0;
}
