// A small RAII wrapper over libpq for the office mode, shaped like the SQLite
// wrapper: statements take "?" placeholders and bound text values, rows are
// read one at a time by column position, a transaction guard rolls back
// unless committed, and every failure becomes one PgError carrying the
// server's SQLSTATE and message. Passwords come only the libpq ways
// (~/.pgpass, PGPASSFILE); the connection string never needs one.
#pragma once

#include "base/errors.h"

#include <deque>
#include <memory>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

struct pg_conn;
struct pg_result;

// A failed server call. sqlState() is the five-character SQLSTATE ("23514"
// for a refused CHECK, "08006" for a lost connection); empty when the
// failure never reached the server.
class PgError : public DbError
{
  public:
    PgError(QString message, QString engineText, QString sqlState);
    const QString &sqlState() const { return m_sqlState; }
    // The connection is gone: nothing of the open transaction was kept.
    bool connectionLost() const;
    QString typeName() const override { return QStringLiteral("PgError"); }

  private:
    QString m_sqlState;
};

// Turns the program's "?" placeholders into $1, $2, ... Quoted texts, quoted
// names and comments are copied unchanged, so a "?" inside them stays as it is.
QString numberPlaceholders(const QString &sql);

class PgStatement;

class PgDatabase
{
  public:
    // Connects with a libpq connection string ("host=... dbname=... user=...").
    explicit PgDatabase(const QString &connInfo);
    ~PgDatabase();
    PgDatabase(const PgDatabase &) = delete;
    PgDatabase &operator=(const PgDatabase &) = delete;

    // Prepares one statement with "?" placeholders on the server.
    PgStatement prepare(const QString &sql);
    // Runs one or more statements that take no values.
    void execScript(const QString &sql);
    bool inTransaction() const;
    const QString &connInfo() const { return m_connInfo; }

    // Raises the PgError for the connection's last failure, or for result when given.
    [[noreturn]] void fail(const pg_result *result = nullptr) const;

    pg_conn *handle() const { return m_conn; }

  private:
    friend class PgStatement;
    friend class PgTransaction;
    // libpq carries one command at a time. A statement whose rows are still
    // coming holds the connection; before anything else is sent, the rest of
    // its rows are fetched into that statement, so that a walk over rows may
    // run other statements as it goes, as with SQLite.
    void claim(PgStatement *next);
    void release(PgStatement *s);
    using Result = std::unique_ptr<pg_result, void (*)(pg_result *)>;
    // Takes the result over; raises its failure unless the command succeeded.
    Result checked(pg_result *raw) const;
    // A command whose failure does not matter (rollback, deallocation).
    void quietly(const char *sql);

    pg_conn *m_conn = nullptr;
    QString m_connInfo;
    int m_nextName = 0;
    PgStatement *m_onWire = nullptr;
};

// A prepared statement. Binding is 1-based, as with SQLite; values travel as
// text and the server infers each parameter's type from where it stands.
// run() or step() executes it; step() then walks the rows one at a time.
class PgStatement
{
  public:
    PgStatement(PgDatabase &db, QByteArray name, int paramCount);
    ~PgStatement();
    PgStatement(PgStatement &&o) noexcept;
    PgStatement &operator=(PgStatement &&o) noexcept;
    PgStatement(const PgStatement &) = delete;

    PgStatement &bind(int index, const QString &value); // always text, "" included
    PgStatement &bindNull(int index);
    PgStatement &bind(int index, long long value);
    // Binds 1..n in order: an invalid QVariant as NULL, everything else as text.
    PgStatement &bindAll(const QVariantList &values);
    // Next row: true while rows come, false when done. The first call executes.
    bool step();
    // Runs a statement and drops any rows; returns the number of rows changed.
    int run();
    // Ready to run again; bindings are cleared.
    void reset();
    int columnCount() const;
    QString columnName(int i) const;
    // Position of the named column, without regard to case; -1 if absent.
    // Look it up once after the first step, then read by position.
    int columnIndex(const QString &name) const;
    QString text(int i) const; // NULL reads as empty text
    long long integer(int i) const;
    bool isNull(int i) const;

  private:
    friend class PgDatabase;
    void execute();
    pg_result *nextResult();
    // Fetches what the server still has to send for this statement.
    void bufferRest();
    // Ends the current run: whatever is left of it is dropped.
    void finish();

    PgDatabase *m_db;
    QByteArray m_name;
    std::vector<QByteArray> m_values;
    std::vector<bool> m_nulls;
    pg_result *m_result = nullptr;
    std::deque<pg_result *> m_pending;
    bool m_active = false;
    int m_row = -1;
};

// Rolls back unless commit() was called. A rollback on a lost connection is
// quiet: the server has dropped the transaction already.
class PgTransaction
{
  public:
    explicit PgTransaction(PgDatabase &db);
    ~PgTransaction();
    void commit();
    PgTransaction(const PgTransaction &) = delete;

  private:
    PgDatabase &m_db;
    bool m_done = false;
};
