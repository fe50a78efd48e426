// Servers, databases and desk saves for the server trials.
#include "pg/pgutil.h"

#include "store/dm.h"
#include "store/pgdb.h"
#include "store/pgschema.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>

namespace pgtrial
{

QString runServerScript(const QString &command, const QString &stateDir)
{
    QProcess p;
    p.start(QStringLiteral("bash"), {QStringLiteral(SARVEK_PG_SCRIPT), command, stateDir});
    if (!p.waitForFinished(60000))
        return QStringLiteral("pgserver.sh %1 did not finish").arg(command);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("pgserver.sh %1: %2")
            .arg(command, QString::fromLocal8Bit(p.readAllStandardError()));
    return QString();
}

QString serverConnInfo(const QString &stateDir)
{
    QFile f(stateDir + QStringLiteral("/conninfo"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll()).trimmed();
}

OwnServer::OwnServer(QString stateDir) : m_stateDir(std::move(stateDir))
{
    // A run that was killed before its guard went leaves its server running.
    runServerScript(QStringLiteral("stop"), m_stateDir);
    m_failure = runServerScript(QStringLiteral("start"), m_stateDir);
}

OwnServer::~OwnServer()
{
    runServerScript(QStringLiteral("stop"), m_stateDir);
}

QString sharedServer()
{
    return serverConnInfo(QStringLiteral(SARVEK_PG_STATE));
}

QString emptyDatabase(const QString &server, const QString &name)
{
    PgDatabase admin(server);
    admin.execScript(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
    admin.execScript(QStringLiteral("CREATE DATABASE %1").arg(name));
    return server + QStringLiteral(" dbname=") + name;
}

QString testDatabase(const char *prefix)
{
    const QString name =
        QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
    return emptyDatabase(sharedServer(),
                         QStringLiteral("%1_%2").arg(QLatin1String(prefix), name.toLower()));
}

QString freshDatabase(const QString &server, const QString &name)
{
    const QString connInfo = emptyDatabase(server, name);
    PgDatabase db(connInfo);
    pgschema::ensureSchema(db);
    return connInfo;
}

long long scalar(Database &db, const QString &sql, const QVariantList &params)
{
    Statement q = db.prepare(sql);
    q.bindAll(params);
    return q.step() ? q.integer(0) : -1;
}

returnstore::ReturnHeader header(int index)
{
    returnstore::ReturnHeader h;
    h.key.employer = QStringLiteral("01%1").arg(index, 10, 10, QLatin1Char('0'));
    h.key.periodStart = QStringLiteral("01.03.2025");
    h.key.periodEnd = QStringLiteral("31.03.2025");
    h.key.type = QStringLiteral("01");
    h.key.seqNo = QStringLiteral("1");
    h.send = QStringLiteral("1");
    h.address = QStringLiteral("Girne");
    h.phone = QStringLiteral("8151234");
    h.name = QStringLiteral("Yarış Ltd.");
    return h;
}

int rowCount(const QString &worker, int round)
{
    return 30 + 5 * (worker.at(0).unicode() % 3) + round;
}

QString rowName(const QString &worker, int round)
{
    return QStringLiteral("%1 tur %2").arg(worker).arg(round);
}

QList<returnstore::GridRow> rows(const QString &worker, int round)
{
    return namedRows(rowName(worker, round), rowCount(worker, round));
}

QList<returnstore::GridRow> namedRows(const QString &name, int n)
{
    QList<returnstore::GridRow> list;
    list.reserve(n + 1);
    for (int i = 1; i <= n; ++i)
        list << returnstore::GridRow{QString::number(i),
                                     QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')),
                                     QStringLiteral("12345678901"),
                                     QStringLiteral("123456789"),
                                     name,
                                     QStringLiteral("K"),
                                     QStringLiteral("30"),
                                     QString(),
                                     QStringLiteral("2,000.00"),
                                     QStringLiteral("5.00"),
                                     QStringLiteral("100.00"),
                                     QStringLiteral("10.00"),
                                     QStringLiteral("200.00"),
                                     QStringLiteral("300.00")};
    // The screen always carries an empty row at the end, which is not stored.
    list << returnstore::GridRow{QString::number(n + 1)};
    return list;
}

DeskSave saveAsDeskDoes(Tdm &dm, const returnstore::ReturnHeader &header,
                        const QList<returnstore::GridRow> &rows)
{
    DeskSave save;
    if (returnstore::returnExists(dm, header.key)) {
        save.path = DeskSave::Path::Second;
        save.result = returnstore::saveSecondRecord(dm, header, rows);
        return save;
    }
    save.result = returnstore::saveNew(dm, header, rows);
    if (save.result.status == returnstore::SaveResult::Status::AlreadyStored) {
        save.path = DeskSave::Path::SecondAfterAlreadyStored;
        save.result = returnstore::saveSecondRecord(dm, header, rows);
    }
    return save;
}

} // namespace pgtrial
