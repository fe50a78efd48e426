// The PostgreSQL wrapper and schema against a real throwaway server, which
// the test fixture starts (tests/pg/pgserver.sh); the server's connection
// string is read from the fixture's state folder.
#include "pg/pgutil.h"
#include "store/pgdb.h"
#include "store/pgschema.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <QStringList>
#include <thread>
#include <vector>

namespace
{

// Each test gets a fresh database with the schema, so that no test sees
// another's rows.
class PgTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_FALSE(pgtrial::sharedServer().isEmpty()) << "no test server: run through ctest";
        connInfo = pgtrial::testDatabase("t");
        db = std::make_unique<PgDatabase>(connInfo);
        db->execScript(pgschema::createScript());
    }

    long long count(const QString &sql)
    {
        Statement q = db->prepare(sql);
        EXPECT_TRUE(q.step());
        return q.integer(0);
    }

    QString connInfo;
    std::unique_ptr<PgDatabase> db;
};

TEST(ServerDialect, RewrittenOutsideQuotesAndComments)
{
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"select 1", "select 1"},
        {"a = ? and b = ?", "a = $1 and b = $2"},
        {"x like '%' || ?", "x ILIKE '%' || $1 ESCAPE ''"},
        {"unlike LIKE likes 'like'", "unlike ILIKE likes 'like' ESCAPE ''"},
        {"a like ? and b = ?", "a ILIKE $1 ESCAPE '' and b = $2"},
        {"(a like '%' || ?) or b", "(a ILIKE '%' || $1 ESCAPE '' ) or b"},
        {"a like upper(?) order by a", "a ILIKE upper($1) ESCAPE '' order by a"},
        {"a like ? escape '!'", "a ILIKE $1 escape '!'"},
        {"a = '?' and b = ?", "a = '?' and b = $1"},
        {"a = 'it''s ?' and b = ?", "a = 'it''s ?' and b = $1"},
        {"select \"odd?name\" from t where c = ?", "select \"odd?name\" from t where c = $1"},
        {"a = ? -- why?\n and b = ?", "a = $1 -- why?\n and b = $2"},
        {"a = ? /* ? */ and b = ?", "a = $1 /* ? */ and b = $2"},
        {"values (?,?,?,?,?,?,?,?,?,?)", "values ($1,$2,$3,$4,$5,$6,$7,$8,$9,$10)"},
        {"a = 'unclosed ?", "a = 'unclosed ?"},
        {"a = 'ş' and b = ?", "a = 'ş' and b = $1"},
        {"a like '%' || ?1 and substr(a, -4) = ?1",
         "a ILIKE '%' || $1 ESCAPE '' and right(a, 4) = $1"},
        {"substr(a, 2) = substr( b , - 12 )", "substr(a, 2) = right(b, 12)"},
        {"a = ?2 and b = ?1 and c = ?", "a = $2 and b = $1 and c = $3"},
        {"a = ?12", "a = $12"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(serverDialect(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST_F(PgTest, QuotesAreStoredAndComparedExactly)
{
    const QStringList names = {QStringLiteral("O'Brien"), QStringLiteral("\"Kalite\" Ltd."),
                               QStringLiteral("' OR '1'='1"), QStringLiteral("ŞİĞ ışık"),
                               QStringLiteral("")};
    Statement ins =
        db->prepare(QStringLiteral("insert into bodro (YATSRVNO, ISVISIM) values (?, ?)"));
    for (int i = 0; i < names.size(); ++i) {
        ins.reset();
        ins.bind(1, QString::number(i)).bind(2, names[i]);
        EXPECT_EQ(ins.run(), 1);
    }
    Statement find =
        db->prepare(QStringLiteral("select YATSRVNO, ISVISIM from bodro where ISVISIM = ?"));
    for (int i = 0; i < names.size(); ++i) {
        find.reset();
        find.bind(1, names[i]);
        ASSERT_TRUE(find.step()) << names[i].toStdString();
        EXPECT_EQ(find.text(0), QString::number(i));
        EXPECT_EQ(find.text(1), names[i]);
        EXPECT_FALSE(find.step());
    }
    // The empty text stays text; NULL is apart from it and reads as empty text.
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro where ISVISIM = ''")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro where ISVISIM is null")), 0);
    Statement nul =
        db->prepare(QStringLiteral("insert into bodro (YATSRVNO, YATSSKNO) values (?, ?)"));
    nul.bind(1, QStringLiteral("9")).bindNull(2).run();
    Statement read = db->prepare(QStringLiteral("select YATSSKNO from bodro where YATSRVNO = ?"));
    read.bind(1, QStringLiteral("9"));
    ASSERT_TRUE(read.step());
    EXPECT_TRUE(read.isNull(0));
    EXPECT_EQ(read.text(0), QString(""));
    EXPECT_EQ(count(QStringLiteral(
                  "select count(*) from bodro where YATSRVNO = '9' and YATSSKNO is null")),
              1);
}

TEST_F(PgTest, OverLongValueIsRefusedAndNothingOfItsStatementKept)
{
    // Widths count characters: six Turkish letters fit a fund number's six.
    db->prepare(QStringLiteral("insert into bodro (YATSRVNO) values (?)"))
        .bind(1, QStringLiteral("ŞŞŞŞŞŞ"))
        .run();
    const struct {
        const char *column;
        QString value;
    } cases[] = {
        {"YATSRVNO", QStringLiteral("1234567")}, {"YATISIM", QString(41, u'a')},
        {"ISVTELNO", QString(26, u'1')},         {"YATPRIMOR", QStringLiteral("1,000.00")},
        {"YATBDRDEVMIK", QStringLiteral("10")},
    };
    for (const auto &c : cases) {
        // Two rows in one statement: the first fits, the second does not.
        Statement ins = db->prepare(QStringLiteral("insert into bodro (%1) values ('1'), (?)")
                                        .arg(QLatin1String(c.column)));
        ins.bind(1, c.value);
        try {
            ins.run();
            ADD_FAILURE() << c.column << " took an over-long value";
        } catch (const PgError &e) {
            EXPECT_EQ(e.sqlState(), QStringLiteral("23514")) << c.column;
            // The constraint keeps the column's name as the file spells it.
            EXPECT_TRUE(
                e.engineText().contains(QStringLiteral("%1_width").arg(QLatin1String(c.column))))
                << e.engineText().toStdString();
            EXPECT_FALSE(e.connectionLost());
        }
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro")), 1);
}

// The test server orders texts the Turkish way: there ':' comes before the
// digits, 'a' before 'Z', and 'I' folds to 'ı'. Each row below is answered
// otherwise in that order than byte by byte.
TEST_F(PgTest, StoredTextsCompareByteForByte)
{
    Statement ins = db->prepare(QStringLiteral(
        "insert into bodro (YATDEVREILK, YATDEVRESON, YATBDRDEVMIK) values (?, ?, ?)"));
    const char *const rows[][3] = {{"01.12.2025", "01.12.2025", "2"},
                                   {"01.12.2024", "3:.11.2025", ":"},
                                   {"a.12.ı025", "31.12.2099", "1"},
                                   {"Z.12.2025", "31.12.2099", "1"}};
    for (const auto &r : rows) {
        ins.reset();
        ins.bind(1, QString::fromUtf8(r[0]))
            .bind(2, QString::fromUtf8(r[1]))
            .bind(3, QString::fromUtf8(r[2]))
            .run();
    }

    const auto bound = [&](const char *sql, const char *value) {
        Statement q = db->prepare(QString::fromUtf8(sql));
        q.bind(1, QString::fromUtf8(value));
        EXPECT_TRUE(q.step());
        return q.integer(0);
    };
    // Day first: 01.12.2025 comes before 30.11.2025 as a text; 3: after it.
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro where YATDEVRESON <= '30.11.2025'")),
              1);
    EXPECT_EQ(bound("select count(*) from bodro where YATDEVRESON <= ?", "30.11.2025"), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro where YATBDRDEVMIK > '1'")), 2);
    // The year search matches the end of the first day, folding ASCII only.
    EXPECT_EQ(bound("select count(*) from bodro where YATDEVREILK like '%' || ?", "2025"), 2);
    EXPECT_EQ(bound("select count(*) from bodro where YATDEVREILK like '%' || ?", "I025"), 0);
    EXPECT_EQ(bound("select count(*) from bodro where YATDEVREILK like '%' || ?", "ı025"), 1);

    Statement stored =
        db->prepare(QStringLiteral("select YATDEVREILK from bodro order by YATDEVREILK"));
    QStringList got;
    while (stored.step())
        got << stored.text(0);
    EXPECT_EQ(got, (QStringList{"01.12.2024", "01.12.2025", "Z.12.2025", "a.12.ı025"}));

    // The same comparisons in the database's own order answer otherwise.
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro where YATDEVRESON COLLATE "
                                   "\"default\" <= '30.11.2025'")),
              2);
    EXPECT_EQ(count(QStringLiteral(
                  "select count(*) from bodro where YATBDRDEVMIK COLLATE \"default\" > '1'")),
              1);
    EXPECT_EQ(
        bound("select count(*) from bodro where YATDEVREILK COLLATE \"default\" like '%' || ?",
              "I025"),
        1);
}

TEST_F(PgTest, TurkishCollationOrdersEmployerNames)
{
    Statement order = db->prepare(QStringLiteral(
        "select v from (values ('Zeytin'), ('çiçek'), ('Ilgaz'), ('ısparta'), ('Cam'), ('İzmir'))"
        " t(v) order by v collate turkce"));
    QStringList got;
    while (order.step())
        got << order.text(0);
    EXPECT_EQ(got, (QStringList{"Cam", "çiçek", "Ilgaz", "ısparta", "İzmir", "Zeytin"}));
}

TEST_F(PgTest, KeysFollowInsertOrder)
{
    Statement ins =
        db->prepare(QStringLiteral("insert into bodro (YATSRVNO) values (?) returning IDSIRA"));
    long long last = 0;
    for (int i = 0; i < 3; ++i) {
        ins.reset();
        ins.bind(1, QString::number(i));
        ASSERT_TRUE(ins.step());
        EXPECT_GT(ins.integer(0), last);
        last = ins.integer(0);
        EXPECT_FALSE(ins.step());
    }
    // Staged rows come back in the order of staging, whatever the values.
    Statement stage = db->prepare(QStringLiteral("insert into bodrotemp (YATSIRANO) values (?)"));
    for (const char *no : {"3", "1", "2"}) {
        stage.reset();
        stage.bind(1, QString::fromLatin1(no)).run();
    }
    Statement staged =
        db->prepare(QStringLiteral("select YATSIRANO from bodrotemp order by rowid"));
    QStringList order;
    while (staged.step())
        order << staged.text(0);
    EXPECT_EQ(order, (QStringList{"3", "1", "2"}));

    Statement byKey = db->prepare(QStringLiteral("select YATSRVNO from bodro where IDSIRA = ?"));
    byKey.bind(1, last);
    ASSERT_TRUE(byKey.step());
    EXPECT_EQ(byKey.text(0), QStringLiteral("2"));
}

TEST_F(PgTest, RowsComeOneAtATimeAndAWalkLeftHalfWayFreesTheConnection)
{
    db->execScript(QStringLiteral("insert into bodro (YATSIRANO) select g::text from "
                                  "generate_series(1, 500) g"));
    {
        Statement rows = db->prepare(QStringLiteral("select YATSIRANO from bodro order by IDSIRA"));
        ASSERT_TRUE(rows.step());
        EXPECT_EQ(rows.columnCount(), 1);
        EXPECT_EQ(rows.text(0), QStringLiteral("1"));
        ASSERT_TRUE(rows.step());
        EXPECT_EQ(rows.text(0), QStringLiteral("2"));
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro")), 500);

    // Other statements may run in the middle of a walk, as with SQLite: here
    // each row read is copied into bodrotemp before the next is read.
    Statement rows = db->prepare(QStringLiteral("select YATSIRANO from bodro order by IDSIRA"));
    Statement copy = db->prepare(QStringLiteral("insert into bodrotemp (YATSIRANO) values (?)"));
    int walked = 0;
    while (rows.step()) {
        EXPECT_EQ(rows.text(0), QString::number(++walked));
        copy.reset();
        copy.bind(1, rows.text(0));
        EXPECT_EQ(copy.run(), 1);
    }
    EXPECT_EQ(walked, 500);
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodrotemp")), 500);
    Statement del = db->prepare(QStringLiteral("delete from bodro where YATSIRANO::int > ?"));
    del.bind(1, 100LL);
    EXPECT_EQ(del.run(), 400);
}

TEST_F(PgTest, ErrorsCarryTheServersStateAndText)
{
    try {
        db->prepare(QStringLiteral("select nosuch from bodro"));
        FAIL() << "prepared a statement on a missing column";
    } catch (const PgError &e) {
        EXPECT_EQ(e.sqlState(), QStringLiteral("42703"));
        EXPECT_TRUE(e.engineText().contains(QStringLiteral("nosuch")));
    }
    // The connection is still usable after a failed statement.
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro")), 0);
    EXPECT_THROW(PgDatabase(connInfo + QStringLiteral(" user=nobody_here")), PgError);
}

TEST_F(PgTest, TransactionRolledBackLeavesNothing)
{
    {
        Transaction t(*db);
        db->prepare(QStringLiteral("insert into bodro (YATSRVNO) values (?)"))
            .bind(1, QStringLiteral("1"))
            .run();
        EXPECT_TRUE(db->inTransaction());
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro")), 0);
    {
        // A failing statement inside: the guard still undoes the rows before it.
        Transaction t(*db);
        Statement ins = db->prepare(QStringLiteral("insert into bodro (YATSRVNO) values (?)"));
        ins.bind(1, QStringLiteral("1")).run();
        ins.reset();
        ins.bind(1, QStringLiteral("1234567"));
        EXPECT_THROW(ins.run(), PgError);
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro")), 0);
    {
        Transaction t(*db);
        db->prepare(QStringLiteral("insert into bodro (YATSRVNO) values (?)"))
            .bind(1, QStringLiteral("2"))
            .run();
        t.commit();
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from bodro")), 1);
}

// The schema step of a server: desks that start at once on an empty
// database both get the tables, made once; one that lacks the return table
// and the send log gets them, the return table filled from the stored rows.
TEST(PgSchema, MadeOnceByDesksStartingTogetherAndCompletedWherePartsLack)
{
    ASSERT_FALSE(pgtrial::sharedServer().isEmpty()) << "no test server: run through ctest";
    const QString connInfo = pgtrial::testDatabase("s");
    std::vector<std::thread> desks;
    std::atomic<int> failures = 0;
    std::mutex said;
    QStringList why;
    for (int i = 0; i < 4; ++i)
        desks.emplace_back([&] {
            try {
                PgDatabase db(connInfo);
                pgschema::ensureSchema(db);
            } catch (const DbError &e) {
                ++failures;
                const std::lock_guard<std::mutex> lock(said);
                why << e.engineText();
            }
        });
    for (std::thread &t : desks)
        t.join();
    EXPECT_EQ(failures, 0) << why.join(u'\n').toStdString();
    PgDatabase db(connInfo);
    for (const char *table : {"bodro", "bodrotemp", "muhisv", "bodroliste", "gonderim"})
        EXPECT_TRUE(db.hasTable(QLatin1String(table))) << table;

    db.execScript(QStringLiteral(
        "insert into bodro (YATISVER, ISVISIM, YATDEVREILK, YATDEVRESON, YATBODROTUR) values "
        "('010001000001', 'Bir', '01.03.2013', '31.03.2013', '01'), "
        "('010001000001', 'Bir', '01.03.2013', '31.03.2013', '01'), "
        "('010001000002', NULL, '01.03.2013', '31.03.2013', '01');"
        "drop table bodroliste; drop table gonderim"));
    pgschema::ensureSchema(db);
    EXPECT_TRUE(db.hasTable(QStringLiteral("gonderim")));
    EXPECT_EQ(pgtrial::scalar(db, QStringLiteral("select count(*) from bodroliste")), 2);
    // The rebuilt table is kept by its triggers as before.
    db.execScript(QStringLiteral("delete from bodro where YATISVER = '010001000002'"));
    EXPECT_EQ(pgtrial::scalar(db, QStringLiteral("select count(*) from bodroliste")), 1);
    pgschema::ensureSchema(db);
    EXPECT_EQ(pgtrial::scalar(db, QStringLiteral("select count(*) from bodroliste")), 1);
}

// On a server of its own, so that no other test loses its connection.
TEST(PgServer, KilledMidTransactionKeepsNothing)
{
    pgtrial::OwnServer server(QStringLiteral(SARVEK_PG_STATE "-killed"));
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    const QString connInfo = pgtrial::emptyDatabase(server.connInfo(), QStringLiteral("killed"));
    PgDatabase db(connInfo);
    db.execScript(pgschema::createScript());
    const auto count = [](Database &on) {
        return pgtrial::scalar(on, QStringLiteral("select count(*) from bodro"));
    };

    bool thrown = false;
    try {
        Transaction t(db);
        Statement ins = db.prepare(QStringLiteral("insert into bodro (YATSIRANO) values (?)"));
        for (int i = 1; i <= 1000; ++i) {
            if (i == 500) {
                ASSERT_TRUE(server.kill().isEmpty());
            }
            ins.reset();
            ins.bind(1, QString::number(i));
            ins.run();
        }
        t.commit();
    } catch (const PgError &e) {
        thrown = true;
        EXPECT_TRUE(e.connectionLost()) << e.sqlState().toStdString();
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Veritabanı sunucusuna bağlanılamadı")))
            << e.message().toStdString();
    }
    EXPECT_TRUE(thrown);
    ASSERT_TRUE(server.start().isEmpty());
    PgDatabase again(connInfo);
    EXPECT_EQ(count(again), 0);
    // The desk's own connection is made again by its next command.
    EXPECT_EQ(count(db), 0);
    Transaction t(db);
    db.prepare(QStringLiteral("insert into bodro (YATSIRANO) values ('1')")).run();
    t.commit();
    EXPECT_EQ(count(db), 1);
}

} // namespace
