// Statements on muhisv. They run on the query slot Query2, which is left open
// after a look-up; its next user replaces it.
#include "accountant/accountantrecord.h"

#include "store/dm.h"

namespace
{

std::optional<AccountantRecord> firstRow(Query &q)
{
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    return AccountantRecord{
        q.field(QStringLiteral("MUHISVUNVAN")),   q.field(QStringLiteral("MUHISVISI")),
        q.field(QStringLiteral("MSNO")),          q.field(QStringLiteral("MUHISVADRES")),
        q.field(QStringLiteral("MUHSIVTELNO")),   q.field(QStringLiteral("MUHISVFAXNO")),
        q.field(QStringLiteral("MUHISVMOBILNO")), q.field(QStringLiteral("SETMUHISV"))};
}

} // namespace

std::optional<AccountantRecord> newestAccountant(Tdm &dm)
{
    dm.Query2.setSql(QStringLiteral("select * from muhisv order by ID desc"));
    return firstRow(dm.Query2);
}

std::optional<AccountantRecord> findAccountantContaining(Tdm &dm, const QString &text)
{
    dm.Query2.setSql(QStringLiteral("select * from muhisv WHERE MUHISVUNVAN like '%' || ? || '%'"),
                     {text});
    return firstRow(dm.Query2);
}

bool accountantExists(Tdm &dm, const QString &title)
{
    dm.Query2.setSql(QStringLiteral("select * from muhisv WHERE MUHISVUNVAN = ?"), {title});
    dm.Query2.open();
    const bool found = !dm.Query2.isEmpty();
    dm.Query2.close();
    return found;
}

QString storedAddress(const QString &typed)
{
    QString text = typed;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

QString shownAddress(const QString &stored)
{
    QString text = stored;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

void insertAccountant(Tdm &dm, const AccountantRecord &r)
{
    dm.requireWritable();
    dm.Query2.setSql(QStringLiteral("insert into muhisv (MUHISVUNVAN,MUHISVISI,MSNO,MUHISVADRES,"
                                    "MUHSIVTELNO,MUHISVFAXNO,MUHISVMOBILNO,SETMUHISV) "
                                    "values(?,?,?,?,?,?,?,?)"),
                     {r.unvan, r.isim, r.msno, r.adres, r.telno, r.faxno, r.mobilno, r.set});
    dm.Query2.exec();
}

int updateAccountant(Tdm &dm, const AccountantRecord &r)
{
    dm.requireWritable();
    dm.Query2.setSql(QStringLiteral("update muhisv set MUHISVISI= ?,MSNO= ?, MUHISVADRES= ?,"
                                    "MUHSIVTELNO= ?,MUHISVFAXNO= ?,MUHISVMOBILNO= ?,SETMUHISV= ? "
                                    "WHERE MUHISVUNVAN = ?"),
                     {r.isim, r.msno, r.adres, r.telno, r.faxno, r.mobilno, r.set, r.unvan});
    const int changed = dm.Query2.exec();
    dm.Query2.close();
    return changed;
}
