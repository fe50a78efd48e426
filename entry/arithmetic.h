// The contribution arithmetic of the entry grid: what leaving the gross pay or
// a rate cell writes into its row, and the column totals of the header. All
// amounts are exact decimals; a cell shows them as amount text "1,234.56".
#pragma once

#include "base/decimal.h"
#include "entry/gridrules.h"

#include <QChar>
#include <QStringList>

namespace entryarith
{

// Which header totals a cell rule changed.
struct TotalsChanged {
    bool gross = false;
    bool premium = false;
    bool deposit = false;
};

// The rule for leaving `column` of `row` (a grid row of ColumnCount cells).
// Gross pay (AylikKazanc): the grouping character is removed, the rest read
// as a number; both rates are read too, and premium, deposit and row total are
// computed again. A rate (POrani, DOrani): read, shown rounded, and its amount
// and the row total computed again. Any other column changes nothing.
// The cell being left reads "0" when empty or a single blank. Throws ConversionError when a text
// is not a number, leaving `row` as it was.
TotalsChanged leaveCell(QStringList &row, int column, QChar groupChar = QLatin1Char(','));

// Sum of one column over every row of the grid, each cell read as an amount
// field reads its text (the title row and non-numbers read 0).
Decimal columnTotal(const entrygrid::GridCells &grid, int column);

// The number typed into the cell being left: empty or a single blank is 0, the grouping characters
// are dropped when `groupChar` is not null, and the rest must be a plain decimal number; the value
// comes back rounded to two places.
Decimal readTyped(const QString &text, QChar groupChar = QChar());

} // namespace entryarith
