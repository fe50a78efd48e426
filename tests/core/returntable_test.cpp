// The return table through the schema step: an older file gets it filled from
// its stored rows, loses the index that bodro_return makes redundant, and a
// second run changes nothing.
#include "core/testutil.h"
#include "store/returntable.h"
#include "store/sqlite.h"
#include "store/upgrade.h"

#include <gtest/gtest.h>

namespace
{

// A file of the schema before the return table, with whatever sql adds to it.
void olderFile(Workspace &ws, const char *sql)
{
    makeOldSchemaDatabase(ws.dm->databasePath(), true);
    SqliteDatabase db(ws.dm->databasePath(), SqliteDatabase::Mode::OpenExisting);
    db.execScript(QString::fromUtf8(sql));
}

bool exists(Workspace &ws, const char *name)
{
    return !ws.dm
                ->select(QStringLiteral("select 1 from sqlite_master where name = ?"),
                         {QString::fromUtf8(name)})
                .isEmpty();
}

} // namespace

TEST(ReturnTable, SchemaStepBuildsItForAnOlderFileOnceAndDropsTheEmployerIndex)
{
    Workspace ws;
    olderFile(ws, "CREATE INDEX bodro_isver ON bodro(YATISVER);"
                  "insert into bodro (YATISVER, ISVISIM, YATDEVREILK, YATDEVRESON, YATBODROTUR, "
                  "YATBDRDEVMIK, YATSRVNO) values "
                  "('010001000001', 'Deneme', '01.03.2013', '31.03.2013', '01', '1', '111111'),"
                  "('010001000001', 'Deneme', '01.03.2013', '31.03.2013', '01', '1', '222222'),"
                  "('010001000001', 'DENEME', '01.03.2013', '31.03.2013', '01', '1', '333333'),"
                  "('010001000001', 'Deneme', '01.03.2013', '31.03.2013', '01', '2', '111111'),"
                  "('020002000002', 'Öz', '01.04.2014', '30.04.2014', '02', '1', '444444'),"
                  // A row of a return listed already, apart from its others.
                  "('010001000001', 'Deneme', '01.03.2013', '31.03.2013', '01', '1', '555555'),"
                  // No name and an empty one are two lines, as DISTINCT has them.
                  "('030003000003', NULL, '01.05.2014', '31.05.2014', '01', '1', '666666'),"
                  "('030003000003', '', '01.05.2014', '31.05.2014', '01', '1', '777777')");
    const QList<QStringList> expected = {
        {"010001000001", "DENEME", "01.03.2013", "31.03.2013", "01", "1"},
        {"010001000001", "Deneme", "01.03.2013", "31.03.2013", "01", "1"},
        {"010001000001", "Deneme", "01.03.2013", "31.03.2013", "01", "2"},
        {"020002000002", "Öz", "01.04.2014", "30.04.2014", "02", "1"},
        {"030003000003", "", "01.05.2014", "31.05.2014", "01", "1"},
        {"030003000003", "", "01.05.2014", "31.05.2014", "01", "1"},
    };
    const auto lines = [&ws] {
        return ws.dm->select(QStringLiteral("select * from bodroliste order by 1, 2, 6"));
    };

    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_EQ(lines(), expected);
    EXPECT_FALSE(exists(ws, "bodro_isver"));

    runSchemaUpgrade(*ws.dm, ws.platform);
    returntable::ensureReturnTable(*ws.dm->localFile());
    EXPECT_EQ(lines(), expected);
}

TEST(ReturnTable, AFailedBuildLeavesNoHalfTable)
{
    Workspace ws;
    // The index name is taken by a table, so the build fails after the table
    // has been created and filled.
    olderFile(ws, "insert into bodro (YATISVER) values ('010001000001');"
                  "CREATE TABLE bodroliste_year (x)");
    EXPECT_THROW(returntable::ensureReturnTable(*ws.dm->localFile()), DbError);
    EXPECT_FALSE(exists(ws, "bodroliste"));
    EXPECT_FALSE(ws.dm->db().inTransaction());
}
