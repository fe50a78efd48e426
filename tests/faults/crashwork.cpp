// Making work for the schema step and the returns of the save trials.
#include "faults/crashwork.h"

#include "store/schema.h"
#include "store/sqlite.h"

namespace crashwork
{

void makeWorkForTheStep(Database &db, int round)
{
    Transaction tx(db);
    if (round % 2 == 0) {
        db.execScript(QStringLiteral("INSERT INTO bodrotemp (YATSIRANO, YATISVER) "
                                     "SELECT YATSIRANO, YATISVER FROM bodro LIMIT 200"));
    } else {
        for (const schema::Index &index : schema::indexes())
            db.execScript(QStringLiteral("DROP INDEX %1").arg(QLatin1String(index.name)));
        db.execScript(QStringLiteral("ALTER TABLE bodro DROP COLUMN YATSSKNO"));
        db.execScript(QStringLiteral("DROP TABLE bodrotemp; "
                                     "CREATE TABLE bodrotemp (YATSIRANO VARCHAR(5))"));
    }
    tx.commit();
}

returnstore::ReturnHeader header(int round)
{
    returnstore::ReturnHeader h;
    const int month = round % 4 + 1;
    h.key.employer = QStringLiteral("010001000001");
    h.key.periodStart = QStringLiteral("01.%1.2013").arg(month, 2, 10, QLatin1Char('0'));
    h.key.periodEnd = QStringLiteral("28.%1.2013").arg(month, 2, 10, QLatin1Char('0'));
    h.key.type = QStringLiteral("01");
    h.key.seqNo = QStringLiteral("1");
    h.send = QStringLiteral("1");
    h.address = QStringLiteral("Lefkoşa");
    h.phone = QStringLiteral("2281234");
    h.name = QStringLiteral("Deneme Ltd.");
    return h;
}

QList<returnstore::GridRow> rows(int round)
{
    QList<returnstore::GridRow> list;
    list.reserve(RowsPerSave);
    for (int i = 1; i <= RowsPerSave; ++i)
        list << returnstore::GridRow{QString::number(i),
                                     QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')),
                                     QStringLiteral("12345678901"),
                                     QStringLiteral("123456789"),
                                     QStringLiteral("R%1").arg(round),
                                     QStringLiteral("E"),
                                     QStringLiteral("30"),
                                     QString(),
                                     QStringLiteral("1,000.00"),
                                     QStringLiteral("5.00"),
                                     QStringLiteral("50.00"),
                                     QStringLiteral("10.00"),
                                     QStringLiteral("100.00"),
                                     QStringLiteral("150.00")};
    return list;
}

} // namespace crashwork
