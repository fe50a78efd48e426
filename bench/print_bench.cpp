// Time to run the printed return of 1,000 employees and write it as a PDF.
#include "app/context.h"
#include "print/frmprint.h"
#include "store/dm.h"
#include "store/sqlite.h"
#include "support/scriptedplatform.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QTemporaryDir>

namespace
{

void fillReturn(Tdm &dm, int employees)
{
    Transaction t(dm.db());
    for (int i = 1; i <= employees; ++i)
        dm.execute(QStringLiteral(
                       "insert into bodro (YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,"
                       "YATKIMLIK,YATISIM,YATCINS,YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,"
                       "ISVISADRES,ISVTELNO,ISVISIM,YATBODROTUR,YATGONDER,YATBDRDEVMIK,YATSSKNO) "
                       "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                   {QString::number(i),
                    QStringLiteral("010001000001"),
                    QStringLiteral("01.03.2013"),
                    QStringLiteral("31.03.2013"),
                    QString::number(100000 + i),
                    QString::number(10000000000LL + i),
                    QStringLiteral("Çalışan %1 Öztürk").arg(i),
                    QStringLiteral("E"),
                    QStringLiteral("30"),
                    QString(),
                    QStringLiteral("1,%1.55").arg(100 + i % 900),
                    QStringLiteral("5.00"),
                    QStringLiteral("10.00"),
                    QStringLiteral("Lefkoşa"),
                    QStringLiteral("2281234"),
                    QStringLiteral("Deneme Ltd."),
                    QStringLiteral("01"),
                    QStringLiteral("1"),
                    QStringLiteral("1"),
                    QString::number(200000000 + i)});
    t.commit();
}

void BM_PrintThousandEmployeesToPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    Tdm dm(dir.path());
    AppContext ctx(platform, dm);
    fillReturn(dm, 1000);
    Tfrmbodrodok form(ctx);
    const auto captions =
        preparePrint(dm, {QStringLiteral("01"), QStringLiteral("0001"), QStringLiteral("000001"),
                          QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
                          QStringLiteral("01"), QStringLiteral("1"), PrintScope::OneReturn});
    form.setCaptions(*captions);
    const QString path = QDir(dir.path()).filePath(QStringLiteral("bodro.pdf"));
    for (auto _ : state)
        form.savePdf(path);
    state.counters["pages"] = double(form.bdrdok.layout().size());
}
BENCHMARK(BM_PrintThousandEmployeesToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

} // namespace
