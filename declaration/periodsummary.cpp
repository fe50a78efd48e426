// Grouping and totalling of the period summary.
#include "declaration/periodsummary.h"

#include "controls/amounttext.h"
#include "store/dm.h"

#include <array>

QString employerNumberText(const QString &registryNo)
{
    return registryNo.mid(0, 2) + u'-' + registryNo.mid(2, 4) + u'-' + registryNo.mid(6, 6);
}

QString returnTypeText(const QString &code)
{
    if (code == u"01" || code == u"11")
        return QStringLiteral("Asıl");
    if (code == u"02" || code == u"12")
        return QStringLiteral("Ek");
    return QString();
}

Decimal premiumPlusDeposit(const QString &gross, const QString &premiumRate,
                           const QString &depositRate)
{
    const Decimal pay = amount::textAsFloat(gross);
    const Decimal premium = pay.percentOf(amount::round(Decimal::fromText(premiumRate)));
    const Decimal deposit = pay.percentOf(amount::round(Decimal::fromText(depositRate)));
    return premium + deposit;
}

namespace
{

// The columns the summary reads, in the positions summarize() reads them at.
const QStringList &summaryColumns()
{
    static const QStringList columns{
        QStringLiteral("YATISVER"),    QStringLiteral("YATDEVREILK"), QStringLiteral("YATDEVRESON"),
        QStringLiteral("YATBODROTUR"), QStringLiteral("YATBDRDEVMIK"), QStringLiteral("ISVISIM"),
        QStringLiteral("YATBRUT"),     QStringLiteral("YATPRIMOR"),   QStringLiteral("YATDEPOOR")};
    return columns;
}
enum { Employer, Start, End, Type, SeqNo, Name, Gross, PremiumRate, DepositRate };

// nextRow() moves to the next row and says whether there is one; text(i) is
// the current row's column i of summaryColumns().
template <typename NextRow, typename Text>
PeriodSummary summarize(const NextRow &nextRow, const Text &text)
{
    using Key = std::array<QString, 5>;
    PeriodSummary summary;
    Key current;
    while (nextRow()) {
        const Key key{text(Employer), text(Start), text(End), text(Type), text(SeqNo)};
        if (summary.rows.isEmpty() || key != current) {
            current = key;
            summary.rows.append({employerNumberText(key[0]), text(Name), key[1], key[2],
                                 returnTypeText(key[3]), Decimal()});
        }
        const Decimal owed =
            premiumPlusDeposit(text(Gross), text(PremiumRate), text(DepositRate));
        summary.rows.last().total += owed;
        summary.grandTotal += owed;
    }
    return summary;
}

} // namespace

PeriodSummary summarizePeriod(Query &q)
{
    bool started = false;
    return summarize(
        [&q, &started] {
            if (started)
                q.next();
            else
                q.first();
            started = true;
            return !q.eof();
        },
        [&q](int i) { return q.field(summaryColumns()[i]); });
}

PeriodSummary summarizePeriod(Database &db, const BoundSql &selection)
{
    Statement rows = prepareColumns(db, selection.sql, summaryColumns());
    rows.bindAll(selection.params);
    return summarize([&rows] { return rows.step(); }, [&rows](int i) { return rows.text(i); });
}
