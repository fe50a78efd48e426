// Time to bring a 5,000-row sheet in: reading and checking it, opening its
// dry run with the list drawn, and the whole "İçe Aktar" of the entry screen
// from the file to the filled grid with its totals. The sheet is what a
// Turkish spreadsheet saves: Windows-1254, ";" and "2.500,50" amounts, with
// every column filled and one refused row in a hundred.
#include "app/context.h"
#include "entry/csvimport.h"
#include "entry/importdialog.h"
#include "entry/yatirimgir.h"
#include "store/dm.h"
#include "support/scriptedplatform.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

namespace
{

constexpr int SheetRows = 5000;

QByteArray sheetBytes()
{
    QString text = QStringLiteral("Sarvek No;Kimlik No;Sigorta No;Adı Soyadı;Cinsiyet;Gün Sayısı;"
                                  "İzin Nedeni;Aylık Kazanç;P.Oranı %;D.Oranı %\r\n");
    for (int i = 0; i < SheetRows; ++i) {
        // Every hundredth fund number is a digit short.
        const QString fundNo = QString::number(i % 100 == 99 ? 10000 + i : 100000 + i);
        text += QStringLiteral("%1;%2;%3;Çalışan %4 Şükrüoğlu;%5;30;%6;%7.%8,%9;5;10\r\n")
                    .arg(fundNo)
                    .arg(10000000000LL + i)
                    .arg(200000000 + i)
                    .arg(i)
                    .arg(i % 2 ? QStringLiteral("E") : QStringLiteral("K"))
                    .arg(i % 7 ? QString() : QStringLiteral("H"))
                    .arg(1 + i % 9)
                    .arg(i % 1000, 3, 10, QLatin1Char('0'))
                    .arg(i % 100, 2, 10, QLatin1Char('0'));
    }
    QStringEncoder cp1254("windows-1254");
    return cp1254.encode(text);
}

// The sheet as a file in its own folder, for the whole benchmark run.
struct SheetFile {
    SheetFile()
    {
        QFile file(path());
        if (file.open(QIODevice::WriteOnly))
            file.write(sheetBytes());
    }
    QString path() const { return QDir(dir.path()).filePath(QStringLiteral("bordro.csv")); }

    QTemporaryDir dir;
};

const SheetFile &sheetFile()
{
    static const SheetFile file;
    return file;
}

void BM_ReadAndCheckSheet(benchmark::State &state)
{
    const QString path = sheetFile().path();
    int ready = 0;
    for (auto _ : state) {
        const csvimport::Sheet sheet = csvimport::readSheetFile(path);
        ready = sheet.readyCount;
        benchmark::DoNotOptimize(sheet.grandTotal);
    }
    state.counters["ready"] = ready;
}
BENCHMARK(BM_ReadAndCheckSheet)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

// Read, checked and shown: the dry run built over the sheet and drawn once,
// the visible part of its list included.
void BM_DryRunShown(benchmark::State &state)
{
    const QString path = sheetFile().path();
    int listed = 0;
    for (auto _ : state) {
        ImportDialog dialog(csvimport::readSheetFile(path), QStringLiteral("bordro.csv"));
        dialog.show();
        benchmark::DoNotOptimize(dialog.grab());
        listed = dialog.aktarliste->model()->rowCount();
    }
    state.counters["listed"] = listed;
}
BENCHMARK(BM_DryRunShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

// "İçe Aktar" on the entry screen, with "Aktar" pressed as soon as the dry
// run has been drawn: the file chosen, read, checked and listed, the ready
// rows appended to the grid and computed, the totals rebuilt.
void BM_ImportIntoEntryGrid(benchmark::State &state)
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    platform.windowsDir = QDir(dir.path()).filePath(QStringLiteral("windows"));
    QDir().mkpath(platform.windowsDir);
    Tdm dm(dir.path());
    AppContext ctx(platform, dm);
    TForm1 form(ctx);
    form.show();
    for (auto _ : state) {
        state.PauseTiming();
        form.resetGrid();
        platform.filesToOpen = {sheetFile().path()};
        QTimer::singleShot(0, [] {
            if (auto *dialog = qobject_cast<ImportDialog *>(QApplication::activeModalWidget())) {
                benchmark::DoNotOptimize(dialog->grab());
                dialog->BitBtnAktar->click();
            }
        });
        state.ResumeTiming();
        form.BitBtnIceAktarClick();
        QCoreApplication::processEvents();
    }
    state.counters["gridRows"] = double(form.gridRows().size());
    state.counters["messages"] = double(platform.texts().size());
}
BENCHMARK(BM_ImportIntoEntryGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

} // namespace
