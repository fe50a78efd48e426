// Contents and order of the two return lists' statements on a stored fixture.
#include "core/backends.h"
#include "lists/returnlists.h"
#include "store/returntable.h"
#include "store/sqlite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <QLocale>

namespace
{

const QString A = QStringLiteral("010001000001");
const QString B = QStringLiteral("020002000002");
const QString C = QStringLiteral("030003000003");

BodroRow row(const QString &isver, const QString &isvisim, const QString &ilk, const QString &son,
             const QString &tur, const QString &seq)
{
    BodroRow r;
    r.isver = isver;
    r.isvisim = isvisim;
    r.ilk = ilk;
    r.son = son;
    r.tur = tur;
    r.seq = seq;
    return r;
}

// The rows above went straight into bodro, as in a file written before the
// return table: the list sees them once the table is built from bodro. A
// server's table was kept in step by every insert.
void rebuildReturnTable(Tdm &dm)
{
    if (SqliteDatabase *file = dm.localFile()) {
        dm.execute(QStringLiteral("drop table bodroliste"));
        returntable::ensureReturnTable(*file);
    }
}

// Employer A "Zeta" has four March 2013 returns (ASIL, EK, a second ASIL, a
// retroactive "11") and one for April; B "Alfa" starts one period on the 2nd;
// C "Beta" has returns in 2023 and 2026.
void storeFixture(Tdm &dm)
{
    const QString zeta = QStringLiteral("Zeta Ltd.");
    const QString alfa = QStringLiteral("Alfa A.Ş.");
    const QString beta = QStringLiteral("Beta Ltd.");
    BodroRow second = row(A, zeta, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
                          QStringLiteral("01"), QStringLiteral("1"));
    insertBodro(dm, second);
    second.siraNo = QStringLiteral("2");
    second.srvno = QStringLiteral("654321");
    insertBodro(dm, second); // a second employee of the same return
    insertBodro(dm, row(A, zeta, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
                        QStringLiteral("02"), QStringLiteral("1")));
    insertBodro(dm, row(A, zeta, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
                        QStringLiteral("01"), QStringLiteral("2")));
    insertBodro(dm, row(A, zeta, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
                        QStringLiteral("11"), QStringLiteral("1")));
    insertBodro(dm, row(A, zeta, QStringLiteral("01.04.2013"), QStringLiteral("30.04.2013"),
                        QStringLiteral("01"), QStringLiteral("1")));
    insertBodro(dm, row(B, alfa, QStringLiteral("02.03.2013"), QStringLiteral("31.03.2013"),
                        QStringLiteral("01"), QStringLiteral("1")));
    insertBodro(dm, row(B, alfa, QStringLiteral("01.04.2013"), QStringLiteral("30.04.2013"),
                        QStringLiteral("01"), QStringLiteral("1")));
    insertBodro(dm, row(C, beta, QStringLiteral("01.05.2023"), QStringLiteral("31.05.2023"),
                        QStringLiteral("01"), QStringLiteral("1")));
    insertBodro(dm, row(C, beta, QStringLiteral("01.11.2026"), QStringLiteral("30.11.2026"),
                        QStringLiteral("02"), QStringLiteral("1")));
    rebuildReturnTable(dm);
}

QStringList line(std::initializer_list<const char *> fields)
{
    QStringList out;
    for (const char *f : fields)
        out << QString::fromUtf8(f);
    return out;
}

// The server gives unquoted names back in lower case; the screens look
// columns up without regard to case.
QStringList columnNames(const Query &q)
{
    QStringList names;
    for (const QString &c : q.columns())
        names << c.toUpper();
    return names;
}

} // namespace

using ReturnLists = BackendTest;

TEST_P(ReturnLists, EmployerListShowsEachReturnOfThatPeriodOnceWithoutRetroactiveTypes)
{
    Workspace ws(backend());
    storeFixture(*ws.dm);
    Query &q = ws.dm->Query1;
    listEmployerReturns(q, A, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"));
    ASSERT_TRUE(q.isOpen());
    EXPECT_EQ(columnNames(q),
              line({"YATISVER", "YATDEVREILK", "YATDEVRESON", "YATBODROTUR", "YATBDRDEVMIK"}));
    QList<QStringList> rows = q.rows();
    std::sort(rows.begin(), rows.end());
    const QList<QStringList> expected = {
        line({"010001000001", "01.03.2013", "31.03.2013", "01", "1"}),
        line({"010001000001", "01.03.2013", "31.03.2013", "01", "2"}),
        line({"010001000001", "01.03.2013", "31.03.2013", "02", "1"}),
    };
    EXPECT_EQ(rows, expected);
}

TEST_P(ReturnLists, EmployerListNeedsTheExactPeriodAndEmployer)
{
    Workspace ws(backend());
    storeFixture(*ws.dm);
    Query &q = ws.dm->Query1;
    listEmployerReturns(q, A, QStringLiteral("1.3.2013"), QStringLiteral("31.03.2013"));
    EXPECT_TRUE(q.isEmpty());
    listEmployerReturns(q, B, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"));
    EXPECT_TRUE(q.isEmpty());
    listEmployerReturns(q, QStringLiteral("' OR '1'='1"), QStringLiteral("01.03.2013"),
                        QStringLiteral("31.03.2013"));
    EXPECT_TRUE(q.isEmpty());
}

TEST_P(ReturnLists, YearSearchMatchesTheEndOfTheFirstDayAndSortsByNameThenDayFirstText)
{
    Workspace ws(backend());
    storeFixture(*ws.dm);
    const QList<QStringList> alfa = {
        // 01.04 sorts before 02.03: the text starts with the day.
        line({"020002000002", "Alfa A.Ş.", "01.04.2013", "30.04.2013", "01", "1"}),
        line({"020002000002", "Alfa A.Ş.", "02.03.2013", "31.03.2013", "01", "1"}),
    };
    const QList<QStringList> beta2023 = {
        line({"030003000003", "Beta Ltd.", "01.05.2023", "31.05.2023", "01", "1"}),
    };
    const QList<QStringList> beta2026 = {
        line({"030003000003", "Beta Ltd.", "01.11.2026", "30.11.2026", "02", "1"}),
    };
    const QList<QStringList> zeta = {
        line({"010001000001", "Zeta Ltd.", "01.03.2013", "31.03.2013", "01", "1"}),
        line({"010001000001", "Zeta Ltd.", "01.03.2013", "31.03.2013", "01", "2"}),
        line({"010001000001", "Zeta Ltd.", "01.03.2013", "31.03.2013", "02", "1"}),
        line({"010001000001", "Zeta Ltd.", "01.03.2013", "31.03.2013", "11", "1"}),
        line({"010001000001", "Zeta Ltd.", "01.04.2013", "30.04.2013", "01", "1"}),
    };
    struct Case {
        const char *year;
        QList<QStringList> expected;
    } cases[] = {
        {"2013", alfa + zeta},
        {"2026", beta2026},
        {"3", alfa + beta2023 + zeta},
        {"", alfa + beta2023 + beta2026 + zeta},
        {"1999", {}},
        {"'", {}},
        // LIKE's wildcards keep their meaning.
        {"_013", alfa + zeta},
        {"%", alfa + beta2023 + beta2026 + zeta},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.year);
        Query &q = ws.dm->Query1;
        searchAllReturns(q, QString::fromUtf8(c.year));
        ASSERT_TRUE(q.isOpen());
        EXPECT_EQ(columnNames(q), line({"YATISVER", "ISVISIM", "YATDEVREILK", "YATDEVRESON",
                                        "YATBODROTUR", "YATBDRDEVMIK"}));
        // The order is by name and first day; rows equal in both may come in
        // any order, so those two columns are compared in order and the whole
        // rows as sets.
        const auto keys = [](const QList<QStringList> &rows) {
            QList<QStringList> out;
            for (const QStringList &r : rows)
                out << QStringList{r[1], r[2]};
            return out;
        };
        EXPECT_EQ(keys(q.rows()), keys(c.expected));
        QList<QStringList> rows = q.rows();
        std::sort(rows.begin(), rows.end());
        QList<QStringList> expected = c.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows, expected);
    }
}

TEST_P(ReturnLists, YearSearchSortsNamesInTurkishOrderWithTurkishCaseAndKeepsNameVariants)
{
    Workspace ws(backend());
    // Stored in character-code order, which puts every Turkish initial and
    // every lower-case name after "Zeki".
    const char *names[] = {"Ilgaz", "Zeki", "ayşe",  "ilker", "Çelik",
                           "Öz",    "İnci", "Şahin", "ırmak", "Ayşe"};
    int n = 0;
    for (const char *name : names) {
        BodroRow r = row(QStringLiteral("0100010000%1").arg(++n, 2, 10, QLatin1Char('0')),
                         QString::fromUtf8(name), QStringLiteral("01.03.2013"),
                         QStringLiteral("31.03.2013"), QStringLiteral("01"), QStringLiteral("1"));
        insertBodro(*ws.dm, r);
        if (n == 1) {
            // The same return with its name typed two ways lists twice.
            r.isvisim = QStringLiteral("ILGAZ");
            insertBodro(*ws.dm, r);
        }
    }
    rebuildReturnTable(*ws.dm);
    Query &q = ws.dm->Query1;
    searchAllReturns(q, QStringLiteral("2013"));
    // Names equal but for case may come either way round, so the order is
    // checked on the names lower-cased the Turkish way, the names themselves
    // as a set.
    const QLocale turkish(QLocale::Turkish);
    QStringList folded, shown;
    for (const QStringList &r : q.rows()) {
        folded << turkish.toLower(r[1]);
        shown << r[1];
    }
    EXPECT_EQ(folded, line({"ayşe", "ayşe", "çelik", "ılgaz", "ılgaz", "ırmak", "ilker", "inci",
                            "öz", "şahin", "zeki"}));
    QStringList stored = line({"Ilgaz", "ILGAZ", "Zeki", "ayşe", "ilker", "Çelik", "Öz", "İnci",
                               "Şahin", "ırmak", "Ayşe"});
    stored.sort();
    shown.sort();
    EXPECT_EQ(shown, stored);
}

// A text of four UTF-16 units is not always four characters, and LIKE's
// pattern ends at a NUL: the year index must then be left out, or it finds
// fewer returns than LIKE does.
TEST_P(ReturnLists, YearSearchFindsWhatLikeFindsWhateverTheText)
{
    Workspace ws(backend());
    const QString astral = QStringLiteral("01.03.2\U0001F600"
                                          "13");
    int n = 0;
    for (const QString &ilk : {astral, QStringLiteral("01.03.2013"), QStringLiteral("01.03.2012")})
        insertBodro(*ws.dm, row(QStringLiteral("0100010000%1").arg(++n, 2, 10, QLatin1Char('0')),
                                QStringLiteral("Deneme"), ilk, QStringLiteral("31.03.2013"),
                                QStringLiteral("01"), QStringLiteral("1")));
    rebuildReturnTable(*ws.dm);
    const struct {
        QString text;
        QStringList firstDays;
    } cases[] = {
        {QStringLiteral("\U0001F600"
                        "13"),
         {astral}}, // four units, three characters
        {QStringLiteral("013") + QChar(u'\0'), {QStringLiteral("01.03.2013")}},
        {QStringLiteral("2013"), {QStringLiteral("01.03.2013")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Query &q = ws.dm->Query1;
        // The server keeps no NUL in a text and refuses one rather than
        // search for a text cut short.
        if (backend() == Backend::Postgres && c.text.contains(QChar(u'\0'))) {
            EXPECT_THROW(searchAllReturns(q, c.text), DbError);
            continue;
        }
        searchAllReturns(q, c.text);
        QStringList found;
        for (const QStringList &r : q.rows())
            found << r[2];
        EXPECT_EQ(found, c.firstDays);
        QStringList liked;
        for (const QStringList &r :
             ws.dm->select(QStringLiteral("select YATDEVREILK from bodroliste where YATDEVREILK "
                                          "like '%' || ? order by YATDEVREILK"),
                           {c.text}))
            liked << r[0];
        EXPECT_EQ(found, liked);
    }
}

INSTANTIATE_BACKENDS(ReturnLists);
