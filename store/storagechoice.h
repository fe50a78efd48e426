// Where the data of this desk lives: in Data/bodro.mdb, as on a single desk,
// or on the office's PostgreSQL server. The server is named by a libpq
// connection string ("host=sunucu dbname=sarvek user=buro"), taken from the
// environment variable SARVEK_DB or from the file Data/veritabani.ini.
// Passwords stay out of both: libpq reads them from ~/.pgpass or PGPASSFILE.
#pragma once

#include <QString>

namespace storagechoice
{

inline constexpr char Variable[] = "SARVEK_DB";

struct Choice {
    QString connInfo; // empty: the SQLite file
    QString error;    // why the configuration was refused; empty when fine
};

// Why the connection string is refused, in Turkish, naming source (where it
// came from); empty when libpq reads it and it carries no password.
QString refusal(const QString &connInfo, const QString &source);

// variable: the environment variable's value. Without it, the first line of
// veritabani.ini in dataDir that is neither empty nor a comment (# or ;).
// Neither: the SQLite file. A connection string that libpq cannot read, or
// that carries a password, is refused with a Turkish message.
Choice read(const QString &dataDir, const QString &variable);

} // namespace storagechoice
