// Reading stored return rows: the column lookup done once per result, the
// texts copied into storage that is reused from row to row, and each figure
// parsed once by its one rule.
#include "store/returnrow.h"

#include "base/errors.h"
#include "store/sqlite.h"

#include <algorithm>

namespace
{

// The column of each StoredRowReader field, in the order of its enum.
constexpr const char *ColumnNames[] = {
    "YATISVER",  "YATDEVREILK", "YATDEVRESON", "YATBODROTUR", "YATBDRDEVMIK",
    "YATGONDER", "ISVISADRES",  "ISVTELNO",    "ISVISIM",     "YATSIRANO",
    "YATSRVNO",  "YATKIMLIK",   "YATSSKNO",    "YATISIM",     "YATCINS",
    "YATCALGUN", "YATDURUM",    "YATBRUT",     "YATPRIMOR",   "YATDEPOOR",
};

constexpr const char *KeyColumns[] = {"YATISVER", "YATDEVREILK", "YATDEVRESON", "YATBODROTUR",
                                      "YATBDRDEVMIK"};

int keyColumnCount(ReturnKey::Scope scope)
{
    switch (scope) {
    case ReturnKey::Scope::Period:
        return 3;
    case ReturnKey::Scope::Type:
        return 4;
    case ReturnKey::Scope::Return:
        return 5;
    }
    Q_UNREACHABLE();
}

} // namespace

QString ReturnKey::where(Scope scope)
{
    QString sql;
    for (int i = 0; i < keyColumnCount(scope); ++i) {
        if (i > 0)
            sql += QStringLiteral(" AND ");
        sql += QLatin1StringView(KeyColumns[i]) + QStringLiteral(" = ?");
    }
    return sql;
}

QVariantList ReturnKey::values(Scope scope) const
{
    QVariantList all{employer, periodStart, periodEnd, type, seqNo};
    return all.mid(0, keyColumnCount(scope));
}

StoredRate StoredRate::read(QStringView text)
{
    StoredRate rate;
    rate.m_text = text.toString();
    rate.m_value = Decimal::parse(text);
    if (rate.m_value) {
        rate.m_rounded = amount::round(*rate.m_value);
        rate.m_entered = rate.m_rounded;
        return rate;
    }
    QString loose = text.trimmed().toString();
    loose.remove(amount::GroupSeparator);
    if (loose.isEmpty())
        rate.m_entered = Decimal();
    else if (const std::optional<Decimal> value = Decimal::parse(loose))
        rate.m_entered = amount::round(*value);
    return rate;
}

Decimal StoredRate::value() const
{
    if (!m_value)
        throw Decimal::notANumber(m_text);
    return *m_value;
}

Decimal StoredRate::rounded() const
{
    if (!m_rounded)
        throw Decimal::notANumber(m_text);
    return *m_rounded;
}

Decimal StoredRate::entered() const
{
    if (!m_entered) {
        QString loose = m_text.trimmed();
        loose.remove(amount::GroupSeparator);
        throw Decimal::notANumber(loose);
    }
    return *m_entered;
}

Decimal storedGross(QStringView text)
{
    // Stored pay is amount text ("1,234.56"): its digits, read straight, are
    // the hundredths that the amount field would make of it. Any other text
    // takes the amount field's own way.
    long long hundredths = 0;
    int digits = 0;
    int decimals = -1;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            if (++digits > 17)
                return amount::textAsFloat(text);
            hundredths = hundredths * 10 + (c.unicode() - u'0');
            if (decimals >= 0)
                ++decimals;
        } else if (c == u'.' && decimals < 0) {
            decimals = 0;
        } else if (c != u',' || decimals >= 0) {
            return amount::textAsFloat(text);
        }
    }
    if (decimals != 2)
        return amount::textAsFloat(text);
    return Decimal(hundredths).shiftedRight(2);
}

const Decimal &StoredRow::gross() const
{
    if (!m_gross)
        m_gross = storedGross(grossText);
    return *m_gross;
}

StoredRowReader::StoredRowReader(const QStringList &columns, Missing missing)
{
    locate(columns, missing);
}

StoredRowReader::StoredRowReader(const Statement &statement, Missing missing)
{
    QStringList columns;
    for (int i = 0; i < statement.columnCount(); ++i)
        columns << statement.columnName(i);
    locate(columns, missing);
}

void StoredRowReader::locate(const QStringList &columns, Missing missing)
{
    for (int f = 0; f < FieldCount; ++f) {
        const QLatin1StringView name(ColumnNames[f]);
        m_position[f] = -1;
        for (int j = 0; j < columns.size() && m_position[f] < 0; ++j)
            if (columns[j].compare(name, Qt::CaseInsensitive) == 0)
                m_position[f] = j;
        if (m_position[f] < 0 && missing == Missing::Refuse)
            throw DbError(QStringLiteral("%1: alan bulunamadı").arg(name),
                          QStringLiteral("no such column: %1").arg(name), 0);
    }
}

QString &StoredRowReader::text(StoredRow &row, int field)
{
    QString *const into[] = {
        &row.key.employer,  &row.key.periodStart,
        &row.key.periodEnd, &row.key.type,
        &row.key.seqNo,     &row.send,
        &row.address,       &row.phone,
        &row.employerName,  &row.number,
        &row.fundNo,        &row.identityNo,
        &row.insuranceNo,   &row.name,
        &row.sex,           &row.days,
        &row.leave,         &row.grossText,
    };
    static_assert(std::size(into) == PremiumRate);
    return *into[field];
}

StoredRate &StoredRowReader::rate(StoredRow &row, int field)
{
    return field == PremiumRate ? row.premiumRate : row.depositRate;
}

void StoredRowReader::read(const Statement &statement, StoredRow &row)
{
    // Most columns repeat the row before (one return's header, its rates), so
    // a column whose bytes have not changed since it was read into this same
    // row is neither decoded nor parsed again.
    const bool sameRow = &row == m_last && row.m_readBy == this;
    m_last = &row;
    row.m_readBy = this;
    for (int f = 0; f < FieldCount; ++f) {
        const int at = m_position[f];
        const QByteArrayView bytes = at < 0 ? QByteArrayView() : statement.utf8(at);
        QByteArray &before = m_bytes[f];
        if (sameRow && before.size() == bytes.size() &&
            std::equal(bytes.begin(), bytes.end(), before.cbegin()))
            continue;
        before.resize(bytes.size());
        std::copy(bytes.begin(), bytes.end(), before.begin());
        if (f < PremiumRate) {
            if (at < 0)
                text(row, f).resize(0);
            else
                statement.readText(at, text(row, f));
            if (f == Gross)
                row.m_gross.reset();
        } else {
            rate(row, f) = StoredRate::read(QString::fromUtf8(bytes));
        }
    }
}

void StoredRowReader::read(const QStringList &values, StoredRow &row)
{
    m_last = nullptr;
    row.m_readBy = nullptr;
    const auto value = [&values, this](int field) {
        const int at = m_position[field];
        return at < 0 || at >= values.size() ? QString() : values[at];
    };
    for (int f = 0; f < PremiumRate; ++f)
        text(row, f) = value(f);
    row.m_gross.reset();
    for (int f = PremiumRate; f < FieldCount; ++f)
        rate(row, f) = StoredRate::read(value(f));
}
