// The data module and its query slots.
#include "store/dm.h"

#include "store/failure.h"
#include "store/gonderim.h"
#include "store/pgdb.h"
#include "store/pgschema.h"
#include "store/returntable.h"
#include "store/schema.h"
#include "store/sqlite.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <unistd.h>

namespace
{

// Every row of a statement that has run its bindings, as text.
QList<QStringList> readRows(Statement &stmt)
{
    const int n = stmt.columnCount();
    QList<QStringList> rows;
    while (stmt.step()) {
        QStringList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row << stmt.text(i);
        rows << row;
    }
    return rows;
}

// The reason the file or folder cannot be written, "" when it can.
QString unwritableBecause(const QString &path)
{
    if (::access(QFile::encodeName(path).constData(), W_OK) == 0)
        return QString();
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

void Query::close()
{
    m_open = false;
    m_rows.clear();
    m_columns.clear();
    m_index.clear();
    m_pos = 0;
}

void Query::setSql(const QString &sql, const QVariantList &params)
{
    close();
    m_sql = sql;
    m_params = params;
}

void Query::open()
{
    close();
    Statement stmt = m_dm.db().prepare(m_sql);
    stmt.bindAll(m_params);
    const int n = stmt.columnCount();
    for (int i = 0; i < n; ++i) {
        m_columns << stmt.columnName(i);
        m_index.insert(m_columns.last().toUpper(), i);
    }
    m_rows = readRows(stmt);
    m_open = true;
}

int Query::exec()
{
    close();
    Statement stmt = m_dm.db().prepare(m_sql);
    stmt.bindAll(m_params);
    return stmt.run();
}

QString Query::field(const QString &name) const
{
    const auto it = m_index.constFind(name.toUpper());
    if (it == m_index.cend())
        throw DbError(QStringLiteral("%1: alan bulunamadı").arg(name),
                      QStringLiteral("no such column: %1").arg(name), 0);
    if (m_pos < 0 || m_pos >= m_rows.size())
        throw DbError(QStringLiteral("Kayıt yok: %1").arg(name), QStringLiteral("no current row"),
                      0);
    return m_rows[m_pos][*it];
}

long long Query::fieldAsInteger(const QString &name) const
{
    bool ok = false;
    const QString text = field(name);
    const long long v = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' geçerli bir tamsayı değil").arg(text));
    return v;
}

Tdm::Tdm(const QString &baseDir, const QString &serverConnInfo)
    : m_baseDir(baseDir.isEmpty() ? QDir::currentPath() : baseDir), m_serverConnInfo(serverConnInfo)
{
}

Tdm::~Tdm() = default;

QString Tdm::dataDir() const
{
    return QDir(m_baseDir).filePath(QStringLiteral("Data"));
}

QString Tdm::databasePath() const
{
    return QDir(dataDir()).filePath(QStringLiteral("bodro.mdb"));
}

QString Tdm::storageDescription() const
{
    if (isOffice())
        return QStringLiteral("PostgreSQL sunucusu (%1)").arg(m_serverConnInfo);
    return QStringLiteral("SQLite dosyası %1").arg(QFileInfo(databasePath()).absoluteFilePath());
}

SqliteDatabase *Tdm::localFile()
{
    return isOffice() ? nullptr : static_cast<SqliteDatabase *>(&db());
}

Database &Tdm::openServer()
{
    auto db = std::make_unique<PgDatabase>(m_serverConnInfo);
    pgschema::ensureSchema(*db);
    m_db = std::move(db);
    return *m_db;
}

Database &Tdm::db()
{
    if (m_db)
        return *m_db;
    if (isOffice())
        return openServer();
    const QString path = databasePath();
    const QFileInfo info(path);
    if (info.isDir())
        throw IoError(QStringLiteral("Veritabanı dosyası yerinde bir klasör var: %1").arg(path));
    // A zero-byte file is what a failed copy or a sync placeholder leaves:
    // there is nothing in it to keep, so it becomes a new database.
    if (!info.exists() || info.size() == 0) {
        createDatabase(path);
        return *m_db;
    }
    auto db = std::make_unique<SqliteDatabase>(path, SqliteDatabase::Mode::OpenExisting);
    // A file that is not a database opens without complaint; the first read
    // says so. Reading changes nothing in the file.
    db->prepare(QStringLiteral("SELECT count(*) FROM sqlite_master")).run();
    m_db = std::move(db);
    return *m_db;
}

void Tdm::createDatabase(const QString &path)
{
    const QString dir = dataDir();
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir())
        throw IoError(QStringLiteral("Veri klasörü oluşturulamadı: %1").arg(dir));
    // The database is made beside the file, so a folder that cannot be
    // written is named as the reason, even where a zero-byte file lies in it;
    // the detail names the file.
    if (const QString why = unwritableBecause(dir); !why.isEmpty()) {
        const QString detail = QStringLiteral("%1: %2").arg(path, why);
        throw DbError(failure::readOnlyFolderText(dir, detail), detail, SQLITE_READONLY);
    }
    // Built under a temporary name and renamed when complete, so that a failure
    // never leaves a half-made database at the real path.
    const QString temp = path + QStringLiteral(".yeni");
    QFile::remove(temp);
    try {
        {
            SqliteDatabase db(temp, SqliteDatabase::Mode::Create);
            Transaction tx(db);
            db.execScript(schema::createBodro());
            db.execScript(schema::createBodrotemp());
            db.execScript(schema::createMuhisv());
            db.execScript(schema::createIndexes());
            returntable::ensureReturnTable(db);
            ensureGonderimTable(db);
            tx.commit();
        }
        // rename() replaces a zero-byte file in one step.
        if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) !=
            0) {
            const int err = errno;
            throw IoError(failure::fileWriteText(QStringLiteral("Veritabanı dosyası"), path, err,
                                                 QString::fromLocal8Bit(std::strerror(err))));
        }
    } catch (const DbError &e) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        // The user knows the file by its real name, not the temporary one.
        throw DbError(failure::databaseText(e.code(), e.engineText(), path), e.engineText(),
                      e.code());
    } catch (...) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        throw;
    }
    m_db = std::make_unique<SqliteDatabase>(path, SqliteDatabase::Mode::OpenExisting);
    if (m_onCreated)
        m_onCreated();
}

std::optional<DbError> Tdm::writeRefusal()
{
    // The server decides what each user may change, and says so when asked.
    if (isOffice()) {
        db();
        return std::nullopt;
    }
    // Opened first: a missing file is created here, and then can be written.
    const bool readOnly = localFile()->isReadOnly();
    const QString path = databasePath();
    QString why = unwritableBecause(path);
    if (readOnly || !why.isEmpty()) {
        if (why.isEmpty())
            why = QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY));
        return DbError(failure::readOnlyFileText(path, why), why, SQLITE_READONLY);
    }
    // The journal of every change is made beside the file.
    why = unwritableBecause(dataDir());
    if (!why.isEmpty())
        return DbError(failure::readOnlyFolderText(dataDir(), why), why, SQLITE_READONLY);
    return std::nullopt;
}

bool Tdm::isWritable()
{
    return !writeRefusal();
}

void Tdm::requireWritable()
{
    if (const std::optional<DbError> refusal = writeRefusal())
        throw *refusal;
}

QList<QStringList> Tdm::select(const QString &sql, const QVariantList &params)
{
    Statement stmt = db().prepare(sql);
    stmt.bindAll(params);
    return readRows(stmt);
}

int Tdm::execute(const QString &sql, const QVariantList &params)
{
    Statement stmt = db().prepare(sql);
    stmt.bindAll(params);
    return stmt.run();
}
