// The table of sent declaration files, `gonderim`: one row per "Hazırla" that
// wrote a file, with what went into it and how its delivery ended.
#pragma once

class SqliteDatabase;

// Creates the table when the file does not have it yet; safe to run again and
// inside a caller's transaction. A server's database has its own definition,
// made with its other tables.
void ensureGonderimTable(SqliteDatabase &db);
