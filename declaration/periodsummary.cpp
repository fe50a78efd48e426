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

PeriodSummary summarizePeriod(Query &q)
{
    using Key = std::array<QString, 5>;
    PeriodSummary summary;
    Key current;
    for (q.first(); !q.eof(); q.next()) {
        const Key key{q.field(QStringLiteral("YATISVER")), q.field(QStringLiteral("YATDEVREILK")),
                      q.field(QStringLiteral("YATDEVRESON")),
                      q.field(QStringLiteral("YATBODROTUR")),
                      q.field(QStringLiteral("YATBDRDEVMIK"))};
        if (summary.rows.isEmpty() || key != current) {
            current = key;
            summary.rows.append({employerNumberText(key[0]), q.field(QStringLiteral("ISVISIM")),
                                 key[1], key[2], returnTypeText(key[3]), Decimal()});
        }
        const Decimal owed = premiumPlusDeposit(q.field(QStringLiteral("YATBRUT")),
                                                q.field(QStringLiteral("YATPRIMOR")),
                                                q.field(QStringLiteral("YATDEPOOR")));
        summary.rows.last().total += owed;
        summary.grandTotal += owed;
    }
    return summary;
}
