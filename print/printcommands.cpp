// Selection and arithmetic of the print commands and of the printed lines.
#include "print/printcommands.h"

#include "controls/amounttext.h"
#include "store/dm.h"

namespace {

QString selectionSql(PrintScope scope)
{
    if (scope == PrintScope::OneReturn)
        return QStringLiteral("select * from bodro where YATISVER = ? and YATDEVREILK = ? and "
                              "YATDEVRESON = ? and YATBODROTUR = ? and YATBDRDEVMIK = ? "
                              "order by IDSIRA asc");
    return QStringLiteral("select * from bodro where YATISVER = ? and YATDEVREILK = ? and "
                          "YATDEVRESON = ? and YATGONDER = '1' and YATBODROTUR = ? "
                          "order by IDSIRA asc");
}

} // namespace

std::optional<PrintCaptions> preparePrint(Tdm &dm, const PrintRequest &request)
{
    Query &q = dm.prnquery;
    q.close();
    QVariantList params{request.kaza + request.fihrist + request.sirano, request.periodStart,
                        request.periodEnd, request.pickedType};
    if (request.scope == PrintScope::OneReturn)
        params << request.seqNo;
    q.setSql(selectionSql(request.scope), params);
    q.open();
    if (q.isEmpty())
        return std::nullopt;

    Decimal gross, premium, deposit;
    int count = 0;
    for (q.first(); !q.eof(); q.next()) {
        const Decimal g = amount::textAsFloat(q.field(QStringLiteral("YATBRUT")));
        gross += g;
        premium += g.percentOf(Decimal::fromText(q.field(QStringLiteral("YATPRIMOR"))));
        deposit += g.percentOf(Decimal::fromText(q.field(QStringLiteral("YATDEPOOR"))));
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

PrintLine computePrintLine(QStringView brut, QStringView primor, QStringView depoor)
{
    PrintLine line;
    line.gross = amount::textAsFloat(brut);
    const Decimal premiumRate = amount::round(Decimal::fromText(primor));
    const Decimal depositRate = Decimal::fromText(depoor);
    line.premium = amount::round(line.gross.percentOf(premiumRate));
    line.deposit = amount::round(line.gross.percentOf(depositRate));
    line.total = line.premium + line.deposit;
    return line;
}

void RunningTotals::add(const PrintLine &line)
{
    gross += line.gross;
    premium += line.premium;
    deposit += line.deposit;
    total += line.total;
}
