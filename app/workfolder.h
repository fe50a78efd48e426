// Which folder the program keeps its returns in (Data/bodro.mdb lies below
// it), decided once at start-up from the command line, the environment and
// the folder the program was started in.
#pragma once

#include <QString>
#include <QStringList>

namespace workfolder
{

// The option that the desktop menu entry passes: a menu start has no
// meaningful current folder, so it gets the user's own fixed folder.
inline constexpr char DesktopOption[] = "--masaustu";
inline constexpr char FolderOption[] = "--veri-klasoru";
inline constexpr char FolderVariable[] = "SARVEK_HOME";

struct Choice {
    QString folder; // absolute, cleaned; empty when error is set
    QString error;  // Turkish text for the user
};

// arguments: the program's arguments without the program name. envFolder:
// the value of SARVEK_HOME (empty when unset). The explicit choices win over
// the kind of start: --veri-klasoru, then SARVEK_HOME, then a desktop start
// (home/Sarvek), else the current folder. A relative folder is taken from the
// current folder. An option with no folder after it, or with another option
// ("--...") where the folder should be, is an error.
Choice choose(const QStringList &arguments, const QString &envFolder, const QString &currentDir,
              const QString &homeDir);

// Creates the folder when missing and makes it the process's current folder.
// Returns a Turkish message on failure, else an empty string.
QString enter(const QString &folder);

} // namespace workfolder
