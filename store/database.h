// The storage interface that every reader and writer of returns goes through.
// Two engines sit behind it: the SQLite file of a single desk and a
// PostgreSQL server shared by an office. Callers write one dialect: "?"
// placeholders with bound values, and ordinary SELECT, INSERT, UPDATE and
// DELETE; what differs between the engines (placeholder syntax, catalogs,
// case rules of LIKE, transactions and locks) is settled inside each engine.
#pragma once

#include "base/errors.h"

#include <memory>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

// One engine's prepared statement; reached only through Statement.
class StatementImpl
{
  public:
    virtual ~StatementImpl() = default;
    virtual void bindText(int index, const QString &value) = 0;
    virtual void bindNull(int index) = 0;
    virtual void bindInteger(int index, long long value) = 0;
    virtual bool step() = 0;
    // Runs to the end; the number of rows the statement changed.
    virtual int run() = 0;
    virtual void reset() = 0;
    virtual int columnCount() const = 0;
    virtual QString columnName(int i) const = 0;
    virtual QByteArrayView utf8(int i) const = 0;
    virtual long long integer(int i) const = 0;
    virtual bool isNull(int i) const = 0;
};

// A prepared statement. Binding is 1-based.
class Statement
{
  public:
    explicit Statement(std::unique_ptr<StatementImpl> impl) : m_impl(std::move(impl)) {}

    Statement &bind(int index, const QString &value) // always text, "" included
    {
        m_impl->bindText(index, value);
        return *this;
    }
    Statement &bindNull(int index)
    {
        m_impl->bindNull(index);
        return *this;
    }
    Statement &bind(int index, long long value)
    {
        m_impl->bindInteger(index, value);
        return *this;
    }
    // Binds 1..n in order: integers as integers, an invalid QVariant as NULL,
    // everything else as text.
    Statement &bindAll(const QVariantList &values);
    // Next row: true while rows come, false when done.
    bool step() { return m_impl->step(); }
    // Runs a statement that returns no rows; the number of rows it changed.
    int run() { return m_impl->run(); }
    // Ready to run again; bindings are cleared.
    void reset() { m_impl->reset(); }
    int columnCount() const { return m_impl->columnCount(); }
    QString columnName(int i) const { return m_impl->columnName(i); }
    QString text(int i) const; // NULL reads as empty text
    // The same text into `into`, reusing its storage: for readers of many rows.
    void readText(int i, QString &into) const;
    // The column's UTF-8 bytes, valid until the next step; NULL reads as empty.
    QByteArrayView utf8(int i) const { return m_impl->utf8(i); }
    long long integer(int i) const { return m_impl->integer(i); }
    bool isNull(int i) const { return m_impl->isNull(i); }

  private:
    std::unique_ptr<StatementImpl> m_impl;
};

class Database
{
  public:
    // Immediate takes the write lock at once; Deferred only when the first
    // change comes, so that a file that can only be read can still be read
    // inside one.
    enum class Lock { Immediate, Deferred };

    virtual ~Database() = default;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    virtual Statement prepare(const QString &sql) = 0;
    // Runs one or more statements that take no values.
    virtual void execScript(const QString &sql) = 0;
    // The key the last INSERT gave its row.
    virtual long long lastInsertRowId() = 0;
    virtual bool inTransaction() const = 0;
    virtual bool hasTable(const QString &name) = 0;
    // Inside a transaction: holds back every other connection that asks for
    // the same name until this transaction ends, so that a look and the change
    // that depends on it cannot be split by another desk's change.
    virtual void serialize(const QString &name) = 0;
    // The operator that compares two values as equal when both are NULL.
    virtual QString sameValueOperator() const = 0;

  protected:
    Database() = default;

  private:
    friend class Transaction;
    virtual void begin(Lock lock) = 0;
    virtual void commit() = 0;
    // Undoes the open transaction; never fails, as it runs while another
    // failure is on its way.
    virtual void rollbackQuietly() noexcept = 0;
};

// Runs sql as a subquery and keeps only the named columns of its result, in
// that order: a reader that goes through the rows once reads what it uses.
Statement prepareColumns(Database &db, const QString &sql, const QStringList &columns);

// Rolls back unless commit() was called.
class Transaction
{
  public:
    using Lock = Database::Lock;
    explicit Transaction(Database &db, Lock lock = Lock::Immediate) : m_db(db) { m_db.begin(lock); }
    ~Transaction()
    {
        if (!m_done)
            m_db.rollbackQuietly();
    }
    void commit()
    {
        m_db.commit();
        m_done = true;
    }
    Transaction(const Transaction &) = delete;

  private:
    Database &m_db;
    bool m_done = false;
};
