// The single-desk engine: a small RAII wrapper over the SQLite C API. Every
// call is checked; a failure becomes a DbError carrying the engine's message.
// Values are always bound.
#pragma once

#include "store/database.h"

#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

class SqliteDatabase : public Database
{
  public:
    enum class Mode { OpenExisting, Create };
    // Opens the file. The connection knows the collation TURKCE: Turkish
    // alphabetical order with case folded the Turkish way. OpenExisting fails on a missing file;
    // Create makes it.
    SqliteDatabase(const QString &path, Mode mode);
    ~SqliteDatabase() override;

    Statement prepare(const QString &sql) override;
    void execScript(const QString &sql) override;
    long long lastInsertRowId() override;
    bool inTransaction() const override;
    bool hasTable(const QString &name) override;
    // A table of this connection's TEMP schema, which lives outside the file.
    bool hasTempTable(const QString &name);
    // The table's columns in their order, named as the file spells them.
    QStringList columnNames(const QString &table);
    // The engine's write lock, taken by every transaction of a change, already
    // holds every other writer back.
    void serialize(const QString &) override {}
    QString sameValueOperator() const override { return QStringLiteral("IS"); }

    int changes() const;
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
    void begin(Lock lock) override;
    void commit() override;
    void rollbackQuietly() noexcept override;

    sqlite3 *m_db = nullptr;
    QString m_path;
};
