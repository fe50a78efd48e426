// The program that the crash trials kill. It runs, over and over on one
// database file, either the schema step (each time after putting the file
// back into a state that gives the step work) or a 1,000-row save. Around
// each operation it writes one letter to stdout, capital before and small
// after, so that the trial can tell where the kill landed.
//
//   crashhelper schema WORKDIR    S/s: the step, D/d: make work for it
//   crashhelper save WORKDIR      S/s: a save, update or further record
#include "entry/returnstore.h"
#include "faults/crashwork.h"
#include "store/dm.h"
#include "store/upgrade.h"
#include "support/scriptedplatform.h"

#include <cstdio>
#include <cstring>
#include <QCoreApplication>
#include <unistd.h>

namespace
{

void mark(char letter)
{
    // Unbuffered: the letter must be out before the next statement runs.
    (void)::write(STDOUT_FILENO, &letter, 1);
}

void runSchemaTrials(Tdm &dm, Platform &platform)
{
    // The step comes first: whatever an earlier kill left must be put right
    // before more work is made.
    for (int i = 0;; ++i) {
        mark('S');
        runSchemaUpgrade(dm, platform);
        mark('s');
        mark('D');
        crashwork::makeWorkForTheStep(dm.db(), i);
        mark('d');
    }
}

void runSaveTrials(Tdm &dm)
{
    for (int i = 0;; ++i) {
        const returnstore::ReturnHeader header = crashwork::header(i);
        const QList<returnstore::GridRow> rows = crashwork::rows(i);
        mark('S');
        returnstore::SaveResult result;
        if (i % 5 == 4)
            result = returnstore::saveSecondRecord(dm, header, rows);
        else if (returnstore::returnExists(dm, header.key))
            result = returnstore::updateReturn(dm, header, rows);
        else
            result = returnstore::saveNew(dm, header, rows);
        mark('s');
        if (!result.ok() && result.status != returnstore::SaveResult::Status::Refused) {
            std::fprintf(stderr, "%s\n", result.message.toUtf8().constData());
            return;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: crashhelper schema|save WORKDIR\n");
        return 2;
    }
    ScriptedPlatform platform;
    platform.windowsDir = QString::fromLocal8Bit(argv[2]);
    Tdm dm(QString::fromLocal8Bit(argv[2]));
    try {
        if (std::strcmp(argv[1], "schema") == 0)
            runSchemaTrials(dm, platform);
        else
            runSaveTrials(dm);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 1;
}
