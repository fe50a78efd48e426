// What the server trials share: throwaway servers run by pgserver.sh, a
// fresh database on one of them, and the work a desk does on the entry screen
// when "Kayıt" is pressed, so that the trial and its helper agree on the
// returns they store and check.
#pragma once

#include "entry/returnstore.h"

#include <QString>

class Database;
class Tdm;

namespace pgtrial
{

// Runs pgserver.sh with a command on a state folder; the script's error
// output when it fails, empty when it succeeded.
QString runServerScript(const QString &command, const QString &stateDir);

// The connection string of the server kept in stateDir; empty when none runs.
QString serverConnInfo(const QString &stateDir);

// A server of a test's own, in its own state folder: started by the
// constructor (after stopping whatever an earlier, killed run left there) and
// stopped with its folder removed when the guard goes, whatever the test did.
class OwnServer
{
  public:
    explicit OwnServer(QString stateDir);
    ~OwnServer();
    OwnServer(const OwnServer &) = delete;
    OwnServer &operator=(const OwnServer &) = delete;
    // Empty when the server runs; otherwise why it does not.
    const QString &failure() const { return m_failure; }
    QString connInfo() const { return serverConnInfo(m_stateDir); }
    // As a crash of the server would, and up again on the same cluster.
    QString kill() { return runServerScript(QStringLiteral("kill"), m_stateDir); }
    QString start() { return runServerScript(QStringLiteral("start"), m_stateDir); }

  private:
    QString m_stateDir;
    QString m_failure;
};

// The connection string of the test fixture's shared server; empty when
// none runs (the binary was started by hand, not through ctest).
QString sharedServer();

// Drops and makes the database `name` on the server, empty; its connection
// string.
QString emptyDatabase(const QString &server, const QString &name);
// An empty database on the shared server named after the running test,
// with prefix before its name; its connection string.
QString testDatabase(const char *prefix);
// The same with the schema in it.
QString freshDatabase(const QString &server, const QString &name);

// The single integer a query returns.
long long scalar(Database &db, const QString &sql, const QVariantList &params = {});

// The key of return `index` of the trials: one employer per index, one
// period, asıl type.
returnstore::ReturnHeader header(int index);

// The rows of one save, each naming the worker and round that saved them,
// and as many as rowCount() says for that worker and round, so that a mix of
// two saves, or a part of one, shows in what is stored.
QList<returnstore::GridRow> rows(const QString &worker, int round);
// `count` rows all named `name`, and the empty row the screen ends with.
QList<returnstore::GridRow> namedRows(const QString &name, int count);
int rowCount(const QString &worker, int round);
QString rowName(const QString &worker, int round);

// What "Kayıt" on the entry screen does with a return that was not reloaded:
// a new return, or, when its key is stored (found before the save, or by the
// save itself, which means another desk got there first), a further record,
// the answer "Hayır" to the update question.
struct DeskSave {
    enum class Path { New, Second, SecondAfterAlreadyStored };
    Path path = Path::New;
    returnstore::SaveResult result;
};
DeskSave saveAsDeskDoes(Tdm &dm, const returnstore::ReturnHeader &header,
                        const QList<returnstore::GridRow> &rows);

} // namespace pgtrial
