// Moving a desk's history to the office's server: "sarvek --tasi <connection
// string>" copies the returns, the accountant records and the send log of the
// working folder's Data/bodro.mdb into an empty PostgreSQL database, all in
// one server transaction, and prints how many rows each side holds. It runs
// in a terminal, without a display.
#pragma once

#include <functional>
#include <QList>
#include <QString>
#include <QStringList>

namespace officemove
{

inline constexpr char Option[] = "--tasi";

struct TableCount {
    QString table;
    long long fileRows = 0;
    long long serverRows = 0;
};

// Whether the command line asks for the move: "--tasi X" or "--tasi=X".
bool requested(int argc, char **argv);

// Copies the tables of baseDir/Data/bodro.mdb into the database that connInfo
// names, after bringing the file up to the current schema as opening it
// would (note receives what that step tells the user). The list of returns
// is built anew on the server from the copied rows; the staging table is not
// copied. Keys are kept, and each key sequence continues past the largest
// key the file ever gave. Refused before anything is written, with AppError:
// a connection string with a password, a missing or empty file, a target
// whose tables already hold rows. Any failure during the copy rolls the
// server back to empty and names the table in the message. Returns the row
// counts of both sides, table by table.
QList<TableCount> moveToServer(const QString &baseDir, const QString &connInfo,
                               const std::function<void(const QString &)> &note);

// The counts as the command prints them, one table a line.
QString countsText(const QList<TableCount> &counts);

// The whole command: arguments without the program name, the working folder
// chosen by the program's rules, output on stdout, refusals on stderr.
// Returns the exit code: 0 once everything is moved.
int runCommand(const QStringList &arguments);

} // namespace officemove
