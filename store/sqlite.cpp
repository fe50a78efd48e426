// SQLite behind checked calls and one exception type.
#include "store/sqlite.h"

#include "store/failure.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>

namespace
{

// Employer names in Turkish alphabetical order, case folded the Turkish way
// (ı with I, i with İ). A list sorts a few thousand rows over a few hundred
// names, so each name's sort key is made once and kept for later comparisons.
class TurkishCollation
{
  public:
    TurkishCollation() : m_collator(QLocale(QLocale::Turkish, QLocale::Turkey))
    {
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

    int compare(std::string_view a, std::string_view b)
    {
        if (a == b)
            return 0;
        // Room for both keys is made first: clearing the table between the two
        // look-ups would take the first key with it.
        if (m_keys.size() + 2 > MaxKeys)
            m_keys.clear();
        return keyOf(a).compare(keyOf(b));
    }

    static int compare(void *self, int na, const void *a, int nb, const void *b)
    {
        return static_cast<TurkishCollation *>(self)->compare(
            std::string_view(static_cast<const char *>(a), size_t(na)),
            std::string_view(static_cast<const char *>(b), size_t(nb)));
    }
    static void destroy(void *self) { delete static_cast<TurkishCollation *>(self); }

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };

    const QCollatorSortKey &keyOf(std::string_view utf8)
    {
        auto it = m_keys.find(utf8);
        if (it == m_keys.end())
            it = m_keys
                     .emplace(std::string(utf8), m_collator.sortKey(QString::fromUtf8(
                                                     utf8.data(), qsizetype(utf8.size()))))
                     .first;
        return it->second;
    }

    // Names are few; a growing table is only a sign of a long session.
    static constexpr size_t MaxKeys = 100'000;
    QCollator m_collator;
    std::unordered_map<std::string, QCollatorSortKey, Hash, std::equal_to<>> m_keys;
};

} // namespace

SqliteDatabase::SqliteDatabase(const QString &path, Mode mode) : m_path(path)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (mode == Mode::Create)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(QFileInfo(path).absoluteFilePath().toUtf8().constData(), &m_db,
                                   flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString engine =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(failure::databaseText(rc, engine, path), engine, rc);
    }
    sqlite3_extended_result_codes(m_db, 1);
    // A second instance of the program waits for the first instead of failing.
    sqlite3_busy_timeout(m_db, 5000);
    auto *collation = new TurkishCollation;
    if (sqlite3_create_collation_v2(m_db, "TURKCE", SQLITE_UTF8, collation,
                                    &TurkishCollation::compare,
                                    &TurkishCollation::destroy) != SQLITE_OK)
        delete collation;
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close_v2(m_db);
}

void SqliteDatabase::fail(int rc, const QString &context) const
{
    QString engine = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (!context.isEmpty())
        engine = context + QStringLiteral(": ") + engine;
    throw DbError(failure::databaseText(rc, engine, m_path), engine, rc);
}

void SqliteDatabase::execScript(const QString &sql)
{
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
}

int SqliteDatabase::changes() const
{
    return sqlite3_changes(m_db);
}

long long SqliteDatabase::lastInsertRowId()
{
    return sqlite3_last_insert_rowid(m_db);
}

bool SqliteDatabase::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

bool SqliteDatabase::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

namespace
{

struct CloseConnection {
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

// sqlite3_open_v2 hands back a connection even when it fails, for its message.
int openConnection(const QString &path, int flags, Connection &into)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFileInfo(path).absoluteFilePath().toUtf8().constData(), &db,
                                   flags, nullptr);
    into.reset(db);
    return rc;
}

QString messageOf(sqlite3 *db, int rc)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

} // namespace

namespace
{

// Copies every page of `from` into a new file at `target`, in one step under
// one read lock: a commit by another connection between steps would make the
// engine start over. A busy or locked source is tried again for up to
// patienceMs past its own busy timeout. The copy gets its final name from the
// caller only once it is whole, so it needs neither a journal of its own nor
// a sync per page, which would make copying a large file several times
// slower. On failure nothing is left at target.
void copyPages(sqlite3 *from, const QString &target, qint64 patienceMs)
{
    constexpr int RetryPauseMs = 50;
    const auto removeTarget = [&target] {
        QFile::remove(target);
        QFile::remove(target + QStringLiteral("-journal"));
    };
    removeTarget();
    Connection copy;
    int rc = openConnection(
        target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, copy);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(copy.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr,
                          nullptr, nullptr);
    if (rc == SQLITE_OK) {
        if (sqlite3_backup *backup = sqlite3_backup_init(copy.get(), "main", from, "main")) {
            QElapsedTimer waited;
            waited.start();
            for (;;) {
                rc = sqlite3_backup_step(backup, -1);
                const int primary = rc & 0xff;
                if ((primary != SQLITE_BUSY && primary != SQLITE_LOCKED) ||
                    waited.elapsed() >= patienceMs)
                    break;
                sqlite3_sleep(RetryPauseMs);
            }
            const int finished = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? finished : rc;
        } else {
            rc = sqlite3_errcode(copy.get());
        }
    }
    if (rc == SQLITE_OK)
        return;
    const QString detail = messageOf(copy.get(), rc);
    copy.reset();
    removeTarget();
    throw DbError(failure::withDetail(
                      QStringLiteral("Veritabanının yedeği alınamadı: %1").arg(target), detail),
                  detail, rc);
}

} // namespace

void SqliteDatabase::backupTo(const QString &target)
{
    // The pages are read through a second connection of this process, never
    // by opening the file ourselves: closing any other handle on the file
    // would drop every lock the process holds on it, this connection's write
    // lock included, and let another instance write in the middle of the
    // copy. The engine keeps its own handles open while a lock is held, and
    // its reader may read beside our write lock as long as we have written
    // nothing.
    Connection reader;
    const int rc = openConnection(m_path, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, reader);
    if (rc != SQLITE_OK) {
        const QString detail = messageOf(reader.get(), rc);
        throw DbError(failure::withDetail(
                          QStringLiteral("Veritabanının yedeği alınamadı: %1").arg(target), detail),
                      detail, rc);
    }
    sqlite3_busy_timeout(reader.get(), 5000);
    // Pages mapped rather than read one system call at a time.
    sqlite3_exec(reader.get(), "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    copyPages(reader.get(), target, 0);
}

void SqliteDatabase::onlineBackupTo(const QString &target)
{
    // Each attempt already waits out this connection's busy timeout; the
    // deadline keeps a writer that never lets go from holding up the caller.
    copyPages(m_db, target, 10000);
}

namespace
{

class SqliteStatement final : public StatementImpl
{
  public:
    SqliteStatement(SqliteDatabase &db, sqlite3_stmt *stmt) : m_db(db), m_stmt(stmt) {}
    ~SqliteStatement() override { sqlite3_finalize(m_stmt); }
    SqliteStatement(const SqliteStatement &) = delete;

    void bindText(int index, const QString &value) override
    {
        const QByteArray utf8 = value.toUtf8();
        check(
            sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
    }
    void bindNull(int index) override { check(sqlite3_bind_null(m_stmt, index)); }
    void bindInteger(int index, long long value) override
    {
        check(sqlite3_bind_int64(m_stmt, index, value));
    }
    bool step() override
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        sqlite3_reset(m_stmt);
        m_db.fail(rc);
    }
    int run() override
    {
        while (step()) {
        }
        return m_db.changes();
    }
    void reset() override
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    int columnCount() const override { return sqlite3_column_count(m_stmt); }
    QString columnName(int i) const override
    {
        return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
    }
    QByteArrayView utf8(int i) const override
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
        return QByteArrayView(p, p ? sqlite3_column_bytes(m_stmt, i) : 0);
    }
    long long integer(int i) const override { return sqlite3_column_int64(m_stmt, i); }
    bool isNull(int i) const override { return sqlite3_column_type(m_stmt, i) == SQLITE_NULL; }

  private:
    void check(int rc) const
    {
        if (rc != SQLITE_OK)
            m_db.fail(rc);
    }

    SqliteDatabase &m_db;
    sqlite3_stmt *m_stmt;
};

} // namespace

Statement SqliteDatabase::prepare(const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
    return Statement(std::make_unique<SqliteStatement>(*this, stmt));
}

namespace
{

bool tableIn(SqliteDatabase &db, const char *catalog, const QString &name)
{
    Statement q = db.prepare(
        QStringLiteral("select 1 from %1 where type = 'table' and name = ? COLLATE NOCASE")
            .arg(QLatin1String(catalog)));
    q.bind(1, name);
    return q.step();
}

} // namespace

bool SqliteDatabase::hasTable(const QString &name)
{
    return tableIn(*this, "sqlite_master", name);
}

bool SqliteDatabase::hasTempTable(const QString &name)
{
    return tableIn(*this, "sqlite_temp_master", name);
}

QStringList SqliteDatabase::columnNames(const QString &table)
{
    QStringList names;
    Statement st = prepare(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (st.step())
        names << st.text(1);
    return names;
}

void SqliteDatabase::begin(Lock lock)
{
    execScript(lock == Lock::Immediate ? QStringLiteral("BEGIN IMMEDIATE")
                                       : QStringLiteral("BEGIN"));
}

void SqliteDatabase::commit()
{
    execScript(QStringLiteral("COMMIT"));
}

void SqliteDatabase::rollbackQuietly() noexcept
{
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}
