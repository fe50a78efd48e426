// libpq behind checked calls and one exception type.
#include "store/pgdb.h"

#include <algorithm>
#include <libpq-fe.h>

namespace
{

QString userText(const QString &sqlState, const QString &engine)
{
    const QString detail = engine.isEmpty() ? QString() : QStringLiteral("\r\n") + engine;
    // 08: the connection failed; 57P0x: the server is shutting down or went.
    if (sqlState.isEmpty() || sqlState.startsWith(QLatin1String("08")) ||
        sqlState.startsWith(QLatin1String("57P0")))
        return QStringLiteral("Veritabanı sunucusuna bağlanılamadı ya da bağlantı koptu; son "
                              "işlem kaydedilmedi.") +
               detail;
    if (sqlState == QLatin1String("40001") || sqlState == QLatin1String("40P01"))
        return QStringLiteral("Veritabanı başka bir masadan aynı anda değiştirildi; lütfen "
                              "tekrar deneyiniz.") +
               detail;
    return engine;
}

QString engineText(const pg_conn *conn, const pg_result *result)
{
    const char *msg = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
    return QString::fromUtf8(msg).trimmed();
}

} // namespace

PgError::PgError(QString message, QString engineText, QString sqlState)
    : DbError(std::move(message), std::move(engineText), 0), m_sqlState(std::move(sqlState))
{
}

bool PgError::connectionLost() const
{
    return m_sqlState.isEmpty() || m_sqlState.startsWith(QLatin1String("08")) ||
           m_sqlState.startsWith(QLatin1String("57P0"));
}

QString numberPlaceholders(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int number = 0;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // A doubled quote inside is part of the text, so scanning on to the
            // next quote and going round again copies it whole.
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'?') {
            // "?NNN" names its parameter, as in SQLite, and a bare "?" after it
            // takes the next number past the highest seen.
            qsizetype end = i + 1;
            while (end < n && sql[end].isDigit())
                ++end;
            if (end > i + 1) {
                const int named = QStringView(sql).mid(i + 1, end - i - 1).toInt();
                number = std::max(number, named);
                out += u'$' + QString::number(named);
                i = end - 1;
            } else {
                out += u'$' + QString::number(++number);
            }
        } else {
            out += c;
        }
    }
    return out;
}

PgDatabase::PgDatabase(const QString &connInfo) : m_connInfo(connInfo)
{
    m_conn = PQconnectdb(connInfo.toUtf8().constData());
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const QString engine = m_conn ? engineText(m_conn, nullptr) : QString();
        PQfinish(m_conn);
        m_conn = nullptr;
        throw PgError(userText(QString(), engine), engine, QString());
    }
    // Notices (a server shutting down says so first) are not failures; the
    // failure itself comes as the result of the call it breaks.
    PQsetNoticeProcessor(
        m_conn, [](void *, const char *) {}, nullptr);
    // Texts travel as UTF-8 whatever the database's own encoding.
    try {
        checked(PQexec(m_conn, "SET client_encoding = 'UTF8'; SET client_min_messages = warning"));
    } catch (const PgError &) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

PgDatabase::~PgDatabase()
{
    PQfinish(m_conn);
}

void PgDatabase::fail(const pg_result *result) const
{
    const QString engine = engineText(m_conn, result);
    QString state;
    if (result)
        state = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    if (PQstatus(m_conn) == CONNECTION_BAD)
        state = state.isEmpty() || !state.startsWith(QLatin1String("57P")) ? QStringLiteral("08006")
                                                                           : state;
    throw PgError(userText(state, engine), engine, state);
}

PgDatabase::Result PgDatabase::checked(pg_result *raw) const
{
    Result r(raw, &PQclear);
    const ExecStatusType st = PQresultStatus(raw);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        fail(raw);
    return r;
}

PgStatement PgDatabase::prepare(const QString &sql)
{
    claim(nullptr);
    QByteArray name = "s" + QByteArray::number(++m_nextName);
    const QString numbered = numberPlaceholders(sql);
    checked(PQprepare(m_conn, name.constData(), numbered.toUtf8().constData(), 0, nullptr));
    const Result described = checked(PQdescribePrepared(m_conn, name.constData()));
    return PgStatement(*this, std::move(name), PQnparams(described.get()));
}

void PgDatabase::execScript(const QString &sql)
{
    claim(nullptr);
    checked(PQexec(m_conn, sql.toUtf8().constData()));
}

bool PgDatabase::inTransaction() const
{
    const PGTransactionStatusType st = PQtransactionStatus(m_conn);
    return st == PQTRANS_INTRANS || st == PQTRANS_INERROR || st == PQTRANS_ACTIVE;
}

void PgDatabase::claim(PgStatement *next)
{
    if (m_onWire && m_onWire != next)
        m_onWire->bufferRest();
    m_onWire = next;
}

void PgDatabase::release(PgStatement *s)
{
    if (m_onWire == s)
        m_onWire = nullptr;
}

void PgDatabase::quietly(const char *sql)
{
    claim(nullptr);
    if (PQstatus(m_conn) == CONNECTION_OK)
        PQclear(PQexec(m_conn, sql));
}

PgStatement::PgStatement(PgDatabase &db, QByteArray name, int paramCount)
    : m_db(&db), m_name(std::move(name)), m_values(size_t(paramCount)),
      m_nulls(size_t(paramCount), true)
{
}

PgStatement::~PgStatement()
{
    if (!m_db)
        return;
    finish();
    PQclear(m_result);
    // A failed transaction refuses even this; the name dies with the connection.
    if (!m_name.isEmpty() && PQtransactionStatus(m_db->handle()) != PQTRANS_INERROR)
        m_db->quietly(("DEALLOCATE " + m_name).constData());
}

PgStatement::PgStatement(PgStatement &&o) noexcept
    : m_db(o.m_db), m_name(std::move(o.m_name)), m_values(std::move(o.m_values)),
      m_nulls(std::move(o.m_nulls)), m_result(o.m_result), m_pending(std::move(o.m_pending)),
      m_active(o.m_active), m_row(o.m_row)
{
    if (m_db && m_db->m_onWire == &o)
        m_db->m_onWire = this;
    o.m_db = nullptr;
    o.m_result = nullptr;
    o.m_active = false;
}

PgStatement &PgStatement::operator=(PgStatement &&o) noexcept
{
    if (this != &o) {
        this->~PgStatement();
        new (this) PgStatement(std::move(o));
    }
    return *this;
}

PgStatement &PgStatement::bind(int index, const QString &value)
{
    if (index < 1 || size_t(index) > m_values.size())
        throw PgError(QStringLiteral("Değer sırası geçersiz: %1").arg(index), QString(),
                      QStringLiteral("07001"));
    m_values[size_t(index - 1)] = value.toUtf8();
    m_nulls[size_t(index - 1)] = false;
    return *this;
}

PgStatement &PgStatement::bindNull(int index)
{
    bind(index, QString());
    m_nulls[size_t(index - 1)] = true;
    return *this;
}

PgStatement &PgStatement::bind(int index, long long value)
{
    return bind(index, QString::number(value));
}

PgStatement &PgStatement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        if (!values[i].isValid())
            bindNull(i + 1);
        else
            bind(i + 1, values[i].toString());
    }
    return *this;
}

void PgStatement::execute()
{
    m_db->claim(this);
    std::vector<const char *> params(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        params[i] = m_nulls[i] ? nullptr : m_values[i].constData();
    pg_conn *conn = m_db->handle();
    if (!PQsendQueryPrepared(conn, m_name.constData(), int(params.size()), params.data(), nullptr,
                             nullptr, 0)) {
        m_db->release(this);
        m_db->fail();
    }
    // Rows arrive one at a time, so a long result is never held whole.
    PQsetSingleRowMode(conn);
    m_active = true;
}

pg_result *PgStatement::nextResult()
{
    if (!m_pending.empty()) {
        PGresult *r = m_pending.front();
        m_pending.pop_front();
        return r;
    }
    if (m_db->m_onWire == this) {
        PGresult *r = PQgetResult(m_db->handle());
        if (!r)
            m_db->release(this);
        return r;
    }
    return nullptr;
}

void PgStatement::bufferRest()
{
    while (PGresult *r = PQgetResult(m_db->handle()))
        m_pending.push_back(r);
    m_db->release(this);
}

void PgStatement::finish()
{
    while (PGresult *r = nextResult())
        PQclear(r);
    m_active = false;
    m_row = -1;
}

bool PgStatement::step()
{
    if (!m_active)
        execute();
    PQclear(m_result);
    m_result = nextResult();
    const ExecStatusType st = PQresultStatus(m_result);
    if (st == PGRES_SINGLE_TUPLE) {
        m_row = 0;
        return true;
    }
    if (st == PGRES_TUPLES_OK || st == PGRES_COMMAND_OK) {
        // The final result stays for columnCount() and the change count.
        finish();
        return false;
    }
    const PgDatabase::Result failed(m_result, &PQclear);
    m_result = nullptr;
    finish();
    m_db->fail(failed.get());
}

int PgStatement::run()
{
    while (step()) {
    }
    const char *tuples = m_result ? PQcmdTuples(m_result) : "";
    return *tuples ? atoi(tuples) : 0;
}

void PgStatement::reset()
{
    finish();
    std::fill(m_nulls.begin(), m_nulls.end(), true);
}

int PgStatement::columnCount() const
{
    return m_result ? PQnfields(m_result) : 0;
}

QString PgStatement::columnName(int i) const
{
    return QString::fromUtf8(PQfname(m_result, i));
}

int PgStatement::columnIndex(const QString &name) const
{
    for (int i = 0; i < columnCount(); ++i)
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString PgStatement::text(int i) const
{
    if (m_row < 0 || PQgetisnull(m_result, m_row, i))
        return QStringLiteral(""); // NULL reads as empty text
    return QString::fromUtf8(PQgetvalue(m_result, m_row, i), PQgetlength(m_result, m_row, i));
}

long long PgStatement::integer(int i) const
{
    if (m_row < 0 || PQgetisnull(m_result, m_row, i))
        return 0;
    return QByteArray(PQgetvalue(m_result, m_row, i)).toLongLong();
}

bool PgStatement::isNull(int i) const
{
    return m_row < 0 || PQgetisnull(m_result, m_row, i);
}

PgTransaction::PgTransaction(PgDatabase &db) : m_db(db)
{
    m_db.execScript(QStringLiteral("BEGIN"));
}

PgTransaction::~PgTransaction()
{
    if (!m_done)
        m_db.quietly("ROLLBACK");
}

void PgTransaction::commit()
{
    m_db.execScript(QStringLiteral("COMMIT"));
    m_done = true;
}
