// The employer and employee look-ups of the entry screen.
#include "entry/lookups.h"

#include "store/dm.h"

namespace entrylookup
{

std::optional<EmployerDetails> employerDetails(Tdm &dm, const QString &registryNumber)
{
    const QList<QStringList> rows =
        dm.select(QStringLiteral("select DISTINCT ISVISADRES, ISVTELNO, ISVISIM  from bodro where "
                                 "YATISVER = ?"),
                  {registryNumber});
    if (rows.isEmpty())
        return std::nullopt;
    const QStringList &r = rows.first();
    return EmployerDetails{r[0], r[1], r[2]};
}

std::optional<entrygrid::Employee> employeeDetails(Tdm &dm, const QString &fundNo)
{
    const QList<QStringList> rows =
        dm.select(QStringLiteral("select YATKIMLIK, YATISIM, YATCINS, YATCALGUN, YATSSKNO  from "
                                 "bodro where YATSRVNO = ?"),
                  {fundNo});
    if (rows.isEmpty())
        return std::nullopt;
    const QStringList &r = rows.first();
    return entrygrid::Employee{r[0], r[4], r[1], r[2], r[3]};
}

} // namespace entrylookup
