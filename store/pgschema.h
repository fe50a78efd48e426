// The return database's tables on a PostgreSQL server: the same tables,
// columns and widths as the SQLite file. Widths are named CHECK constraints
// (so a refused value names its column), the texts compare byte for byte in
// the "C" collation as SQLite compares them, and IDSIRA and ID are identity
// columns. bodrotemp has a rowid column too, in the order of staging.
#pragma once

#include <QString>

namespace pgschema
{

// Every statement that creates the three tables, their indexes and the
// TURKCE collation of the employer list, as one script for an empty database.
QString createScript();

} // namespace pgschema
