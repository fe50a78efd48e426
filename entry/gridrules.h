// The employee grid of the entry screen as plain data: its columns, the
// template row, the rules that run on each key before the cursor moves, and
// row deletion. The screen copies its cells into a GridCells, runs a rule and
// writes the result back, so every rule here is testable without a window.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace entrygrid {

enum Column {
    SNo = 0,
    SarvekNo,
    KimlikNo,
    SigortaNo,
    AdiSoyadi,
    Cinsiyet,
    GunSayisi,
    IzinNedeni,
    AylikKazanc,
    POrani,
    PTutari,
    DOrani,
    DTutari,
    Toplam,
    ColumnCount
};

// Row 0 holds the titles; data rows are 1 .. size() - 1, each of ColumnCount cells.
using GridCells = QList<QStringList>;

const QStringList &columnTitles();
const std::array<int, ColumnCount> &columnWidths();

// A data row waiting for the next employee: its number, "0" in the amount
// columns, everything else empty.
QStringList templateRow(int number);
// A grid of the title row and the template row "1".
GridCells freshGrid();

inline const QString SarvekNoMessage =
    QStringLiteral("Lütfen En az veya en fazla 6 basaklı sayı giriniz");
inline const QString KimlikNoMessage = QStringLiteral("Lütfen en fazla 12 basaklı sayı giriniz");
inline const QString SigortaNoMessage = QStringLiteral("Lütfen en az 9 basaklı sayı giriniz");
inline const QString AdiSoyadiMessage = QStringLiteral("Lütfen en fazla 40 basaklı sayı giriniz");
inline const QString CinsiyetMessage = QStringLiteral(
    "Lütfen Çalışanın cinsiyetini Giriniz or:\"E\" Erkek veya \"K\" Bayan şeklinde");
inline const QString ThirtyDaysMessage = QStringLiteral(
    "Çalışanınız 30 günden az çalıştı lütfen İzin nedenini giriniz!    İşten Ayrılış (A) - "
    "Çırak (C) - Doğum (D) - İşe Giriş (G) - Hastalık (H) - Ödeneksiz (O) - Part Time (P)");
inline const QString NoDaysMessage =
    QStringLiteral("Lütfen Çalışanın Çalıştığı Gün sayısını giriniz!");
inline const QString LeaveLetterMessage =
    QStringLiteral("Lütfen Çalışanın izin nedenini Bodrodaki karşılıklarına göre giriniz!");

struct Cursor {
    int row = 1;
    int col = 0;
    bool operator==(const Cursor &) const = default;
};

// What earlier returns know of an employee, found by fund number.
struct Employee {
    QString kimlik;
    QString sigorta;
    QString isim;
    QString cins;
    QString gun;
};

// Right is the Right arrow leaving its cell; every other key (the Right arrow
// moving the caret inside the cell's text included) is Other.
enum class Key { Right, Other };

struct KeyEnv {
    bool asil = false; // "ASIL" ticked: leave reasons are checked
    std::function<void(const QString &)> say;
    std::function<std::optional<Employee>(const QString &sarvekNo)> lookUp;
};

// Runs the key rules on `grid` and `cursor` before the key acts: new template
// row, the jump from "D.Tutarı", the cell checks, the employee look-up and the
// leave-reason checks. Messages go to env.say as they arise. Returns whether
// the key goes on to take its ordinary effect from the (possibly moved)
// cursor. Throws ConversionError on a row number or day count that is not a
// whole number; grid and cursor may then be half-changed and are to be
// dropped by the caller.
bool applyKeyRules(GridCells &grid, Cursor &cursor, Key key, int &rowCounter, const KeyEnv &env);

// Deletes data row `row`: the rows below move up and their non-empty numbers
// drop by one. The only data row is not removed but becomes the template row
// "1" again. Throws ConversionError on a moved row number that is not a whole
// number, leaving `grid` as it was.
void deleteRow(GridCells &grid, int row);

// Upper-cases a to z only; every other character stays.
QString upperAscii(const QString &text);

} // namespace entrygrid
