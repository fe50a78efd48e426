// Reading a month's employees from a spreadsheet saved as CSV, and handing the
// good rows to the entry grid. The reader finds the columns by their titles,
// the separator and the encoding by looking at the file, reads both the
// program's and the Turkish spreadsheet's number forms, and gives every row a
// verdict: ready, or what is wrong and in which column. Nothing here touches a
// widget; the dry-run dialog and the entry screen only show and apply it.
#pragma once

#include "base/decimal.h"
#include "entry/gridrules.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace csvimport
{

inline const QString ReadyVerdict = QStringLiteral("hazır");

// The grid columns a sheet can fill, in grid order. The row number and the
// computed amounts are the grid's own work and are never read from a sheet.
const QList<entrygrid::Column> &importedColumns();

// How a gross pay or a rate text from a sheet reads.
struct AmountReading {
    enum class Kind { Number, Ambiguous, NotANumber };
    Kind kind = Kind::NotANumber;
    QString plain; // with Kind::Number: digits with "." as decimal point, e.g. "-2500.50"
};

// Accepts "2,500.50" and "2.500,50" (and the same without grouping). A text
// whose one separator is followed by exactly three digits and could be a
// thousands grouping ("1,234", "12.500") is Ambiguous: it is never guessed.
// An empty text is the number 0.
AmountReading readAmount(const QString &text);

// One data row of the sheet.
struct Row {
    // As the spreadsheet numbers it: the title line is row 1.
    int sheetRow = 0;
    // The sheet's texts, trimmed, one per grid column.
    QStringList sheet;
    // What is typed into the grid: the imported columns only, amounts as
    // plain numbers.
    QStringList typed;
    // The grid row once its gross pay and rates are left; empty when the row
    // was refused before.
    QStringList computed;
    // ReadyVerdict, or what is wrong, naming the row and the column.
    QString verdict;
    // The grid column the verdict names.
    int problemColumn = -1;

    bool ready() const { return verdict == ReadyVerdict; }
};

struct Sheet {
    QString error; // why the file as a whole cannot be read; rows is then empty
    QList<Row> rows;
    int readyCount = 0;
    Decimal grossTotal; // "Aylık Kazanç" over the ready rows
    Decimal grandTotal; // premium plus deposit over the ready rows

    QList<QStringList> readyRows() const; // the typed cells of the ready rows
};

// Reads a sheet from the bytes of a file. Blank lines are skipped, but they
// keep their row numbers.
Sheet readSheet(const QByteArray &bytes);
// As readSheet(), from a file; a file that cannot be opened is a sheet error.
Sheet readSheetFile(const QString &path);

// The grid row that typing `typed` into template row `number` gives, once its
// gross pay and both rates have been typed and left. Throws ConversionError
// when an amount is not a number or too large to compute with.
QStringList enteredRow(const QStringList &typed, int number);

// `grid` (titles first) with `typedRows` appended after the rows already
// typed, numbered on from them, and a fresh template row last. An empty last
// row (the template the user would have typed into) is taken by the first
// new row. The new row counter is the last row's "S. No".
entrygrid::GridCells appendToGrid(const entrygrid::GridCells &grid,
                                  const QList<QStringList> &typedRows);

} // namespace csvimport
