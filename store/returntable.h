// The return table: one row per line of the all-returns list, that is per
// distinct employer, name, period, type and sequence number stored in bodro.
// F10 reads these few thousand rows instead of every stored employee row.
// A save adds its return's lines in its own transaction, and triggers on bodro
// take lines along with their last rows; the schema step builds the table for
// files written before it existed.
#pragma once

#include <QString>

class Database;
class SqliteDatabase;
struct ReturnKey;

namespace returntable
{

// Creates the table, its indexes and triggers where they are missing, fills a
// new table from bodro, drops bodro_isver, whose column leads bodro_return
// anyway, and gives the planner statistics where it has none, so that a
// statement on one return reads it through bodro_return. All of it or none of
// it; running it again changes nothing.
void ensureReturnTable(SqliteDatabase &db);

// Adds the lines of the return `key` names that its stored rows have and the
// table lacks. Run by every save after its rows are in, inside its transaction.
void addReturnLines(Database &db, const ReturnKey &key);

// For a file that can only be read and lacks the table: the table, filled
// from bodro, and its indexes in the connection's TEMP schema, where the list
// finds it first. Nothing is written to the file. Built once per connection.
void ensureReadableReturnTable(SqliteDatabase &db);

} // namespace returntable
