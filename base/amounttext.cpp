// Reading and writing of amount text.
#include "base/amounttext.h"

namespace amount
{

QString formatPattern(int decimals)
{
    return QStringLiteral("#,##0.") + QString(decimals, u'0');
}

QString stripFormat(QStringView text, int decimals)
{
    QString rest = text.toString();
    rest.remove(GroupSeparator);
    rest.remove(DecimalSeparator);
    rest = rest.trimmed();

    QString sign;
    if (rest.startsWith(u'-') || rest.startsWith(u'+')) {
        if (rest.startsWith(u'-'))
            sign = QStringLiteral("-");
        rest.remove(0, 1);
    }
    const bool allDigits = !rest.isEmpty() && std::all_of(rest.cbegin(), rest.cend(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    if (!allDigits)
        return QStringLiteral("0");
    const qsizetype at = std::max<qsizetype>(0, rest.size() - decimals);
    rest.insert(at, DecimalSeparator);
    return sign + rest;
}

Decimal textAsFloat(QStringView text, int decimals)
{
    // stripFormat() leaves a number or "0", so only a number too long to hold
    // fails here; reading it as 0 would hide the typed amount.
    if (auto value = Decimal::parse(stripFormat(text, decimals)))
        return *value;
    throw Decimal::notANumber(text);
}

QString format(const Decimal &value, int decimals)
{
    return value.toAmountText(decimals);
}

QString reformat(QStringView text, int decimals)
{
    return format(textAsFloat(text, decimals), decimals);
}

} // namespace amount
