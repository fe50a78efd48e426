// The office engine: a small RAII wrapper over libpq behind the storage
// interface. Statements take the program's "?" placeholders and bound text
// values, rows are read one at a time by column position, and every failure
// becomes one PgError carrying the server's SQLSTATE and message. Passwords
// come only the libpq ways (~/.pgpass, PGPASSFILE); the connection string
// never needs one.
#pragma once

#include "store/database.h"

#include <QByteArray>
#include <QString>
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

  private:
    QString m_sqlState;
};

// The program's dialect in the server's: "?" and "?NNN" placeholders become
// $1, $2, ...; LIKE folds ASCII case as on SQLite (ILIKE over the "C"
// columns); substr(x, -n), the last n characters, becomes right(x, n).
// Quoted texts, quoted names and comments are copied unchanged.
QString serverDialect(const QString &sql);

class PgStatement;

class PgDatabase final : public Database
{
  public:
    // Connects with a libpq connection string ("host=... dbname=... user=...").
    explicit PgDatabase(const QString &connInfo);
    ~PgDatabase() override;

    // Prepares one statement on the server.
    Statement prepare(const QString &sql) override;
    void execScript(const QString &sql) override;
    long long lastInsertRowId() override;
    bool inTransaction() const override;
    bool hasTable(const QString &name) override;
    void serialize(const QString &name) override;
    QString sameValueOperator() const override { return QStringLiteral("IS NOT DISTINCT FROM"); }
    const QString &connInfo() const { return m_connInfo; }

    // Raises the PgError for the connection's last failure, or for result when given.
    [[noreturn]] void fail(const pg_result *result = nullptr) const;

    pg_conn *handle() const { return m_conn; }

  private:
    friend class PgStatement;

  public:
    using Result = std::unique_ptr<pg_result, void (*)(pg_result *)>;

  private:
    void setUp();
    // Connects again when the connection broke outside a transaction.
    void reviveIfLost();
    void begin(Lock lock) override;
    void commit() override;
    void rollbackQuietly() noexcept override;
    // libpq carries one command at a time. A statement whose rows are still
    // coming holds the connection; before anything else is sent, the rest of
    // its rows are fetched into that statement, so that a walk over rows may
    // run other statements as it goes, as with SQLite.
    void claim(PgStatement *next);
    void release(PgStatement *s);
    // Takes the result over; raises its failure unless the command succeeded.
    Result checked(pg_result *raw) const;
    // A command whose failure does not matter (rollback, deallocation).
    void quietly(const char *sql) noexcept;

    pg_conn *m_conn = nullptr;
    QString m_connInfo;
    int m_nextName = 0;
    PgStatement *m_onWire = nullptr;
    // Statements that went while a failed transaction was open.
    std::vector<QByteArray> m_unfreed;
    bool m_transactionOpen = false;
};
