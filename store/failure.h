// The Turkish texts of storage failures. The user reads our sentence first and
// the engine's or the system's own text on the line below it, so that a
// failure we did not foresee still says what really happened.
#pragma once

#include <QString>

namespace failure
{

// Our sentence, then the engine's text as a detail line.
QString withDetail(const QString &text, const QString &detail);

// The message for an SQLite result code on the database file at path.
// engine is sqlite3_errmsg() of the failed call.
QString databaseText(int rc, const QString &engine, const QString &path);

// The refusal of a change to a database that can be read but not written:
// the file itself, or the folder that must hold its journal.
QString readOnlyFileText(const QString &path, const QString &detail);
QString readOnlyFolderText(const QString &folder, const QString &detail);

// The message for a file that could not be written. what names the file for
// the user ("Dosya", "İlk çalıştırma dosyası"); err is errno of the failed
// call, 0 when unknown; the place is examined as well.
QString fileWriteText(const QString &what, const QString &path, int err, const QString &detail);

} // namespace failure
