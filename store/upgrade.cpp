// The in-place schema upgrade, as a list of steps that share one transaction.
#include "store/upgrade.h"

#include "base/platform.h"
#include "store/dm.h"
#include "store/failure.h"
#include "store/gonderim.h"
#include "store/returntable.h"
#include "store/schema.h"
#include "store/sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <sqlite3.h>

namespace
{

// What the steps share. A step looks before it changes anything and changes
// only what is missing or out of date, calling willChange() first.
struct StepRun {
    Tdm &dm;
    Platform &platform;
    SqliteDatabase &db;
    // Shown only once everything is committed.
    QStringList afterCommit;
    // The copy made before columns are added, under its name while it is
    // written: it gets its real name only once the change is committed.
    QString backup;

    void willChange() { dm.requireWritable(); }
};

QString tableSql(SqliteDatabase &db, const QString &table)
{
    Statement st = db.prepare(QStringLiteral(
        "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    st.bind(1, table);
    return st.step() ? st.text(0) : QString();
}

// An index or trigger of the file; tables are asked of the connection.
bool exists(SqliteDatabase &db, const QString &type, const QString &name)
{
    Statement st = db.prepare(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = ? AND name = ? COLLATE NOCASE"));
    st.bind(1, type).bind(2, name);
    return st.step();
}

// Upper-cased, as the names are compared without regard to case.
QSet<QString> columnsOf(SqliteDatabase &db, const QString &table)
{
    QSet<QString> names;
    for (const QString &name : db.columnNames(table))
        names.insert(name.toUpper());
    return names;
}

const QString Unfinished = QStringLiteral(".part");

bool newerColumnsPresent(SqliteDatabase &db)
{
    const QSet<QString> columns = columnsOf(db, QStringLiteral("bodro"));
    return columns.contains(QStringLiteral("YATBDRDEVMIK")) &&
           columns.contains(QStringLiteral("YATSSKNO"));
}

QString backupPath(Tdm &dm, Platform &platform)
{
    const QString stamp = platform.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(dm.dataDir());
    QString path = dir.filePath(QStringLiteral("bodro-%1.mdb").arg(stamp));
    for (int n = 2; QFileInfo::exists(path) || QFileInfo::exists(path + Unfinished); ++n)
        path = dir.filePath(QStringLiteral("bodro-%1-%2.mdb").arg(stamp).arg(n));
    return path;
}

void removeWithJournal(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// A copy still under its unfinished name was left by a run that was killed.
// If that run committed its columns, it was killed just before naming its
// copy, which was whole by then, and the naming is done now. Otherwise the
// run left nothing else behind, and neither may its copy: the next upgrade
// makes a new one. Runs under the write lock, so no other instance is
// writing a copy at the same time.
void settleUnfinishedCopies(StepRun &run)
{
    const QDir dir(run.dm.dataDir());
    const bool committed = newerColumnsPresent(run.db);
    for (const QString &name :
         dir.entryList({QStringLiteral("bodro-*.mdb") + Unfinished}, QDir::Files)) {
        const QString path = dir.filePath(name);
        const QString finished = path.chopped(Unfinished.size());
        if (!committed || QFileInfo::exists(path + QStringLiteral("-journal")) ||
            QFileInfo::exists(finished) || !QFile::rename(path, finished))
            removeWithJournal(path);
    }
}

// The columns that later releases added to bodro. Any other missing column
// cannot be made up: such a file is refused before anything is written.
void ensureBodroColumns(StepRun &run)
{
    if (!run.db.hasTable(QStringLiteral("bodro")))
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
    run.backup = backupPath(run.dm, run.platform) + Unfinished;
    run.db.backupTo(run.backup);
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
        if (run.db.hasTable(QLatin1String(t.name)))
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
// emptied, and only when it holds rows.
void ensureStaging(StepRun &run)
{
    const QString stored = tableSql(run.db, QStringLiteral("bodrotemp"));
    if (stored == schema::createBodrotemp()) {
        if (!run.db.prepare(QStringLiteral("SELECT 1 FROM bodrotemp LIMIT 1")).step())
            return;
        run.db.execScript(QStringLiteral("DELETE FROM bodrotemp"));
        return;
    }
    run.willChange();
    if (!stored.isNull())
        run.db.execScript(QStringLiteral("DROP TABLE bodrotemp"));
    run.db.execScript(schema::createBodrotemp());
}

// The list of returns is built once for a file that lacks it; a complete
// one is left alone, so that a file with nothing to do is not written.
void ensureListTable(StepRun &run)
{
    const bool complete =
        run.db.hasTable(QStringLiteral("bodroliste")) &&
        exists(run.db, QStringLiteral("index"), QStringLiteral("bodroliste_year")) &&
        exists(run.db, QStringLiteral("index"), QStringLiteral("bodroliste_return")) &&
        !exists(run.db, QStringLiteral("trigger"), QStringLiteral("bodroliste_insert")) &&
        exists(run.db, QStringLiteral("trigger"), QStringLiteral("bodroliste_delete")) &&
        exists(run.db, QStringLiteral("trigger"), QStringLiteral("bodroliste_update")) &&
        !exists(run.db, QStringLiteral("index"), QStringLiteral("bodro_isver"));
    if (complete)
        return;
    run.willChange();
    returntable::ensureReturnTable(run.db);
}

// The log is the only table a file can do without: one that can only be read
// is still opened without it, and its readers find the log empty.
void ensureSendLog(StepRun &run)
{
    if (run.db.hasTable(QStringLiteral("gonderim")) || !run.dm.isWritable())
        return;
    run.willChange();
    ensureGonderimTable(run.db);
}

// In this order: the backup before columns are added is a copy of the file as
// it was, and the indexes need bodro with all its columns.
constexpr void (*Steps[])(StepRun &) = {ensureBodroColumns, ensureTables,    ensureIndexes,
                                        ensureStaging,      ensureListTable, ensureSendLog};

// "CREATE TABLE x" as "CREATE TEMP TABLE x". A TEMP table is found before the
// file's own table of the same name.
QString inTemp(const QString &create)
{
    QString sql = create;
    return sql.insert(int(qstrlen("CREATE ")), QStringLiteral("TEMP "));
}

// A file that can only be read, such as an archive the earlier release wrote,
// is read as it is: what reading needs and the file lacks is made in this
// connection's TEMP schema, which lives outside the file. That is the staging
// table that the entry screen empties and reads (a current one in the file
// is used as it is), the accountant table and the list of returns. Missing
// indexes only make reading slower. Only a file whose bodro lacks its newer
// columns, or has no bodro at all, is refused: its returns cannot be read.
void prepareForReading(StepRun &run)
{
    if (!run.db.hasTable(QStringLiteral("bodro")))
        run.willChange();
    ensureBodroColumns(run);
    if (!run.db.hasTable(QStringLiteral("muhisv")) &&
        !run.db.hasTempTable(QStringLiteral("muhisv")))
        run.db.execScript(inTemp(schema::createMuhisv()));
    if (tableSql(run.db, QStringLiteral("bodrotemp")) != schema::createBodrotemp() &&
        !run.db.hasTempTable(QStringLiteral("bodrotemp")))
        run.db.execScript(inTemp(schema::createBodrotemp()));
    returntable::ensureReadableReturnTable(run.db);
}

} // namespace

void runSchemaUpgrade(Tdm &dm, Platform &platform)
{
    // A server's database got what it lacked when it was connected to.
    SqliteDatabase *file = dm.localFile();
    if (!file)
        return;
    SqliteDatabase &db = *file;
    StepRun run{dm, platform, db, {}, {}};
    if (!dm.isWritable()) {
        // The file is only read; the TEMP schema is written.
        Transaction tx(db, Transaction::Lock::Deferred);
        prepareForReading(run);
        tx.commit();
        return;
    }
    // Locked for writing at once, so that two instances do not both look and
    // then both change.
    Transaction tx(db);
    // What an earlier read of this file made for reading would hide the
    // file's own tables from now on.
    db.execScript(QStringLiteral("DROP TABLE IF EXISTS temp.bodrotemp; DROP TABLE IF EXISTS "
                                 "temp.muhisv; DROP TABLE IF EXISTS temp.bodroliste"));
    settleUnfinishedCopies(run);
    try {
        for (const auto step : Steps)
            step(run);
        tx.commit();
    } catch (...) {
        // Rolled back: the copy would only be another copy of the same file.
        if (!run.backup.isEmpty())
            removeWithJournal(run.backup);
        throw;
    }
    // A copy that cannot be named now is named by the next run.
    if (!run.backup.isEmpty())
        QFile::rename(run.backup, run.backup.chopped(Unfinished.size()));
    for (const QString &text : run.afterCommit)
        platform.showMessage(text);
}
