// The data module: one lazily opened connection, to Data/bodro.mdb or, in
// office mode, to the office's PostgreSQL server, and the named query slots
// that the screens use. A slot holds the result of its last query in memory.
#pragma once

#include "store/database.h"

#include <functional>
#include <memory>
#include <optional>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class SqliteDatabase;
class Tdm;

class Query
{
  public:
    explicit Query(Tdm &dm) : m_dm(dm) {}

    void close();
    // Clears the slot and sets its statement. Values go into params and are
    // bound to the statement's "?" in order; nothing is pasted into the text.
    void setSql(const QString &sql, const QVariantList &params = {});
    const QString &sql() const { return m_sql; }

    // Runs the statement and keeps every row; the cursor is on the first row.
    void open();
    // Runs a statement that changes data; returns the number of rows changed.
    int exec();

    bool isOpen() const { return m_open; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recordCount() const { return int(m_rows.size()); }
    void first() { m_pos = 0; }
    void next() { ++m_pos; }
    bool eof() const { return m_pos >= m_rows.size(); }
    int recNo() const { return int(m_pos) + 1; }
    void moveTo(int recNo) { m_pos = recNo - 1; }

    // Column of the current row by name, without regard to case. Throws when
    // the name is not a column of the result.
    QString field(const QString &name) const;
    long long fieldAsInteger(const QString &name) const;
    const QStringList &columns() const { return m_columns; }
    const QList<QStringList> &rows() const { return m_rows; }

  private:
    Tdm &m_dm;
    QString m_sql;
    QVariantList m_params;
    bool m_open = false;
    QStringList m_columns;
    QHash<QString, int> m_index;
    QList<QStringList> m_rows;
    qsizetype m_pos = 0;
};

class Tdm
{
  public:
    // baseDir is the working folder that holds Data/. With a connection
    // string (as storagechoice::read() finds it), the data lives on that
    // server instead of in Data/bodro.mdb.
    explicit Tdm(const QString &baseDir = QString(), const QString &serverConnInfo = QString());
    ~Tdm();

    // The connection, opened on first use. A missing or zero-byte file is
    // created with the current schema; a file that is not a database is left
    // untouched and reported. A server's database gets what it lacks of the
    // schema, in one transaction.
    Database &db();
    // The SQLite file's connection, opened on first use; null in office mode.
    SqliteDatabase *localFile();
    bool isOffice() const { return !m_serverConnInfo.isEmpty(); }
    // Where the data lives, in the user's words, without connecting.
    QString storageDescription() const;
    // Runs once a new database file has been made and opened. The data module
    // itself writes nothing outside Data/; start-up hangs the first-run
    // reminder here.
    void setOnCreated(std::function<void()> hook) { m_onCreated = std::move(hook); }
    // Refuses, before anything is written, a change to a database that can
    // only be read: throws DbError naming the read-only file or folder.
    void requireWritable();
    bool isWritable();
    bool isConnected() const { return bool(m_db); }
    QString databasePath() const;
    QString dataDir() const;

    // Runs `sql` with bound values and returns all rows as text.
    QList<QStringList> select(const QString &sql, const QVariantList &params = {});
    int execute(const QString &sql, const QVariantList &params = {});

    Query Query1{*this};
    Query Query2{*this};
    Query Query3{*this};
    Query prnquery{*this};

  private:
    void createDatabase(const QString &path);
    std::optional<DbError> writeRefusal();

    Database &openServer();

    QString m_baseDir;
    QString m_serverConnInfo;
    std::function<void()> m_onCreated;
    std::unique_ptr<Database> m_db;
};
