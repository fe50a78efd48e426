// The in-place schema upgrade, as a list of steps that share one transaction.
#include "store/upgrade.h"

#include "base/platform.h"
#include "store/dm.h"
#include "store/failure.h"
#include "store/returntable.h"
#include "store/gonderim.h"
#include "store/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <sqlite3.h>

namespace {

// What the steps share. A step looks before it changes anything and changes
// only what is missing or out of date, calling willChange() first.
struct StepRun {
    Tdm &dm;
    Platform &platform;
    Database &db;
    // Shown only once everything is committed.
    QStringList afterCommit;

    void willChange() { dm.requireWritable(); }
};

QString tableSql(Database &db, const QString &table)
{
    Statement st = db.prepare(QStringLiteral(
        "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    st.bind(1, table);
    return st.step() ? st.text(0) : QString();
}

bool exists(Database &db, const QString &type, const QString &name)
{
    Statement st = db.prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_master WHERE type = ? AND name = ? COLLATE NOCASE"));
    st.bind(1, type).bind(2, name);
    return st.step();
}

QSet<QString> columnsOf(Database &db, const QString &table)
{
    QSet<QString> names;
    Statement st = db.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (st.step())
        names.insert(st.text(1).toUpper());
    return names;
}

QString backupPath(Tdm &dm, Platform &platform)
{
    const QString stamp = platform.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir(dm.dataDir()).filePath(QStringLiteral("bodro-%1.mdb").arg(stamp));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(dm.dataDir()).filePath(QStringLiteral("bodro-%1-%2.mdb").arg(stamp).arg(n));
    return path;
}

// The columns that later releases added to bodro. Any other missing column
// cannot be made up: such a file is refused before anything is written.
void ensureBodroColumns(StepRun &run)
{
    if (!exists(run.db, QStringLiteral("table"), QStringLiteral("bodro")))
        return;
    const QSet<QString> columns = columnsOf(run.db, QStringLiteral("bodro"));
    const QString seqNo = QStringLiteral("YATBDRDEVMIK");
    const QString sskNo = QStringLiteral("YATSSKNO");
    for (const schema::Column &c : schema::stagingColumns()) {
        const QString name = QLatin1String(c.name);
        if (name != sskNo && !columns.contains(name)) {
            const QString engine = QStringLiteral("table bodro has no column named %1").arg(name);
            throw DbError(failure::databaseText(SQLITE_ERROR, engine, run.db.path()), engine,
                          SQLITE_ERROR);
        }
    }
    const bool needSeqNo = !columns.contains(seqNo);
    const bool needSskNo = !columns.contains(sskNo);
    if (!needSeqNo && !needSskNo)
        return;

    run.willChange();
    run.db.backupTo(backupPath(run.dm, run.platform));
    if (needSeqNo)
        run.db.execScript(schema::addSeqNoColumn());
    if (needSskNo) {
        run.platform.showMessage(QStringLiteral("Lütfen Bekleyiniz Eski Bilgileriniz Yeni "
                                                "Kayıtlara yazılıyor 5 ile 30Dk arasında süre "
                                                "alabilir"));
        run.db.execScript(schema::addSskNoColumn());
        // Only rows without a number get "1": a file that already had the
        // column keeps its second and later records apart.
        run.db.execScript(QStringLiteral("UPDATE bodro SET YATBDRDEVMIK = '1' "
                                         "WHERE YATBDRDEVMIK IS NULL OR YATBDRDEVMIK = ''"));
        run.afterCommit << QStringLiteral("Yenilenme Başarı ile Gerçekleşti ");
    }
}

void ensureTables(StepRun &run)
{
    const struct {
        const char *name;
        QString (*create)();
    } tables[] = {{"bodro", schema::createBodro}, {"muhisv", schema::createMuhisv}};
    for (const auto &t : tables) {
        if (exists(run.db, QStringLiteral("table"), QLatin1String(t.name)))
            continue;
        run.willChange();
        run.db.execScript(t.create());
    }
}

void ensureIndexes(StepRun &run)
{
    for (const schema::Index &index : schema::indexes()) {
        if (exists(run.db, QStringLiteral("index"), QLatin1String(index.name)))
            continue;
        run.willChange();
        run.db.execScript(QLatin1String(index.create));
    }
}

// A missing or outdated staging table is made anew; a current one is only
// emptied, and only when it holds rows. Rows left on a file that cannot be
// written stay: every save empties the table before it stages.
void ensureStaging(StepRun &run)
{
    const QString stored = tableSql(run.db, QStringLiteral("bodrotemp"));
    if (stored == schema::createBodrotemp()) {
        if (!run.db.prepare(QStringLiteral("SELECT 1 FROM bodrotemp LIMIT 1")).step() ||
            !run.dm.isWritable())
            return;
        run.db.execScript(QStringLiteral("DELETE FROM bodrotemp"));
        return;
    }
    run.willChange();
    if (!stored.isNull())
        run.db.execScript(QStringLiteral("DROP TABLE bodrotemp"));
    run.db.execScript(schema::createBodrotemp());
}

// In this order: the backup before columns are added is a copy of the file as
// it was, and the indexes need bodro with all its columns.
// The list of returns is built once for a file that lacks it; a complete
// one is left alone, so that a file with nothing to do is not written.
void ensureListTable(StepRun &run)
{
    const bool complete =
        exists(run.db, QStringLiteral("table"), QStringLiteral("bodroliste")) &&
        exists(run.db, QStringLiteral("index"), QStringLiteral("bodroliste_year")) &&
        exists(run.db, QStringLiteral("index"), QStringLiteral("bodroliste_return")) &&
        exists(run.db, QStringLiteral("trigger"), QStringLiteral("bodroliste_insert")) &&
        exists(run.db, QStringLiteral("trigger"), QStringLiteral("bodroliste_delete")) &&
        exists(run.db, QStringLiteral("trigger"), QStringLiteral("bodroliste_update")) &&
        !exists(run.db, QStringLiteral("index"), QStringLiteral("bodro_isver"));
    if (complete)
        return;
    run.willChange();
    returntable::ensureReturnTable(run.db);
}

void ensureSendLog(StepRun &run)
{
    if (exists(run.db, QStringLiteral("table"), QStringLiteral("gonderim")))
        return;
    run.willChange();
    ensureGonderimTable(run.db);
}

constexpr void (*Steps[])(StepRun &) = {ensureBodroColumns, ensureTables, ensureIndexes,
                                         ensureStaging, ensureListTable, ensureSendLog};

} // namespace

void runSchemaUpgrade(Tdm &dm, Platform &platform)
{
    Database &db = dm.db();
    StepRun run{dm, platform, db, {}};
    // A file that can be written is locked for writing at once, so that two
    // instances do not both look and then both change. One that can only be
    // read is only read, unless a step finds it must change it.
    Transaction tx(db, dm.isWritable() ? Transaction::Lock::Immediate
                                       : Transaction::Lock::Deferred);
    for (const auto step : Steps)
        step(run);
    tx.commit();
    for (const QString &text : run.afterCommit)
        platform.showMessage(text);
}
