// Premium, deposit and row totals of the entry grid, computed exactly.
#include "entry/arithmetic.h"

#include "base/amounttext.h"

using namespace entrygrid;

namespace entryarith
{

Decimal readTyped(const QString &text, QChar groupChar)
{
    QString rest = text;
    if (rest.isEmpty() || rest == QLatin1String(" "))
        rest = QStringLiteral("0");
    if (!groupChar.isNull())
        rest.remove(groupChar);
    return Decimal::fromText(rest).rounded(2);
}

TotalsChanged leaveCell(QStringList &row, int column, QChar groupChar)
{
    QStringList out = row;
    TotalsChanged changed;
    switch (column) {
    case AylikKazanc: {
        const Decimal gross = readTyped(out[AylikKazanc], groupChar);
        // The rates of the row are read as they stand, without the blank rule
        // of the cell being left.
        const Decimal p = Decimal::fromText(out[POrani]).rounded(2);
        const Decimal d = Decimal::fromText(out[DOrani]).rounded(2);
        const Decimal premium = gross.percentOf(p).rounded(2);
        const Decimal deposit = gross.percentOf(d).rounded(2);
        out[AylikKazanc] = amount::format(gross);
        out[PTutari] = amount::format(premium);
        out[DTutari] = amount::format(deposit);
        out[Toplam] = amount::format(premium + deposit);
        changed = {true, true, true};
        break;
    }
    case POrani: {
        const Decimal p = readTyped(out[POrani]);
        const Decimal premium = amount::textAsFloat(out[AylikKazanc]).percentOf(p).rounded(2);
        out[POrani] = amount::format(p);
        out[PTutari] = amount::format(premium);
        out[Toplam] = amount::format(premium + amount::textAsFloat(out[DTutari]));
        changed.premium = true;
        break;
    }
    case DOrani: {
        const Decimal d = readTyped(out[DOrani]);
        const Decimal deposit = amount::textAsFloat(out[AylikKazanc]).percentOf(d).rounded(2);
        out[DOrani] = amount::format(d);
        out[DTutari] = amount::format(deposit);
        out[Toplam] = amount::format(amount::textAsFloat(out[PTutari]) + deposit);
        changed.deposit = true;
        break;
    }
    default:
        return changed;
    }
    row = out;
    return changed;
}

Decimal columnTotal(const GridCells &grid, int column)
{
    Decimal sum;
    for (const QStringList &row : grid)
        sum += amount::textAsFloat(row.value(column));
    return sum;
}

} // namespace entryarith
