// The return table behind the all-returns list.
#include "store/returntable.h"

#include "store/returnrow.h"

#include "store/database.h"
#include "store/sqlite.h"

#include <array>
#include <QSet>
#include <QStringList>

namespace returntable
{

namespace
{

// Undoes everything since the savepoint unless released: inside the schema
// step's transaction it nests, on its own it is the transaction.
class Savepoint
{
  public:
    explicit Savepoint(SqliteDatabase &db) : m_db(db)
    {
        m_db.execScript(QStringLiteral("SAVEPOINT returntable"));
    }
    ~Savepoint()
    {
        if (!m_released)
            try {
                m_db.execScript(QStringLiteral("ROLLBACK TO returntable; RELEASE returntable"));
            } catch (const DbError &) {
            }
    }
    void release()
    {
        m_db.execScript(QStringLiteral("RELEASE returntable"));
        m_released = true;
    }
    Savepoint(const Savepoint &) = delete;

  private:
    SqliteDatabase &m_db;
    bool m_released = false;
};

// The distinct lines of bodro into the new table, as SELECT DISTINCT would
// give them, at the cost of one pass over bodro instead of a sort of it: the
// rows of one return lie together, since a save writes them at once, so a row
// is compared with the one before it, and only a change is looked up among the
// lines already written. A line is copied from its first row, type and all.
void fillFromStoredRows(SqliteDatabase &db)
{
    constexpr int Columns = 6;
    Statement rows = db.prepare(QStringLiteral("SELECT YATISVER, ISVISIM, YATDEVREILK, "
                                               "YATDEVRESON, YATBODROTUR, YATBDRDEVMIK, rowid "
                                               "FROM bodro"));
    Statement copy = db.prepare(
        QStringLiteral("INSERT INTO bodroliste SELECT YATISVER, ISVISIM, YATDEVREILK, "
                       "YATDEVRESON, YATBODROTUR, YATBDRDEVMIK FROM bodro WHERE rowid = ?"));
    QSet<QByteArray> written;
    QByteArray key;
    // The row before, column by column: the rows of one return come one after
    // another, so most rows are told apart from it without building a key.
    std::array<QByteArray, Columns> before;
    std::array<bool, Columns> beforeNull{};
    bool first = true;
    while (rows.step()) {
        bool same = !first;
        for (int i = 0; i < Columns && same; ++i)
            same = rows.isNull(i) == beforeNull[i] && rows.utf8(i) == before[i];
        if (same)
            continue;
        first = false;
        // Each value after its length; NULL has the length -1, apart from
        // every text.
        key.resize(0);
        for (int i = 0; i < Columns; ++i) {
            const QByteArrayView value = rows.utf8(i);
            beforeNull[i] = rows.isNull(i);
            before[i] = value.toByteArray();
            const qint32 size = beforeNull[i] ? -1 : qint32(value.size());
            key.append(reinterpret_cast<const char *>(&size), sizeof size);
            key.append(value);
        }
        if (written.contains(key))
            continue;
        written.insert(key);
        copy.reset();
        copy.bind(1, rows.integer(Columns));
        copy.run();
    }
}

// A line is the same when all six values are, NULLs included.
QString sameLine(const char *table, const char *row)
{
    QStringList terms;
    for (const char *column :
         {"YATISVER", "ISVISIM", "YATDEVREILK", "YATDEVRESON", "YATBODROTUR", "YATBDRDEVMIK"})
        terms << QStringLiteral("%1.%2 IS %3.%2")
                     .arg(QLatin1String(table), QLatin1String(column), QLatin1String(row));
    return terms.join(QLatin1String(" AND "));
}

// A removed or changed row takes its line along when it was the line's last
// row, in the transaction of the change, whoever makes it. New rows add their
// lines through addReturnLines(), once per save: a trigger per inserted row
// cost a save of a thousand rows a sixth of its time.
QString triggers()
{
    const QString add =
        QStringLiteral("INSERT INTO bodroliste SELECT NEW.YATISVER, NEW.ISVISIM, "
                       "NEW.YATDEVREILK, NEW.YATDEVRESON, NEW.YATBODROTUR, NEW.YATBDRDEVMIK "
                       "WHERE NOT EXISTS (SELECT 1 FROM bodroliste WHERE %1);")
            .arg(sameLine("bodroliste", "NEW"));
    const QString remove =
        QStringLiteral("DELETE FROM bodroliste WHERE %1 AND NOT EXISTS (SELECT 1 FROM bodro "
                       "WHERE %2);")
            .arg(sameLine("bodroliste", "OLD"), sameLine("bodro", "OLD"));
    return QStringLiteral(
               "DROP TRIGGER IF EXISTS bodroliste_insert;"
               "CREATE TRIGGER IF NOT EXISTS bodroliste_delete AFTER DELETE ON bodro BEGIN %2 "
               "END;"
               "CREATE TRIGGER IF NOT EXISTS bodroliste_update AFTER UPDATE OF YATISVER, "
               "ISVISIM, YATDEVREILK, YATDEVRESON, YATBODROTUR, YATBDRDEVMIK ON bodro BEGIN "
               "%2 %1 END;")
        .arg(add, remove);
}

// Without statistics the planner takes the period index for a statement that
// names one return but not its sequence number: that index hands the rows over
// in IDSIRA order and spares a sort, and costs a read of the whole period.
// Statistics of a working file's shape (a first day is shared by the rows of
// many returns, a return has some tens of rows) make it take the return index.
// Statistics that ANALYZE gathered from the real rows are left alone.
void seedStatistics(SqliteDatabase &db)
{
    db.execScript(QStringLiteral(
        "ANALYZE sqlite_schema;"
        "INSERT INTO sqlite_stat1 (tbl, idx, stat) SELECT 'bodro', column1, column2 FROM "
        "(VALUES ('bodro_period', '1000000 50000'), ('bodro_return', '1000000 1000 50 50 50 50'), "
        "('bodro_srvno', '1000000 20')) "
        "WHERE NOT EXISTS (SELECT 1 FROM sqlite_stat1 WHERE tbl = 'bodro');"
        // Loads what was written, for this connection too.
        "ANALYZE sqlite_schema;"));
}

// The table in schema "main" or "temp", filled from bodro.
void createFilled(SqliteDatabase &db, const QString &schema)
{
    db.execScript(QStringLiteral("CREATE TABLE %1.bodroliste (YATISVER VARCHAR(12), ISVISIM "
                                 "VARCHAR(50), YATDEVREILK VARCHAR(25), YATDEVRESON VARCHAR(25), "
                                 "YATBODROTUR VARCHAR(2), YATBDRDEVMIK VARCHAR(1));")
                      .arg(schema));
    fillFromStoredRows(db);
}

// The year the list searches for most often is the last four characters of
// the first day; the second index finds one return's lines.
void createIndexes(SqliteDatabase &db, const QString &schema)
{
    db.execScript(QStringLiteral("CREATE INDEX IF NOT EXISTS %1.bodroliste_year ON "
                                 "bodroliste(substr(YATDEVREILK, -4));"
                                 "CREATE INDEX IF NOT EXISTS %1.bodroliste_return ON "
                                 "bodroliste(YATISVER, YATDEVREILK, YATDEVRESON, YATBODROTUR, "
                                 "YATBDRDEVMIK);")
                      .arg(schema));
}

} // namespace

void ensureReturnTable(SqliteDatabase &db)
{
    Savepoint sp(db);
    if (!db.hasTable(QStringLiteral("bodroliste")))
        createFilled(db, QStringLiteral("main"));
    db.execScript(triggers());
    createIndexes(db, QStringLiteral("main"));
    db.execScript(QStringLiteral("DROP INDEX IF EXISTS bodro_isver;"));
    seedStatistics(db);
    sp.release();
}

void addReturnLines(Database &db, const ReturnKey &key)
{
    // The key columns of these rows equal bound texts, so plain equality
    // finds the line, through bodroliste_return; only the name may be NULL.
    Statement add = db.prepare(
        QStringLiteral("INSERT INTO bodroliste SELECT DISTINCT YATISVER, ISVISIM, YATDEVREILK, "
                       "YATDEVRESON, YATBODROTUR, YATBDRDEVMIK FROM bodro WHERE %1 AND NOT "
                       "EXISTS (SELECT 1 FROM bodroliste l WHERE l.YATISVER = bodro.YATISVER AND "
                       "l.YATDEVREILK = bodro.YATDEVREILK AND l.YATDEVRESON = bodro.YATDEVRESON "
                       "AND l.YATBODROTUR = bodro.YATBODROTUR AND l.YATBDRDEVMIK = "
                       "bodro.YATBDRDEVMIK AND l.ISVISIM %2 bodro.ISVISIM)")
            .arg(ReturnKey::where(), db.sameValueOperator()));
    add.bindAll(key.values());
    add.run();
}

void ensureReadableReturnTable(SqliteDatabase &db)
{
    if (db.hasTable(QStringLiteral("bodroliste")) || db.hasTempTable(QStringLiteral("bodroliste")))
        return;
    Savepoint sp(db);
    createFilled(db, QStringLiteral("temp"));
    createIndexes(db, QStringLiteral("temp"));
    sp.release();
}

} // namespace returntable
