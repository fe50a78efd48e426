// Selection and arithmetic of the print commands and of the printed lines.
#include "print/printcommands.h"

#include "base/amounttext.h"
#include "store/dm.h"
#include "store/returnrow.h"

namespace
{

QString selectionSql(PrintScope scope)
{
    // Every branch's record of the period: the type names them all, and only
    // those marked for sending are printed.
    const QString conditions =
        scope == PrintScope::OneReturn
            ? ReturnKey::where()
            : ReturnKey::where(ReturnKey::Scope::Type) + QStringLiteral(" and YATGONDER = '1'");
    return QStringLiteral("select * from bodro where ") + conditions +
           QStringLiteral(" order by IDSIRA asc");
}

} // namespace

std::optional<PrintCaptions> preparePrint(Tdm &dm, const PrintRequest &request)
{
    Query &q = dm.prnquery;
    q.close();
    const ReturnKey key{request.kaza + request.fihrist + request.sirano, request.periodStart,
                        request.periodEnd, request.pickedType, request.seqNo};
    q.setSql(selectionSql(request.scope),
             key.values(request.scope == PrintScope::OneReturn ? ReturnKey::Scope::Return
                                                               : ReturnKey::Scope::Type));
    q.open();
    if (q.isEmpty())
        return std::nullopt;

    // The title applies both rates as stored, unrounded.
    Decimal gross, premium, deposit;
    int count = 0;
    StoredRowReader reader(q.columns());
    StoredRow row;
    for (const QStringList &values : q.rows()) {
        reader.read(values, row);
        gross += row.gross();
        premium += row.gross().percentOf(row.premiumRate.value());
        deposit += row.gross().percentOf(row.depositRate.value());
        ++count;
    }
    q.first();

    PrintCaptions c;
    const bool asil = q.field(QStringLiteral("YATBODROTUR")) == QLatin1String("01");
    c.asilBox = asil ? QStringLiteral("X") : QStringLiteral(" ");
    c.ekBox = asil ? QStringLiteral(" ") : QStringLiteral("X");
    const QString typeWord = asil ? QStringLiteral("Asıl") : QStringLiteral("Ek");

    c.registry = request.kaza + QStringLiteral("- ") + request.fihrist + QStringLiteral("- ") +
                 request.sirano;
    c.summary = QStringLiteral("İsveren No:") + c.registry + QStringLiteral(" ") +
                QStringLiteral("Devre: ") + request.periodStart + QStringLiteral("-") +
                request.periodEnd + QStringLiteral(" Bodro Türü: ") + typeWord;
    c.personCount = QString::number(count);

    c.premium = amount::round(premium);
    c.deposit = amount::round(deposit);
    c.grand = c.premium + c.deposit;
    c.grossTotal = amount::format(gross);
    c.premiumTotal = amount::format(c.premium);
    c.depositTotal = amount::format(c.deposit);
    c.grandTotal = amount::format(c.grand);
    return c;
}

PrintLine computePrintLine(const StoredRow &row)
{
    PrintLine line;
    line.gross = row.gross();
    line.premium = amount::round(line.gross.percentOf(row.premiumRateRounded()));
    line.deposit = amount::round(line.gross.percentOf(row.depositRate.value()));
    line.total = line.premium + line.deposit;
    return line;
}

PrintLine computePrintLine(QStringView brut, QStringView primor, QStringView depoor)
{
    StoredRow row;
    row.grossText = brut.toString();
    row.premiumRate = StoredRate::read(primor);
    row.depositRate = StoredRate::read(depoor);
    return computePrintLine(row);
}

void RunningTotals::add(const PrintLine &line)
{
    gross += line.gross;
    premium += line.premium;
    deposit += line.deposit;
    total += line.total;
}
