// Amount text: the shown text of an amount field, "1,234.56". These plain
// functions are the field's reading and writing rules, usable without a widget.
#pragma once

#include "base/decimal.h"

#include <QString>
#include <QStringView>

namespace amount
{

constexpr QChar GroupSeparator = QLatin1Char(',');
constexpr QChar DecimalSeparator = QLatin1Char('.');

// "#,##0." followed by one "0" per decimal.
QString formatPattern(int decimals = 2);

// Shown text to plain number text: every separator removed, "0" when the rest
// is not a number, then "." put in front of the last `decimals` digits. Relies
// on the text carrying exactly `decimals` fraction digits: "5" reads 0.5.
QString stripFormat(QStringView text, int decimals = 2);

// Reading TextAsFloat of a field that shows `text`. Throws ConversionError
// when the digits are too many to hold.
Decimal textAsFloat(QStringView text, int decimals = 2);

// Writing TextAsFloat: the value rounded, halves away from zero, and grouped.
QString format(const Decimal &value, int decimals = 2);

// The text a field shows after it has interpreted `text` (StripFormat, then
// format).
QString reformat(QStringView text, int decimals = 2);

// A value rounded as an amount field rounds it (write, then read back).
inline Decimal round(const Decimal &value, int decimals = 2)
{
    return value.rounded(decimals);
}

} // namespace amount
