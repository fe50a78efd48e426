// Daily copies of the return database, made with SQLite's online backup so
// that a copy holds one committed state even while another instance of the
// program writes to the file.
#pragma once

#include <QDate>
#include <QString>

class SqliteDatabase;

// Copies db into folder/bodro-yyyyMMdd.mdb for `day`, unless that copy exists,
// then deletes all but the newest `keep` copies. The copy is written under a
// temporary name, must pass PRAGMA quick_check, and only then gets its name,
// so a copy with the real name is always whole. Returns the path written, or
// an empty string when the day's copy was there already. Throws DbError or
// IoError; a failed copy leaves no file behind.
QString writeDailyBackup(SqliteDatabase &db, const QString &folder, const QDate &day,
                         int keep = 14);
