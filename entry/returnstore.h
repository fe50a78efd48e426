// Storing and reloading one return of the entry screen without any widget:
// the duplicate check, the three save paths (new return, update, further
// record of the same period) and the reload with its recomputed amounts. Each
// save stages its rows through bodrotemp so that the column widths refuse
// over-long cells, and runs as one transaction: it is stored whole or not at
// all, and a failure leaves the database exactly as it was.
#pragma once

#include "base/decimal.h"
#include "store/returnrow.h"

#include <optional>
#include <QDate>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Query;
class Tdm;

namespace returnstore
{

// The key of a stored return lives with the stored-row reader.
using ::ReturnKey;

// What a save repeats on every stored row.
struct ReturnHeader {
    ReturnKey key;
    QString send;    // YATGONDER, "1" or "0"
    QString address; // ISVISADRES
    QString phone;   // ISVTELNO
    QString name;    // ISVISIM
};

// One grid row: the 14 cells of the entry grid, "S. No" first.
using GridRow = QStringList;
constexpr int GridColumns = 14;

// The most records one employer may keep for one period and type: the
// sequence number is stored in one character.
constexpr int MaxRecords = 9;

struct SaveResult {
    enum class Status {
        Saved,
        StagingFailed,  // a cell did not fit its column; nothing stored
        ReadBackFailed, // nothing stored
        CopyFailed,     // nothing stored
        Refused,        // the tenth record of a period; nothing attempted
        AlreadyStored,  // a new return whose key another desk stored first; nothing stored
        Failed,         // any other database failure; nothing stored
    };
    Status status = Status::Saved;
    QString message; // the text to show the user when not saved
    int storedRows = 0;
    QString seqNo; // the sequence number the rows were stored under

    bool ok() const { return status == Status::Saved; }
};

// Empties the staging table when it holds rows. Writes nothing otherwise, so
// that a database that can only be read can still be browsed; rows left on
// such a file are harmless, as every save empties the table before staging.
void emptyStaging(Tdm &dm);

// Whether a return with exactly this key is stored.
bool returnExists(Tdm &dm, const ReturnKey &key);

// Every save is refused with the read-only message (Status::Failed) before
// anything is attempted when the database file or its folder cannot be
// written, and reports a database file that cannot be opened or made the same
// way. Only a stored sequence number that is not a number is thrown
// (ConversionError).

// That message when the database file or its folder cannot be written, empty
// when a save may go ahead: for the commands that ask before they save.
QString writeRefusal(Tdm &dm);

// Stores the rows as a new return under header.key. Every row is staged (so
// each cell is width-checked); rows without a Sarvek number are not stored.
// Stored rows are numbered 1, 2, 3 ... in grid order.
SaveResult saveNew(Tdm &dm, const ReturnHeader &header, const QList<GridRow> &rows);

// Replaces the stored return header.key by the rows that have a Sarvek
// number. Other sequence numbers, types and periods are never touched. With
// no such row the stored return is removed.
SaveResult updateReturn(Tdm &dm, const ReturnHeader &header, const QList<GridRow> &rows);

// Stores the rows, as saveNew would, as one more record of the employer,
// period and type: the sequence number is one above the highest stored one
// (header.key.seqNo is ignored). A tenth record is refused before anything is
// written.
SaveResult saveSecondRecord(Tdm &dm, const ReturnHeader &header, const QList<GridRow> &rows);

// The sequence number a further record would get: the highest stored one of
// employer, period and type plus one ("1" when none is stored).
int nextSeqNo(Tdm &dm, const ReturnKey &key);

// Opens the rows of the return in dm.Query3, in stored order, for a caller
// that walks them. Returns whether any row was found.
bool loadReturn(Tdm &dm, const ReturnKey &key);

// The screen's contents after a reload, built from the rows in a query.
struct ReloadedReturn {
    QString address;
    QString phone;
    QString name;
    bool asil = false;         // "01" or "11"; otherwise EK
    bool sendUnticked = false; // some row carries YATGONDER "0"
    QList<GridRow> rows;       // stored rows, then the template row
    int rowCounter = 1;        // the template row's "S. No"
    Decimal totalGross;
    Decimal totalPremium;
    Decimal totalDeposit;
    Decimal totalBoth;
};

// Builds the reloaded screen from every row of `query` (as loadReturn left
// it): stored texts in the identity columns, rates as amount text, premium,
// deposit and row total recomputed, and a template row numbered n + 1.
// Throws ConversionError on a stored rate that is not a number.
ReloadedReturn reloadedFrom(const Query &query);

// The stored return as the screen shows it after a reload; nothing when no
// row has the key. Leaves every query slot as it was.
std::optional<ReloadedReturn> reloadReturn(Tdm &dm, const ReturnKey &key);

// What the entry screen knows of the return it holds: whether it came from a
// reload that found rows. Only such a return is
// replaced by "Güncelle" without asking first. Starting over, discarding the
// rows, leaving, the next reload and a successful save end it.
struct ReturnSession {
    bool loaded = false;
};

// A return picked from one of the lists, as its hand-back labels carry it.
struct ReturnPick {
    QString district; // ALKAZA, characters 1-2 of the registry number
    QString index;    // ALFIHRIST, 3-6
    QString sequence; // ALSIRANO, 7-12
    QDate start;
    QDate end;
    QString type;
    QString seqNo;
};

// Reads the hand-back labels; nothing when the registry number is empty (no
// pick). Throws ConversionError when a period text is not a date, before the
// caller has changed anything on screen.
std::optional<ReturnPick> pickFrom(const QString &employer, const QString &start,
                                   const QString &end, const QString &type, const QString &seqNo);

// The statements of a save, shared with the benchmark that runs them the old
// way, one by one in autocommit.
namespace sql
{
QString emptyStaging();
QString stageRow();     // 19 values, see stageValues
QString readBack();     // employer, start, end, type
QString deleteReturn(); // the five key values
QString copyRow();      // 20 values, see copyValues
} // namespace sql

QVariantList stageValues(const ReturnHeader &header, const GridRow &row);
// staged: a bodrotemp row as sql::readBack() returns it (the 19 columns in
// the order of sql::stageRow()).
QVariantList copyValues(const QStringList &staged, int number, const QString &seqNo);

} // namespace returnstore
