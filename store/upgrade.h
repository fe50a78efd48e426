// Brings a database file of an earlier release up to the current schema and
// gives the staging table a fresh definition. Runs before every entry screen.
#pragma once

class Platform;
class Tdm;

// Drops and re-creates bodrotemp (failures are thrown to the caller), adds the
// two newer bodro columns when they are missing, and in the run that adds
// YATSSKNO gives every row without a sequence number the sequence number "1".
// Before adding a column it copies the database file beside itself.
void runSchemaUpgrade(Tdm &dm, Platform &platform);
