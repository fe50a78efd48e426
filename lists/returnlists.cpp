// Statements of the return pick lists; values are bound, never pasted in.
#include "lists/returnlists.h"

#include "store/dm.h"

void listEmployerReturns(Query &query, const QString &isver, const QString &ilk,
                         const QString &son)
{
    query.setSql(QStringLiteral("select DISTINCT YATISVER, YATDEVREILK, YATDEVRESON, YATBODROTUR, "
                                "YATBDRDEVMIK from bodro WHERE YATISVER = ? AND YATDEVREILK = ? "
                                "AND YATDEVRESON = ? AND YATBODROTUR like '0%'"),
                 {isver, ilk, son});
    query.open();
}

void searchAllReturns(Query &query, const QString &yearText)
{
    query.setSql(QStringLiteral("select DISTINCT YATISVER, ISVISIM, YATDEVREILK, YATDEVRESON, "
                                "YATBODROTUR, YATBDRDEVMIK from bodro "
                                "where YATDEVREILK like '%' || ? "
                                "ORDER BY ISVISIM, YATDEVREILK asc"),
                 {yearText});
    query.open();
}
