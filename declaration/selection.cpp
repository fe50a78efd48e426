// The selection statements of the declaration screen.
#include "declaration/selection.h"

#include "base/formats.h"
#include "store/returnrow.h"

namespace
{

const QString Main = QStringLiteral("01");
const QString Supplementary = QStringLiteral("02");
const QString First = QStringLiteral("1");
const QString Included = QStringLiteral("1");

QString select(const QString &conditions)
{
    return QStringLiteral("select * from bodro where ") + conditions +
           QStringLiteral(" order by IDSIRA asc");
}

} // namespace

BoundSql summarySelection(const PeriodChoice &c)
{
    const QString period = QStringLiteral("YATDEVREILK = ? and YATDEVRESON <= ? and YATGONDER = ?");
    QVariantList params{dateText(c.start), dateText(c.end), Included};
    // A further record of a period has a sequence number that sorts after "1"
    // as text; the column is one character wide, so that is "2" to "9".
    const QString seq =
        c.retroactive ? QStringLiteral("YATBDRDEVMIK > ?") : QStringLiteral("YATBDRDEVMIK = ?");
    switch (c.kind) {
    case ReturnKind::Asil:
    case ReturnKind::Ek:
        params << (c.kind == ReturnKind::Asil ? Main : Supplementary) << First;
        return {select(period + QStringLiteral(" and YATBODROTUR = ? and ") + seq), params};
    case ReturnKind::Tumu:
        if (c.retroactive) {
            params << First;
            return {select(period + QStringLiteral(" and YATBDRDEVMIK > ?")), params};
        }
        params << Main;
        return {select(period + QStringLiteral(" and YATBODROTUR = ?")), params};
    }
    Q_UNREACHABLE();
}

BoundSql fileSelection(const PeriodChoice &c, const QString &pickedEmployer,
                       const QString &pickedType)
{
    if (c.kind == ReturnKind::Tumu) {
        const ReturnKey picked{pickedEmployer, dateText(c.start), dateText(c.end), pickedType, {}};
        return {
            select(ReturnKey::where(ReturnKey::Scope::Type) + QStringLiteral(" and YATGONDER = ?")),
            picked.values(ReturnKey::Scope::Type) << Included};
    }
    return {select(QStringLiteral("YATDEVREILK = ? and YATDEVRESON <= ? and YATBODROTUR = ? and "
                                  "YATGONDER = ?")),
            {dateText(c.start), dateText(c.end), c.kind == ReturnKind::Asil ? Main : Supplementary,
             Included}};
}
