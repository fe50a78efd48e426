// The schema upgrade on files of the older schema and on current files.
#include "core/testutil.h"
#include "store/sqlite.h"
#include "store/upgrade.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString Waiting = QStringLiteral("Lütfen Bekleyiniz Eski Bilgileriniz Yeni Kayıtlara yazılıyor "
                                       "5 ile 30Dk arasında süre alabilir");
const QString Done = QStringLiteral("Yenilenme Başarı ile Gerçekleşti ");

void addOldRows(const QString &path, const QStringList &seqNos)
{
    Database db(path, Database::Mode::OpenExisting);
    for (const QString &seq : seqNos) {
        Statement st = db.prepare(seq.isNull()
                                      ? QStringLiteral("insert into bodro (YATISVER, YATSRVNO) values ('010001000001', '111111')")
                                      : QStringLiteral("insert into bodro (YATISVER, YATSRVNO, YATBDRDEVMIK) values ('010001000001', '111111', ?)"));
        if (!seq.isNull())
            st.bind(1, seq);
        st.run();
    }
    db.execScript("insert into bodrotemp (YATSIRANO) values ('7')");
}

QStringList backups(Workspace &ws)
{
    return QDir(ws.path("Data")).entryList({"bodro-*.mdb"}, QDir::Files);
}

TEST(Upgrade, BringsAnOlderFileUpToDateAfterCopyingIt)
{
    Workspace ws;
    ws.platform.clock = QDateTime(QDate(2026, 12, 9), QTime(14, 30, 5));
    makeOldSchemaDatabase(ws.dm->databasePath(), false);
    addOldRows(ws.dm->databasePath(), {QString(), QString(), QString()});

    runSchemaUpgrade(*ws.dm, ws.platform);

    EXPECT_EQ(ws.platform.texts(), QStringList({Waiting, Done}));
    EXPECT_EQ(backups(ws), QStringList({"bodro-20261209-143005.mdb"}));
    const auto rows = ws.dm->select("select YATBDRDEVMIK, YATSSKNO from bodro");
    ASSERT_EQ(rows.size(), 3);
    for (const auto &r : rows)
        EXPECT_EQ(r, QStringList({"1", ""}));
    // The staging table is new, empty and enforces its widths.
    EXPECT_EQ(ws.dm->select("select count(*) from bodrotemp")[0][0], "0");
    EXPECT_THROW(ws.dm->execute("insert into bodrotemp (YATSSKNO) values ('1234567890')"), DbError);
    EXPECT_THROW(ws.dm->execute("insert into bodro (YATBDRDEVMIK) values ('10')"), DbError);
    // The copy is the file as it was.
    Database copy(ws.path("Data/" + backups(ws)[0]), Database::Mode::OpenExisting);
    Statement st = copy.prepare("select count(*) from bodro");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.integer(0), 3);

    // The next run finds both columns and only rebuilds the staging table.
    ws.platform.clearShown();
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_TRUE(ws.platform.texts().isEmpty());
    EXPECT_EQ(backups(ws).size(), 1);
}

TEST(Upgrade, KeepsSequenceNumbersAFileAlreadyHad)
{
    Workspace ws;
    makeOldSchemaDatabase(ws.dm->databasePath(), true);
    addOldRows(ws.dm->databasePath(), {"1", "2", "3"});
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_EQ(ws.platform.texts(), QStringList({Waiting, Done}));
    const auto rows = ws.dm->select("select YATBDRDEVMIK from bodro order by IDSIRA");
    EXPECT_EQ(rows, QList<QStringList>({{"1"}, {"2"}, {"3"}}));
}

TEST(Upgrade, EmptyOldFileStillShowsBothMessages)
{
    Workspace ws;
    makeOldSchemaDatabase(ws.dm->databasePath(), false);
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_EQ(ws.platform.texts(), QStringList({Waiting, Done}));
}

TEST(Upgrade, CurrentFileOnlyRebuildsTheStagingTable)
{
    Workspace ws;
    ws.dm->execute("insert into bodrotemp (YATSIRANO) values ('1')");
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_TRUE(ws.platform.texts().isEmpty());
    EXPECT_TRUE(backups(ws).isEmpty());
    EXPECT_EQ(ws.dm->select("select count(*) from bodrotemp")[0][0], "0");
}

TEST(Upgrade, AFileWithoutStagingTableStopsWithTheEngineMessage)
{
    Workspace ws;
    ws.dm->execute("drop table bodrotemp");
    try {
        runSchemaUpgrade(*ws.dm, ws.platform);
        ADD_FAILURE() << "went on";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.engineText().contains("no such table")) << e.what();
    }
}

} // namespace
