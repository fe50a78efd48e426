// libpq behind checked calls and one exception type.
#include "store/pgdb.h"

#include <algorithm>
#include <deque>
#include <libpq-fe.h>
#include <QRegularExpression>
#include <QStringList>
#include <vector>

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
    // 55P03: a lock another desk holds was waited for as long as allowed.
    if (sqlState == QLatin1String("55P03"))
        return QStringLiteral("Veritabanı başka bir masada kullanılıyor; lütfen biraz sonra "
                              "tekrar deneyiniz.") +
               detail;
    if (sqlState == QLatin1String("40001") || sqlState == QLatin1String("40P01"))
        return QStringLiteral("Veritabanı başka bir masadan aynı anda değiştirildi; lütfen "
                              "tekrar deneyiniz.") +
               detail;
    return engine;
}

// The server's own sentence, without the "ERROR:" prefix and the lines of
// detail that the full message carries.
QString engineText(const pg_conn *conn, const pg_result *result)
{
    // A refused width or missing value reads as SQLite words it, so that the
    // message a desk shows does not depend on where the data lives.
    if (result) {
        const QLatin1String state(PQresultErrorField(result, PG_DIAG_SQLSTATE));
        const char *constraint = PQresultErrorField(result, PG_DIAG_CONSTRAINT_NAME);
        const char *table = PQresultErrorField(result, PG_DIAG_TABLE_NAME);
        const char *column = PQresultErrorField(result, PG_DIAG_COLUMN_NAME);
        if (state == QLatin1String("23514") && constraint)
            return QStringLiteral("CHECK constraint failed: ") + QString::fromUtf8(constraint);
        if (state == QLatin1String("23502") && table && column)
            return QStringLiteral("NOT NULL constraint failed: %1.%2")
                .arg(QString::fromUtf8(table), QString::fromUtf8(column));
    }
    if (result)
        if (const char *primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY))
            return QString::fromUtf8(primary).trimmed();
    // libpq indents the later lines of a connection failure with tabs.
    const char *msg = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
    QStringList lines = QString::fromUtf8(msg).trimmed().split(u'\n');
    for (QString &line : lines)
        line = line.trimmed();
    return lines.join(u'\n');
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

namespace
{

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The word starting at i when it stands alone (not part of a longer name).
bool wordAt(const QString &sql, qsizetype i, QLatin1String word)
{
    if (i > 0 && isWordChar(sql[i - 1]))
        return false;
    const qsizetype end = i + word.size();
    return end <= sql.size() &&
           QStringView(sql).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
           (end == sql.size() || !isWordChar(sql[end]));
}

// Where a LIKE's pattern ends: a closing parenthesis of the level the LIKE
// stands on, the end of the statement, or a word that goes on with the
// statement.
bool endsPattern(const QString &sql, qsizetype i, int depth, int likeDepth)
{
    if (i >= sql.size() || sql[i] == u';')
        return true;
    if (depth != likeDepth)
        return false;
    if (sql[i] == u')')
        return true;
    for (const char *word : {"and", "or", "order", "group", "limit", "having", "union", "then",
                             "else", "end", "when", "escape"})
        if (wordAt(sql, i, QLatin1String(word)))
            return true;
    return false;
}

} // namespace

QString serverDialect(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int number = 0;
    int depth = 0;
    // SQLite's LIKE knows no escape character, the server's takes "\" unless
    // told otherwise: a pattern gets ESCAPE '' where it ends.
    int likeDepth = -1;
    const auto closeLike = [&](qsizetype at) {
        if (likeDepth < 0 || !endsPattern(sql, at, depth, likeDepth))
            return;
        likeDepth = -1;
        if (at < sql.size() && wordAt(sql, at, QLatin1String("escape")))
            return; // the statement names its own
        if (!out.endsWith(u' '))
            out += u' ';
        out += QLatin1String("ESCAPE ''");
        if (at < sql.size())
            out += u' ';
    };
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        closeLike(i);
        if (c == u'(') {
            ++depth;
            out += c;
        } else if (c == u')') {
            --depth;
            out += c;
        } else if (c == u'\'' || c == u'"') {
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
        } else if (wordAt(sql, i, QLatin1String("like"))) {
            out += QLatin1String("ILIKE");
            i += 3;
            likeDepth = depth;
        } else if (wordAt(sql, i, QLatin1String("substr"))) {
            // substr(name, -n): a plain name and a negative constant only.
            static const QRegularExpression lastChars(
                QStringLiteral("substr\\s*\\(\\s*(\\w+)\\s*,\\s*-\\s*(\\d+)\\s*\\)"),
                QRegularExpression::CaseInsensitiveOption);
            const QRegularExpressionMatch m =
                lastChars.match(sql, i, QRegularExpression::NormalMatch,
                                QRegularExpression::AnchorAtOffsetMatchOption);
            if (m.hasMatch()) {
                out += QStringLiteral("right(%1, %2)").arg(m.captured(1), m.captured(2));
                i += m.capturedLength() - 1;
            } else {
                out += c;
            }
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
    closeLike(n);
    return out;
}

// A statement prepared on the server under a name of its own.
class PgStatement final : public StatementImpl
{
  public:
    // described: the server's description of the prepared statement, which
    // names the columns before the first row has come.
    PgStatement(PgDatabase &db, QByteArray name, pg_result *described)
        : m_db(db), m_name(std::move(name)), m_described(described, &PQclear),
          m_values(size_t(PQnparams(described))), m_nulls(m_values.size(), true)
    {
    }
    ~PgStatement() override;
    PgStatement(const PgStatement &) = delete;

    void bindText(int index, const QString &value) override;
    void bindNull(int index) override;
    void bindInteger(int index, long long value) override
    {
        bindText(index, QString::number(value));
    }
    // The first call executes.
    bool step() override;
    int run() override;
    void reset() override;
    int columnCount() const override { return PQnfields(m_described.get()); }
    QString columnName(int i) const override
    {
        return QString::fromUtf8(PQfname(m_described.get(), i));
    }
    QByteArrayView utf8(int i) const override
    {
        if (isNull(i))
            return QByteArrayView();
        return QByteArrayView(PQgetvalue(m_result, m_row, i), PQgetlength(m_result, m_row, i));
    }
    long long integer(int i) const override
    {
        return isNull(i) ? 0 : QByteArray(PQgetvalue(m_result, m_row, i)).toLongLong();
    }
    bool isNull(int i) const override { return m_row < 0 || PQgetisnull(m_result, m_row, i); }

    // Fetches what the server still has to send for this statement.
    void bufferRest();

  private:
    void execute();
    pg_result *nextResult();
    // Ends the current run: whatever is left of it is dropped.
    void finish();

    PgDatabase &m_db;
    QByteArray m_name;
    PgDatabase::Result m_described;
    std::vector<QByteArray> m_values;
    std::vector<bool> m_nulls;
    pg_result *m_result = nullptr;
    std::deque<pg_result *> m_pending;
    bool m_active = false;
    int m_row = -1;
};

PgDatabase::PgDatabase(const QString &connInfo) : m_connInfo(connInfo)
{
    // A desk notices a server that went away without a word within a minute
    // or so, instead of waiting on the system's hours; what the connection
    // string itself says about these wins.
    const QByteArray given = connInfo.toUtf8();
    const char *const keywords[] = {"connect_timeout",  "keepalives_idle", "keepalives_interval",
                                    "keepalives_count", "dbname",          nullptr};
    const char *const values[] = {"10", "20", "10", "4", given.constData(), nullptr};
    m_conn = PQconnectdbParams(keywords, values, 1);
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
    try {
        setUp();
    } catch (const PgError &) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

void PgDatabase::setUp()
{
    // Texts travel as UTF-8 whatever the database's own encoding. A desk
    // whose network went silently, holding the lock of a return, must not
    // hold the other desks up for long: the server drops its connection, and
    // with it its transaction and lock, after a minute without an answer; a
    // desk that waits for a lock gives up after half a minute and says so.
    checked(PQexec(m_conn, "SET client_encoding = 'UTF8'; SET client_min_messages = warning; "
                           "SET lock_timeout = '30s'; "
                           "SET idle_in_transaction_session_timeout = '60s'; "
                           "SET tcp_keepalives_idle = 20; SET tcp_keepalives_interval = 10; "
                           "SET tcp_keepalives_count = 4"));
}

void PgDatabase::reviveIfLost()
{
    // A server that restarted, or a network that came back, is reached again
    // by the next command; a transaction that was open is lost either way,
    // and its failure has already been reported.
    if (PQstatus(m_conn) != CONNECTION_BAD || m_transactionOpen || m_onWire)
        return;
    PQreset(m_conn);
    m_unfreed.clear();
    if (PQstatus(m_conn) != CONNECTION_OK)
        fail();
    setUp();
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

Statement PgDatabase::prepare(const QString &sql)
{
    claim(nullptr);
    reviveIfLost();
    QByteArray name = "s" + QByteArray::number(++m_nextName);
    const QString translated = serverDialect(sql);
    checked(PQprepare(m_conn, name.constData(), translated.toUtf8().constData(), 0, nullptr));
    Result described = checked(PQdescribePrepared(m_conn, name.constData()));
    return Statement(std::make_unique<PgStatement>(*this, std::move(name), described.release()));
}

void PgDatabase::execScript(const QString &sql)
{
    claim(nullptr);
    reviveIfLost();
    checked(PQexec(m_conn, serverDialect(sql).toUtf8().constData()));
}

long long PgDatabase::lastInsertRowId()
{
    // Every key column is an identity column, whose sequence this session
    // advanced last.
    Statement q = prepare(QStringLiteral("select lastval()"));
    return q.step() ? q.integer(0) : 0;
}

bool PgDatabase::inTransaction() const
{
    // While rows are still coming the connection reports only that a command
    // is active, whether or not a transaction is open around it.
    const PGTransactionStatusType st = PQtransactionStatus(m_conn);
    return st == PQTRANS_ACTIVE ? m_transactionOpen
                                : st == PQTRANS_INTRANS || st == PQTRANS_INERROR;
}

bool PgDatabase::hasTable(const QString &name)
{
    // Read from the catalog under this statement's own snapshot: a name look-up
    // (to_regclass) may answer from this session's cache and miss a table
    // that another desk has just made.
    Statement q = prepare(QStringLiteral(
        "select count(*) from pg_catalog.pg_class c join pg_catalog.pg_namespace n on "
        "n.oid = c.relnamespace where c.relname = lower(?) and c.relkind in ('r', 'p') and "
        "n.nspname = any(current_schemas(false))"));
    q.bind(1, name);
    return q.step() && q.integer(0) > 0;
}

void PgDatabase::serialize(const QString &name)
{
    Statement q = prepare(QStringLiteral("select pg_advisory_xact_lock(hashtextextended(?, 0))"));
    q.bind(1, name);
    q.run();
}

void PgDatabase::begin(Lock)
{
    execScript(QStringLiteral("BEGIN"));
    m_transactionOpen = true;
}

void PgDatabase::commit()
{
    m_transactionOpen = false;
    execScript(QStringLiteral("COMMIT"));
}

void PgDatabase::rollbackQuietly() noexcept
{
    m_transactionOpen = false;
    quietly("ROLLBACK");
    for (const QByteArray &name : m_unfreed)
        quietly(("DEALLOCATE " + name).constData());
    m_unfreed.clear();
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

void PgDatabase::quietly(const char *sql) noexcept
{
    try {
        claim(nullptr);
    } catch (...) {
    }
    if (PQstatus(m_conn) == CONNECTION_OK)
        PQclear(PQexec(m_conn, sql));
}

PgStatement::~PgStatement()
{
    finish();
    PQclear(m_result);
    // A failed transaction refuses even this; the name is freed after the
    // rollback instead.
    if (PQtransactionStatus(m_db.handle()) == PQTRANS_INERROR)
        m_db.m_unfreed.push_back(m_name);
    else
        m_db.quietly(("DEALLOCATE " + m_name).constData());
}

void PgStatement::bindText(int index, const QString &value)
{
    if (index < 1 || size_t(index) > m_values.size())
        throw PgError(QStringLiteral("Değer sırası geçersiz: %1").arg(index), QString(),
                      QStringLiteral("07001"));
    // The server keeps no NUL in a text; cutting the value there would store
    // something else than was given.
    if (value.contains(QChar(0)))
        throw PgError(QStringLiteral("Metinde sunucunun saklayamadığı bir boş karakter (NUL) "
                                     "var; değer kaydedilmedi."),
                      QStringLiteral("invalid byte sequence for encoding \"UTF8\": 0x00"),
                      QStringLiteral("22021"));
    m_values[size_t(index - 1)] = value.toUtf8();
    m_nulls[size_t(index - 1)] = false;
}

void PgStatement::bindNull(int index)
{
    bindText(index, QString());
    m_nulls[size_t(index - 1)] = true;
}

void PgStatement::execute()
{
    m_db.claim(this);
    std::vector<const char *> params(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        params[i] = m_nulls[i] ? nullptr : m_values[i].constData();
    pg_conn *conn = m_db.handle();
    if (!PQsendQueryPrepared(conn, m_name.constData(), int(params.size()), params.data(), nullptr,
                             nullptr, 0)) {
        m_db.release(this);
        m_db.fail();
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
    if (m_db.m_onWire == this) {
        PGresult *r = PQgetResult(m_db.handle());
        if (!r)
            m_db.release(this);
        return r;
    }
    return nullptr;
}

void PgStatement::bufferRest()
{
    while (PGresult *r = PQgetResult(m_db.handle()))
        m_pending.push_back(r);
    m_db.release(this);
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
    m_db.fail(failed.get());
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
