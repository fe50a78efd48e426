// The period summary: the selected rows grouped into the returns they belong
// to, each with the premium plus deposit it owes, and the grand total.
#pragma once

#include "base/decimal.h"
#include "declaration/selection.h"

#include <QList>
#include <QString>

class Database;

struct SummaryRow {
    QString employer;     // "01-0001-000001"
    QString employerName; // ISVISIM
    QString start;        // YATDEVREILK as stored
    QString end;          // YATDEVRESON as stored
    QString typeText;     // "Asıl", "Ek" or empty
    Decimal total;        // unrounded; rounded only when shown
};

struct PeriodSummary {
    QList<SummaryRow> rows;
    Decimal grandTotal; // sum of the unrounded return totals
};

// "010001000001" → "01-0001-000001": the district, index and sequence parts.
QString employerNumberText(const QString &registryNo);

// "Asıl" for "01" and "11", "Ek" for "02" and "12", empty otherwise.
QString returnTypeText(const QString &code);

// Premium plus deposit of one stored row: the gross pay read as an amount
// field reads it, each rate rounded to two decimals, products unrounded.
// Throws ConversionError when a rate is not a number.
Decimal premiumPlusDeposit(const QString &gross, const QString &premiumRate,
                           const QString &depositRate);

// Groups the rows the selection finds, in their order, into runs of
// consecutive rows of one return (employer, period, type and sequence number).
// Rows of one return that another return's rows interrupt make two runs. The
// rows are read from the engine one at a time, with only the columns the
// summary uses; no rows give an empty summary.
PeriodSummary summarizePeriod(Database &db, const BoundSql &selection);
