/* The floor programs: the declaration file and the period summary straight on
 * the SQLite C API, for the benchmarks to measure beside the program. */
#pragma once

#include <sqlite3.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Writes the file of the main returns of one period; returns the number of
 * employee lines, or -1 on a failure. */
long floor_declaration_file(sqlite3 *db, const char *sender, const char *start, const char *end,
                            const char *type, const char *path);

/* Totals the first records of one period by return; returns the number of
 * returns, or -1 on a failure. The grand total is in millionths. */
long floor_period_summary(sqlite3 *db, const char *start, const char *end, const char *type,
                          long long *grandTotal);

#ifdef __cplusplus
}
#endif
