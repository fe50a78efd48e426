// Brings a database file of an earlier release up to the current schema and
// leaves the staging table empty with its current definition. Runs before
// every entry screen.
#pragma once

class Platform;
class Tdm;

// One transaction: killed at any instant, the file is found as it was or
// fully brought up to date. Writes nothing when nothing is missing, out of
// date or staged, so a file that can only be read opens as long as it needs
// no change; one that does is refused (DbError) before anything is written.
// Missing tables, indexes and the two newer bodro columns are added; in the
// run that adds YATSSKNO every row without a sequence number gets "1". The
// file is copied beside itself just before columns are added.
void runSchemaUpgrade(Tdm &dm, Platform &platform);
