// The return database's tables on a PostgreSQL server: the same tables,
// columns and widths as the SQLite file. Widths are named CHECK constraints
// (so a refused value names its column), the texts compare byte for byte in
// the "C" collation as SQLite compares them, and IDSIRA and ID are identity
// columns. bodrotemp has a rowid column too, in the order of staging.
#pragma once

#include <QString>

class Database;

namespace pgschema
{

// Every statement that creates the three tables of returns, their indexes
// and the TURKCE collation of the employer list, as one script for an empty
// database.
QString createScript();

// The schema step of a server's database: creates, in one transaction, what
// it lacks of the tables of returns, the return table behind the list with
// the triggers that keep it, and the sent-files table. Desks that start at
// the same moment take turns; a database that has everything is only read.
void ensureSchema(Database &db);

// Adds to the return table the lines of every row in bodro: for a table
// that is empty, as a moved history's is.
void fillReturnTable(Database &db);

} // namespace pgschema
