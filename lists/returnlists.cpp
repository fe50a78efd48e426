// Statements of the return pick lists; values are bound, never pasted in.
#include "lists/returnlists.h"

#include "store/dm.h"
#include "store/returnrow.h"

#include <algorithm>

void listEmployerReturns(Query &query, const QString &isver, const QString &ilk, const QString &son)
{
    const ReturnKey period{isver, ilk, son, {}, {}};
    query.setSql(QStringLiteral("select DISTINCT YATISVER, YATDEVREILK, YATDEVRESON, YATBODROTUR, "
                                "YATBDRDEVMIK from bodro WHERE ") +
                     ReturnKey::where(ReturnKey::Scope::Period) +
                     QStringLiteral(" AND YATBODROTUR like '0%'"),
                 period.values(ReturnKey::Scope::Period));
    query.open();
}

void searchAllReturns(Query &query, const QString &yearText)
{
    // The lines come from the return table. A text of four characters without
    // LIKE's wildcards or letters (whose case LIKE folds) matches exactly the
    // first days whose last four characters it is: the year index finds them.
    // substr() counts code points, so a text with a surrogate pair, whose four
    // UTF-16 units are fewer characters, is left to LIKE alone; so is one with
    // a NUL, where LIKE's pattern ends.
    const bool plainYear =
        yearText.size() == 4 && std::none_of(yearText.cbegin(), yearText.cend(), [](QChar c) {
            return c == u'%' || c == u'_' || c.isNull() || c.isSurrogate() ||
                   (c.isLetter() && c.unicode() < 0x80);
        });
    const QString columns = QStringLiteral(
        "select YATISVER, ISVISIM, YATDEVREILK, YATDEVRESON, YATBODROTUR, YATBDRDEVMIK "
        "from bodroliste where YATDEVREILK like '%' || ?1 ");
    const QString order = QStringLiteral("ORDER BY ISVISIM COLLATE TURKCE, YATDEVREILK asc");
    query.setSql(columns +
                     (plainYear ? QStringLiteral("and substr(YATDEVREILK, -4) = ?1 ") : QString()) +
                     order,
                 {yearText});
    query.open();
}
