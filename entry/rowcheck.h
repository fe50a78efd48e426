// The checks a grid row passes before it is written to the store: every cell
// that is read back later as a number, an amount or a code must be readable
// that way, so that a stored row never breaks a summary, a reload or the
// fund's file. Plain functions, usable without a window.
#pragma once

#include <optional>
#include <QString>
#include <QStringList>

namespace entrygrid
{

struct CellProblem {
    int column;      // entrygrid::Column of the offending cell
    QString message; // Turkish; names the row and the column, says what is wrong
};

// The checks a grid row passes before it is stored: gross pay is amount text,
// not negative; the two rates are numbers from 0 to 999.99; the days are empty
// or a whole number of at most three digits; the sex is "E" or "K". `cells`
// are the 14 cells in entrygrid::Column order; `row` is the 1-based row number
// the message names. Returns the first problem in column order, or nothing.
// Lengths are not checked here (the staging step does).
std::optional<CellProblem> checkRowForStore(const QStringList &cells, int row);

struct RowProblem {
    int row; // 1-based
    CellProblem problem;
};

// checkRowForStore on every row that will be stored (every row with a
// "Sarvek No"), in grid order; `rows` are the data rows, row 1 first.
std::optional<RowProblem> checkRowsForStore(const QList<QStringList> &rows);

} // namespace entrygrid
