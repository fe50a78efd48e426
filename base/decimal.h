// Exact decimal numbers for money and rates: a 128-bit integer and a count of
// decimal places. Binary floating point never decides a rounding. At most 35
// significant digits and 24 decimals are held; reading or computing anything
// larger or finer throws ConversionError rather than losing it.
#pragma once

#include "base/errors.h"

#include <compare>
#include <optional>
#include <QString>
#include <QStringView>

// The 128-bit integer of GCC and Clang, an extension of the language.
__extension__ typedef __int128 Int128;

class Decimal
{
  public:
    Decimal() = default;
    explicit Decimal(long long whole) : m_units(whole), m_scale(0) {}

    // Strict reading of a plain number: blanks around it, optional sign,
    // digits, optional "." and digits, optional exponent. Nothing else.
    static std::optional<Decimal> parse(QStringView text);
    // As parse(), but throws ConversionError naming the text.
    static Decimal fromText(QStringView text);
    // The error fromText() throws for `text`.
    static ConversionError notANumber(QStringView text);

    Decimal operator+(const Decimal &o) const;
    Decimal operator-(const Decimal &o) const;
    Decimal operator*(const Decimal &o) const;
    Decimal operator-() const;
    Decimal &operator+=(const Decimal &o) { return *this = *this + o; }
    Decimal &operator-=(const Decimal &o) { return *this = *this - o; }
    // Exact division by 10^places.
    Decimal shiftedRight(int places) const;
    Decimal percentOf(const Decimal &rate) const { return (*this * rate).shiftedRight(2); }

    // Rounded to `places` decimals, halves away from zero.
    Decimal rounded(int places) const;

    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }
    std::strong_ordering operator<=>(const Decimal &o) const;
    bool operator==(const Decimal &o) const { return (*this <=> o) == 0; }

    // Plain text with "." and every decimal it holds, e.g. "-1234.5".
    QString toPlain() const;
    // Grouped text "#,##0.00": "," between thousands, "." and exactly
    // `decimals` places, rounded; "-" in front of a negative value.
    QString toAmountText(int decimals = 2) const;
    double toDouble() const;
    int scale() const { return m_scale; }

  private:
    explicit Decimal(Int128 units, int scale) : m_units(units), m_scale(scale) {}
    // Brings `scale` into range (rounding when finer), drops trailing zeros and
    // refuses a value too large to hold.
    static Decimal make(Int128 units, long long scale);
    Int128 unitsAt(int scale) const;

    Int128 m_units = 0;
    int m_scale = 0;
};
