// Readability checks of a grid row before it is stored.
#include "entry/rowcheck.h"

#include "entry/gridrules.h"

#include <QRegularExpression>

namespace entrygrid
{

namespace
{

bool matchesWhole(const QRegularExpression &pattern, const QString &text)
{
    return pattern.match(text).hasMatch();
}

// What a grid cell shows after its leave rule ("1,234.56"), or the "0" of a
// template row whose amount was never touched. Anything else ("1500", "6,5")
// is read back as a different value by the amount fields.
bool isAmountText(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{1,3}(,\\d{3})*\\.\\d{2}$"));
    return text == QLatin1String("0") || matchesWhole(pattern, text);
}

bool isRate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{1,3}(\\.\\d{1,2})?$"));
    return matchesWhole(pattern, text);
}

bool isDays(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{1,3}$"));
    return text.isEmpty() || matchesWhole(pattern, text);
}

CellProblem problem(int row, int column, const QString &what)
{
    return {column, QStringLiteral("%1. satırın \"%2\" hücresi %3")
                        .arg(row)
                        .arg(columnTitles().at(column), what)};
}

} // namespace

std::optional<CellProblem> checkRowForStore(const QStringList &cells, int row)
{
    const auto cell = [&](int column) { return cells.value(column); };
    const QString sex = cell(Cinsiyet);
    if (sex != QLatin1String("E") && sex != QLatin1String("K"))
        return problem(row, Cinsiyet, QStringLiteral("\"E\" veya \"K\" olmalıdır."));
    if (!isDays(cell(GunSayisi)))
        return problem(row, GunSayisi,
                       QStringLiteral("boş ya da en fazla 3 basamaklı bir tam sayı olmalıdır."));
    if (!isAmountText(cell(AylikKazanc)))
        return problem(row, AylikKazanc,
                       QStringLiteral("\"1,234.56\" biçiminde, eksi olmayan bir tutar olmalıdır."));
    for (const int rate : {POrani, DOrani}) {
        if (!isRate(cell(rate)))
            return problem(row, rate,
                           QStringLiteral("0 ile 999.99 arasında bir sayı olmalıdır."));
    }
    return std::nullopt;
}

std::optional<RowProblem> checkRowsForStore(const QList<QStringList> &rows)
{
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].value(SarvekNo).isEmpty())
            continue;
        if (auto problem = checkRowForStore(rows[i], i + 1))
            return RowProblem{i + 1, *problem};
    }
    return std::nullopt;
}

} // namespace entrygrid
