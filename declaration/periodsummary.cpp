// Grouping and totalling of the period summary.
#include "declaration/periodsummary.h"

#include "controls/amounttext.h"
#include "store/dm.h"

#include <algorithm>
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

namespace
{

Decimal roundedRate(const QString &rate)
{
    return amount::round(Decimal::fromText(rate));
}

Decimal owedAt(const Decimal &pay, const Decimal &premiumRate, const Decimal &depositRate)
{
    return pay.percentOf(premiumRate) + pay.percentOf(depositRate);
}

} // namespace

Decimal premiumPlusDeposit(const QString &gross, const QString &premiumRate,
                           const QString &depositRate)
{
    return owedAt(amount::textAsFloat(gross), roundedRate(premiumRate), roundedRate(depositRate));
}

namespace
{

// The columns the summary reads, in the order it reads them.
const QStringList &summaryColumns()
{
    static const QStringList columns{QStringLiteral("YATISVER"),     QStringLiteral("YATDEVREILK"),
                                     QStringLiteral("YATDEVRESON"),  QStringLiteral("YATBODROTUR"),
                                     QStringLiteral("YATBDRDEVMIK"), QStringLiteral("ISVISIM"),
                                     QStringLiteral("YATBRUT"),      QStringLiteral("YATPRIMOR"),
                                     QStringLiteral("YATDEPOOR")};
    return columns;
}
enum { Employer, Start, End, Type, SeqNo, Name, Gross, PremiumRate, DepositRate, KeyColumns = 5 };

// A new line for each run of rows of one return, from the run's first row.
void startReturn(PeriodSummary &summary, const Statement &row)
{
    summary.rows.append({employerNumberText(row.text(Employer)), row.text(Name), row.text(Start),
                         row.text(End), returnTypeText(row.text(Type)), Decimal()});
}

void addOwed(PeriodSummary &summary, const Decimal &owed)
{
    summary.rows.last().total += owed;
    summary.grandTotal += owed;
}

bool sameBytes(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// Rates repeat from row to row: each text is read and rounded once.
class RateCache
{
  public:
    const Decimal &operator()(QByteArrayView text)
    {
        if (!m_valid || !sameBytes(m_text, text)) {
            m_valid = false;
            m_value = roundedRate(QString::fromUtf8(text));
            m_text = text.toByteArray();
            m_valid = true;
        }
        return m_value;
    }

  private:
    QByteArray m_text;
    Decimal m_value;
    bool m_valid = false;
};

} // namespace

PeriodSummary summarizePeriod(Database &db, const BoundSql &selection)
{
    Statement rows = prepareColumns(db, selection.sql, summaryColumns());
    rows.bindAll(selection.params);
    PeriodSummary summary;
    // The key is compared as the engine hands it over; texts are made only
    // for the first row of each return.
    std::array<QByteArray, KeyColumns> current;
    RateCache premiumRate, depositRate;
    while (rows.step()) {
        bool same = !summary.rows.isEmpty();
        for (int i = 0; i < KeyColumns && same; ++i)
            same = sameBytes(current[i], rows.utf8(i));
        if (!same) {
            for (int i = 0; i < KeyColumns; ++i)
                current[i] = rows.utf8(i).toByteArray();
            startReturn(summary, rows);
        }
        addOwed(summary,
                owedAt(amount::textAsFloat(rows.text(Gross)), premiumRate(rows.utf8(PremiumRate)),
                       depositRate(rows.utf8(DepositRate))));
    }
    return summary;
}
