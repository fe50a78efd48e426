// The schema upgrade on files of the older schema and on current files.
#include "core/testutil.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/upgrade.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

const QString Waiting =
    QStringLiteral("Lütfen Bekleyiniz Eski Bilgileriniz Yeni Kayıtlara yazılıyor "
                   "5 ile 30Dk arasında süre alabilir");
const QString Done = QStringLiteral("Yenilenme Başarı ile Gerçekleşti ");

void addOldRows(const QString &path, const QStringList &seqNos)
{
    SqliteDatabase db(path, SqliteDatabase::Mode::OpenExisting);
    for (const QString &seq : seqNos) {
        Statement st = db.prepare(
            seq.isNull()
                ? QStringLiteral(
                      "insert into bodro (YATISVER, YATSRVNO) values ('010001000001', '111111')")
                : QStringLiteral("insert into bodro (YATISVER, YATSRVNO, YATBDRDEVMIK) values "
                                 "('010001000001', '111111', ?)"));
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

// Copies still under their unfinished name, and their journals.
QStringList unfinished(Workspace &ws)
{
    return QDir(ws.path("Data")).entryList({"bodro-*.mdb.part*"}, QDir::Files);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
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
    SqliteDatabase copy(ws.path("Data/" + backups(ws)[0]), SqliteDatabase::Mode::OpenExisting);
    Statement st = copy.prepare("select count(*) from bodro");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.integer(0), 3);

    EXPECT_TRUE(unfinished(ws).isEmpty());

    // The next run finds both columns and has nothing to do.
    ws.platform.clearShown();
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_TRUE(ws.platform.texts().isEmpty());
    EXPECT_EQ(backups(ws).size(), 1);
}

TEST(Upgrade, ACopyLeftUnnamedByAKillIsNamedOnceTheUpgradeIsCommitted)
{
    // Killed after the commit, before the copy got its name: the copy is whole.
    Workspace ws;
    ws.dm->db();
    const QString copy = ws.path("Data/bodro-20261201-101010.mdb");
    {
        SqliteDatabase db(ws.dm->databasePath(), SqliteDatabase::Mode::OpenExisting);
        db.backupTo(copy + ".part");
    }
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_EQ(backups(ws), QStringList{"bodro-20261201-101010.mdb"});
    EXPECT_TRUE(unfinished(ws).isEmpty());
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

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Upgrade, EmptiesTheStagingTableOnlyWhenItHoldsRows)
{
    Workspace ws;
    ws.dm->execute("insert into bodrotemp (YATSIRANO) values ('1')");
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_TRUE(ws.platform.texts().isEmpty());
    EXPECT_TRUE(backups(ws).isEmpty());
    EXPECT_EQ(ws.dm->select("select count(*) from bodrotemp")[0][0], "0");

    // Nothing missing, out of date or staged: not one byte is written, and
    // no journal is left behind.
    const QString path = ws.dm->databasePath();
    const QByteArray before = fileBytes(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    runSchemaUpgrade(*ws.dm, ws.platform);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);
    EXPECT_EQ(QDir(ws.path("Data")).entryList(QDir::Files), QStringList{"bodro.mdb"});
}

TEST(Upgrade, MakesWhatIsMissingWithoutACopy)
{
    const struct {
        const char *what;
        const char *damage;
    } cases[] = {
        {"no staging table", "DROP TABLE Bodrotemp"},
        {"outdated staging table",
         "DROP TABLE Bodrotemp; CREATE TABLE bodrotemp (YATSIRANO VARCHAR(5)); "
         "INSERT INTO bodrotemp VALUES ('3')"},
        {"no accountant table", "DROP TABLE muhisv"},
        {"no indexes", "DROP INDEX bodro_return; DROP INDEX bodro_period"},
        {"no tables at all", "DROP TABLE bodro; DROP TABLE Bodrotemp; DROP TABLE muhisv"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Workspace ws;
        insertBodro(*ws.dm, BodroRow());
        ws.dm->db().execScript(QLatin1String(c.damage));

        runSchemaUpgrade(*ws.dm, ws.platform);

        EXPECT_TRUE(ws.platform.texts().isEmpty());
        EXPECT_TRUE(backups(ws).isEmpty());
        EXPECT_EQ(ws.dm->select("select sql from sqlite_master where name = 'Bodrotemp'"),
                  QList<QStringList>{{schema::createBodrotemp()}});
        EXPECT_EQ(ws.dm->select("select count(*) from bodrotemp")[0][0], "0");
        EXPECT_EQ(
            ws.dm->select(
                "select count(*) from sqlite_master where type = 'index' and tbl_name = 'bodro'")
                [0][0],
            QString::number(schema::indexes().size()));
        EXPECT_EQ(ws.dm->select("select count(*) from muhisv")[0][0], "0");
        EXPECT_THROW(ws.dm->execute("insert into bodrotemp (YATSSKNO) values ('1234567890')"),
                     DbError);
    }
}

TEST(Upgrade, AFailureLeavesTheFileAsItWas)
{
    Workspace ws;
    makeOldSchemaDatabase(ws.dm->databasePath(), false);
    addOldRows(ws.dm->databasePath(), {QString()});
    // Refuses the last index, after the columns were added in the same run.
    SqliteDatabase(ws.dm->databasePath(), SqliteDatabase::Mode::OpenExisting)
        .execScript("CREATE TABLE bodro_period (x)");
    // What a run killed in the middle of its copy left: the copy under its
    // unfinished name, with the journal of its writing.
    writeFile(ws.path("Data/bodro-20261201-101010.mdb.part"), QByteArray(5000, 'x'));
    writeFile(ws.path("Data/bodro-20261201-101010.mdb.part-journal"), QByteArray(512, 'j'));
    const QByteArray before = fileBytes(ws.dm->databasePath());

    // Every retry fails the same way and leaves no copy behind.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        ws.platform.clearShown();
        EXPECT_THROW(runSchemaUpgrade(*ws.dm, ws.platform), DbError);

        EXPECT_EQ(ws.platform.texts(), QStringList{Waiting}) << "success announced";
        EXPECT_EQ(fileBytes(ws.dm->databasePath()), before);
        EXPECT_EQ(ws.dm->select("select count(*) from pragma_table_info('bodro') "
                                "where name in ('YATBDRDEVMIK', 'YATSSKNO')")[0][0],
                  "0");
        EXPECT_EQ(ws.dm->select("select count(*) from bodrotemp")[0][0], "1");
        EXPECT_TRUE(backups(ws).isEmpty()) << backups(ws).join(' ').toStdString();
        EXPECT_TRUE(unfinished(ws).isEmpty()) << unfinished(ws).join(' ').toStdString();
    }
}

} // namespace
