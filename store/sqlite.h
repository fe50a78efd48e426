// A small RAII wrapper over the SQLite C API. Every call is checked; a failure
// becomes a DbError carrying the engine's message. Values are always bound.
#pragma once

#include "base/errors.h"

#include <memory>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

class Statement;

class Database
{
  public:
    enum class Mode { OpenExisting, Create };
    // Opens the file. The connection knows the collation TURKCE: Turkish
    // alphabetical order with case folded the Turkish way. OpenExisting fails on a missing file;
    // Create makes it.
    Database(const QString &path, Mode mode);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    Statement prepare(const QString &sql);
    // Runs one or more statements that take no values.
    void execScript(const QString &sql);
    int changes() const;
    long long lastInsertRowId() const;
    bool inTransaction() const;
    // The engine opened the file for reading only (it could not be opened
    // for writing).
    bool isReadOnly() const;
    const QString &path() const { return m_path; }
    // Copies the whole database into a new file at target, replacing what was
    // there; on failure nothing is left at target. The caller may hold the
    // write lock (an immediate transaction), but must have changed nothing in
    // it yet.
    void backupTo(const QString &target);
    // Copies the whole database into a new file at target with the engine's
    // online backup, under a read lock of its own: the copy is a committed
    // state even while other connections write. A writer that holds the file
    // is waited for, a few seconds at most. This connection must not be in a
    // write transaction.
    void onlineBackupTo(const QString &target);

    // Raises the DbError for the engine's last failure on this connection.
    [[noreturn]] void fail(int rc, const QString &context = QString()) const;

    sqlite3 *handle() const { return m_db; }

  private:
    sqlite3 *m_db = nullptr;
    QString m_path;
};

// A prepared statement. Binding is 1-based, as in SQLite.
class Statement
{
  public:
    Statement(Database &db, sqlite3_stmt *stmt) : m_db(&db), m_stmt(stmt) {}
    ~Statement();
    Statement(Statement &&o) noexcept;
    Statement &operator=(Statement &&o) noexcept;
    Statement(const Statement &) = delete;

    Statement &bind(int index, const QString &value); // always text, "" included
    Statement &bindNull(int index);
    Statement &bind(int index, long long value);
    // Binds 1..n in order: integers as integers, an invalid QVariant as NULL,
    // everything else as text.
    Statement &bindAll(const QVariantList &values);
    // Next row: true while rows come, false when done.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    void reset();
    int columnCount() const;
    QString columnName(int i) const;
    QString text(int i) const; // NULL reads as empty text
    // The same text into `into`, reusing its storage: for readers of many rows.
    void readText(int i, QString &into) const;
    // The column's UTF-8 bytes, valid until the next step; NULL reads as empty.
    QByteArrayView utf8(int i) const;
    long long integer(int i) const;
    bool isNull(int i) const;

  private:
    Database *m_db;
    sqlite3_stmt *m_stmt;
};

// Runs sql as a subquery and keeps only the named columns of its result, in
// that order: a reader that goes through the rows once reads what it uses.
Statement prepareColumns(Database &db, const QString &sql, const QStringList &columns);

// Rolls back unless commit() was called.
class Transaction
{
  public:
    // Immediate takes the write lock at once; Deferred only when the first
    // change comes, so that a file that can only be read can still be read
    // inside one.
    enum class Lock { Immediate, Deferred };
    explicit Transaction(Database &db, Lock lock = Lock::Immediate);
    ~Transaction();
    void commit();
    Transaction(const Transaction &) = delete;

  private:
    Database &m_db;
    bool m_done = false;
};
