// The work that the crash helper does and the trials check, in one place so
// that both sides agree on what a whole return and a current schema are.
#pragma once

#include "entry/returnstore.h"

class Database;

namespace crashwork
{

constexpr int RowsPerSave = 1000;

// Puts the file into a state that gives the schema step work: rows left in
// the staging table, or (every other time) an older file without YATSSKNO,
// without its indexes and with an outdated staging table, which the step must
// drop and make again.
void makeWorkForTheStep(Database &db, int round);

// The return of save number `round`: one of four periods of one employer,
// every row carrying the round in its name, so that a mix of two saves shows.
returnstore::ReturnHeader header(int round);
QList<returnstore::GridRow> rows(int round);

} // namespace crashwork
