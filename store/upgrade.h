// Brings a database file of an earlier release up to the current schema and
// leaves the staging table empty with its current definition. Runs before
// every entry screen.
#pragma once

class Platform;
class Tdm;

// One transaction: killed at any instant, the file is found as it was or
// fully brought up to date. Writes nothing when nothing is missing, out of
// date or staged. Missing tables, indexes and the two newer bodro columns are
// added; in the run that adds YATSSKNO every row without a sequence number
// gets "1". The file is copied beside itself just before columns are added;
// the copy is named bodro-<stamp>.mdb once the upgrade is committed, and a
// run that fails leaves no copy.
// A file that cannot be written is never written: the tables that reading
// needs and the file lacks are made in the connection's TEMP schema, and only
// a bodro without its newer columns is refused (DbError).
void runSchemaUpgrade(Tdm &dm, Platform &platform);
