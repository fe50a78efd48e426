// The statements behind the two return pick lists. Both leave their result in
// the given query slot (Query1 in the program), open, for the grid to show.
#pragma once

#include <QString>

class Query;

// One line per stored return of one employer and exact period whose type
// begins with "0" (ASIL "01" and EK "02"); no order is requested.
void listEmployerReturns(Query &query, const QString &isver, const QString &ilk,
                         const QString &son);

// One line per distinct employer, name, period, type and sequence number whose
// first-day text ends with yearText, as typed; an empty text lists every
// return. Sorted by employer name in Turkish alphabetical order without regard
// to case, then by the first-day text (day first).
void searchAllReturns(Query &query, const QString &yearText);
