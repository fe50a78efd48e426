// SQLite behind checked calls and one exception type.
#include "store/sqlite.h"

#include "store/failure.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

Database::Database(const QString &path, Mode mode) : m_path(path)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (mode == Mode::Create)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(QFileInfo(path).absoluteFilePath().toUtf8().constData(), &m_db,
                                   flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString engine = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                    : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError(failure::databaseText(rc, engine, path), engine, rc);
    }
    sqlite3_extended_result_codes(m_db, 1);
    // A second instance of the program waits for the first instead of failing.
    sqlite3_busy_timeout(m_db, 5000);
}

Database::~Database()
{
    sqlite3_close_v2(m_db);
}

void Database::fail(int rc, const QString &context) const
{
    QString engine = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (!context.isEmpty())
        engine = context + QStringLiteral(": ") + engine;
    throw DbError(failure::databaseText(rc, engine, m_path), engine, rc);
}

Statement Database::prepare(const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
    return Statement(*this, stmt);
}

void Database::execScript(const QString &sql)
{
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
}

int Database::changes() const
{
    return sqlite3_changes(m_db);
}

long long Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

bool Database::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

bool Database::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

void Database::backupTo(const QString &target)
{
    // Copied under a temporary name and renamed when whole, so that an
    // interrupted copy never passes for a backup. The engine's own backup
    // cannot read a connection that holds the write lock; the file's bytes
    // are the database as long as that lock keeps every writer out.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QFile source(QFileInfo(m_path).absoluteFilePath());
    if (source.copy(partial) && QFile::rename(partial, target))
        return;
    const QString detail = source.errorString();
    QFile::remove(partial);
    throw DbError(failure::withDetail(
                      QStringLiteral("Veritabanının yedeği alınamadı: %1").arg(target), detail),
                  detail, SQLITE_CANTOPEN);
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement &&o) noexcept : m_db(o.m_db), m_stmt(o.m_stmt)
{
    o.m_stmt = nullptr;
}

Statement &Statement::operator=(Statement &&o) noexcept
{
    if (this != &o) {
        sqlite3_finalize(m_stmt);
        m_db = o.m_db;
        m_stmt = o.m_stmt;
        o.m_stmt = nullptr;
    }
    return *this;
}

Statement &Statement::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    const int rc =
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        m_db->fail(rc);
    return *this;
}

Statement &Statement::bindNull(int index)
{
    const int rc = sqlite3_bind_null(m_stmt, index);
    if (rc != SQLITE_OK)
        m_db->fail(rc);
    return *this;
}

Statement &Statement::bind(int index, long long value)
{
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK)
        m_db->fail(rc);
    return *this;
}

Statement &Statement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values[i];
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
            bind(i + 1, v.toLongLong());
        else if (!v.isValid())
            bindNull(i + 1);
        else
            bind(i + 1, v.toString());
    }
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt);
    m_db->fail(rc);
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

QString Statement::text(int i) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
    if (!p)
        return QStringLiteral(""); // NULL reads as empty text
    return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, i));
}

long long Statement::integer(int i) const
{
    return sqlite3_column_int64(m_stmt, i);
}

bool Statement::isNull(int i) const
{
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

Transaction::Transaction(Database &db, Lock lock) : m_db(db)
{
    m_db.execScript(lock == Lock::Immediate ? QStringLiteral("BEGIN IMMEDIATE")
                                            : QStringLiteral("BEGIN"));
}

Transaction::~Transaction()
{
    if (!m_done)
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_db.execScript(QStringLiteral("COMMIT"));
    m_done = true;
}
