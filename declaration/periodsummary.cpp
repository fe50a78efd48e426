// Grouping and totalling of the period summary.
#include "declaration/periodsummary.h"

#include "store/dm.h"
#include "store/returnrow.h"

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

namespace
{

// The summary applies both rates rounded to two decimals and keeps the
// products unrounded.
Decimal owedBy(const Decimal &gross, const StoredRate &premiumRate, const StoredRate &depositRate)
{
    return gross.percentOf(premiumRate.rounded()) + gross.percentOf(depositRate.rounded());
}

// The columns the summary reads.
const QStringList &summaryColumns()
{
    static const QStringList columns{QStringLiteral("YATISVER"),     QStringLiteral("YATDEVREILK"),
                                     QStringLiteral("YATDEVRESON"),  QStringLiteral("YATBODROTUR"),
                                     QStringLiteral("YATBDRDEVMIK"), QStringLiteral("ISVISIM"),
                                     QStringLiteral("YATBRUT"),      QStringLiteral("YATPRIMOR"),
                                     QStringLiteral("YATDEPOOR")};
    return columns;
}

} // namespace

Decimal premiumPlusDeposit(const QString &gross, const QString &premiumRate,
                           const QString &depositRate)
{
    return owedBy(storedGross(gross), StoredRate::read(premiumRate), StoredRate::read(depositRate));
}

PeriodSummary summarizePeriod(Database &db, const BoundSql &selection)
{
    Statement rows = prepareColumns(db, selection.sql, summaryColumns());
    rows.bindAll(selection.params);
    StoredRowReader reader(rows);
    PeriodSummary summary;
    StoredRow row;
    ReturnKey current;
    while (rows.step()) {
        reader.read(rows, row);
        if (summary.rows.isEmpty() || current != row.key) {
            current = row.key;
            summary.rows.append({employerNumberText(row.key.employer), row.employerName,
                                 row.key.periodStart, row.key.periodEnd,
                                 returnTypeText(row.key.type), Decimal()});
        }
        const Decimal owed = owedBy(row.gross(), row.premiumRate, row.depositRate);
        summary.rows.last().total += owed;
        summary.grandTotal += owed;
    }
    return summary;
}
