// One desk of the concurrency trial. It saves returns 0 .. KEYS-1, ROUNDS
// times each, the way "Kayıt" on the entry screen does, and before every save
// waits at a gate that the trial holds shut until both desks wait there: a
// server-side advisory lock (class 4242, one per save), so that the two
// desks' saves of one key start at the same moment. Each save is reported on
// one line of stdout:
//
//   KEY ROUND PATH SEQNO ROWS     PATH: new, second or already (stored by the
//                                 other desk first, then saved as a second)
//
//   pg_racehelper CONNINFO WORKER KEYS ROUNDS
#include "pg/pgutil.h"
#include "store/dm.h"

#include <cstdio>
#include <QDir>

namespace
{

const char *pathName(pgtrial::DeskSave::Path path)
{
    switch (path) {
    case pgtrial::DeskSave::Path::New:
        return "new";
    case pgtrial::DeskSave::Path::Second:
        return "second";
    case pgtrial::DeskSave::Path::SecondAfterAlreadyStored:
        return "already";
    }
    return "?";
}

void passGate(Database &db, int gate)
{
    db.prepare(QStringLiteral("select pg_advisory_lock_shared(4242, ?)"))
        .bind(1, static_cast<long long>(gate))
        .run();
    db.prepare(QStringLiteral("select pg_advisory_unlock_shared(4242, ?)"))
        .bind(1, static_cast<long long>(gate))
        .run();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: pg_racehelper CONNINFO WORKER KEYS ROUNDS\n");
        return 2;
    }
    const QString worker = QString::fromLocal8Bit(argv[2]);
    const int keys = QByteArray(argv[3]).toInt();
    const int rounds = QByteArray(argv[4]).toInt();
    try {
        Tdm dm(QDir::tempPath(), QString::fromLocal8Bit(argv[1]));
        for (int key = 0; key < keys; ++key) {
            const returnstore::ReturnHeader header = pgtrial::header(key);
            for (int round = 0; round < rounds; ++round) {
                const QList<returnstore::GridRow> rows = pgtrial::rows(worker, round);
                passGate(dm.db(), key * rounds + round);
                const pgtrial::DeskSave save = pgtrial::saveAsDeskDoes(dm, header, rows);
                if (!save.result.ok()) {
                    std::fprintf(stderr, "%s: key %d round %d: %s\n", argv[2], key, round,
                                 save.result.message.toUtf8().constData());
                    return 1;
                }
                std::printf("%d %d %s %s %d\n", key, round, pathName(save.path),
                            save.result.seqNo.toUtf8().constData(), save.result.storedRows);
                std::fflush(stdout);
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", argv[2], e.what());
        return 1;
    }
    return 0;
}
