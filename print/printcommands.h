// What "Yazdır" and "Tüm Şube Yazdır" work out before the printout is shown:
// the selection in the print slot, the title captions and totals, and the
// figures of each printed line. Plain functions, no widgets.
#pragma once

#include "base/decimal.h"

#include <optional>
#include <QString>
#include <QStringView>

struct StoredRow;
class Tdm;

// The message shown when a print command finds no stored record.
inline const QString NothingToPrintMessage = QStringLiteral("Lütfen Önce Kayıt İşlemini Yapınız");

enum class PrintScope {
    OneReturn,   // "Yazdır": the return that the five key values name
    AllBranches, // "Tüm Şube Yazdır": every record of the period marked for sending
};

struct PrintRequest {
    QString kaza;        // text of ALKAZA
    QString fihrist;     // text of ALFIHRIST
    QString sirano;      // text of ALSIRANO
    QString periodStart; // dd.mm.yyyy
    QString periodEnd;   // dd.mm.yyyy
    QString pickedType;  // YATBODROTUR of the last pick; empty before the first
    QString seqNo;       // YATBDRDEVMIK of the return on screen
    PrintScope scope = PrintScope::OneReturn;
};

// The captions a print command hands to the printout, and the totals it puts
// into the entry screen's total fields.
struct PrintCaptions {
    QString registry;     // QRLabel31: "kaza- fihrist- sirano"
    QString summary;      // QRLabel6
    QString personCount;  // QRLabel30
    QString grossTotal;   // burtoplam
    QString premiumTotal; // primtoplam
    QString depositTotal; // depotoplam
    QString grandTotal;   // yattoplam
    QString asilBox;      // QRLabel16: "X" or " "
    QString ekBox;        // QRLabel18: "X" or " "

    // The title totals: premium and deposit summed unrounded and rounded once,
    // so that they may differ by a cent from the sums of the printed lines.
    Decimal premium;
    Decimal deposit;
    Decimal grand; // premium + deposit, as rounded
};

// Runs the selection of the request in dm.prnquery (values bound, rows in
// stored order) and leaves the slot open on its first record. Returns nothing
// when no record was found. A rate that is not a number throws ConversionError;
// a database failure throws DbError.
std::optional<PrintCaptions> preparePrint(Tdm &dm, const PrintRequest &request);

// The figures of one printed line. The premium rate is applied rounded to two
// decimals, the deposit rate as stored; premium and deposit are rounded to two
// decimals before they are added.
struct PrintLine {
    Decimal gross;
    Decimal premium;
    Decimal deposit;
    Decimal total;
};

// From a stored row. Throws ConversionError when a rate is not a number.
PrintLine computePrintLine(const StoredRow &row);
// The same from the stored texts of YATBRUT (amount text), YATPRIMOR and
// YATDEPOOR (plain numbers).
PrintLine computePrintLine(QStringView brut, QStringView primor, QStringView depoor);

// Totals of the lines printed so far, as the page footers show them.
struct RunningTotals {
    Decimal gross;
    Decimal premium;
    Decimal deposit;
    Decimal total;

    void add(const PrintLine &line);
};
