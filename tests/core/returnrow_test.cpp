// The stored-row codec: what each reading makes of a stored rate and gross
// pay, rows read alike from a statement and from a query, and the return key
// as the statements bind it.
#include "base/amounttext.h"
#include "core/testutil.h"
#include "store/returnrow.h"
#include "store/sqlite.h"

#include <gtest/gtest.h>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// A reading that refuses the text shows as "refused".
template <typename Read> QString shown(Read read)
{
    try {
        return read().toPlain();
    } catch (const ConversionError &) {
        return QStringLiteral("refused");
    }
}

TEST(StoredRate, EachReadingOfATable)
{
    struct Case {
        const char *text;
        const char *value;   // strict, as the summary, file and printout read it
        const char *rounded; // two decimals: the summary, the printed premium
        const char *entered; // the reload
        const char *amountText;
    };
    const Case cases[] = {
        {"", "refused", "refused", "0", "refused"},
        {"5", "5", "5", "5", "5.00"},
        {"5.00", "5", "5", "5", "5.00"},
        {" 2.5 ", "2.5", "2.5", "2.5", "2.50"},
        {"2.345", "2.345", "2.35", "2.35", "2.35"},
        {"1,000.00", "refused", "refused", "1000", "refused"},
        {"abc", "refused", "refused", "refused", "refused"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const StoredRate rate = StoredRate::read(u(c.text));
        EXPECT_EQ(rate.text(), u(c.text));
        EXPECT_EQ(shown([&] { return rate.value(); }), u(c.value));
        EXPECT_EQ(shown([&] { return rate.rounded(); }), u(c.rounded));
        EXPECT_EQ(shown([&] { return rate.entered(); }), u(c.entered));
        QString text;
        try {
            text = rate.amountText();
        } catch (const ConversionError &) {
            text = QStringLiteral("refused");
        }
        EXPECT_EQ(text, u(c.amountText));
    }
}

TEST(StoredRate, RefusalNamesTheText)
{
    try {
        StoredRate::read(u("abc")).value();
        FAIL() << "a text that is not a number was read";
    } catch (const ConversionError &e) {
        EXPECT_TRUE(e.message().contains(u("abc"))) << e.message().toStdString();
    }
}

TEST(StoredGross, ReadAsTheAmountFieldReadsIt)
{
    const std::pair<const char *, const char *> cases[] = {
        {"1,234.56", "1234.56"}, {"1234.5", "123.45"}, {"1234.56", "1234.56"},
        {"0.00", "0"},           {"abc", "0"},         {"", "0"},
    };
    for (const auto &[text, value] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(storedGross(u(text)).toPlain(), u(value));
    }
    // Stored amount text is read by its digits; everything near that form
    // must still come out as the amount field reads it.
    for (const char *text :
         {"1,234.56", "12,345,678,901,234.99", "99,999,999,999,999.99", "999,999,999,999,999.99",
          ".50", "5.", "5.5", "5.555", "1,2,3.45", "1.2,3", "-5.00", " 5.00", "5.00 ", "1e3.00",
          "0", "0.00", "00,012.30", "1..00", ",.12"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(storedGross(u(text)), amount::textAsFloat(u(text)));
    }
}

TEST(StoredRow, PremiumRateRoundedDepositRateAsStored)
{
    StoredRow row;
    row.premiumRate = StoredRate::read(u("2.345"));
    row.depositRate = StoredRate::read(u("2.345"));
    EXPECT_EQ(row.premiumRateRounded().toPlain(), u("2.35"));
    EXPECT_EQ(row.depositRate.value().toPlain(), u("2.345"));
}

class StoredRowRead : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        // Rates change from row to row and come back, so that a reading kept
        // from the row before would show.
        const char *premium[] = {"5", "", "5", "2.345"};
        for (int i = 0; i < 4; ++i) {
            BodroRow r;
            r.siraNo = QString::number(i + 1);
            r.primor = u(premium[i]);
            r.brut = i == 3 ? u("1234.5") : u("1,234.56");
            r.isim = u("Ayşe Çelik");
            insertBodro(*ws.dm, r);
        }
        ws.dm->db().execScript(u("update bodro set YATSSKNO = NULL where YATSIRANO = '2'"));
    }

    void expectRows(const QList<StoredRow> &rows)
    {
        ASSERT_EQ(rows.size(), 4);
        const char *entered[] = {"5", "0", "5", "2.35"};
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            const StoredRow &r = rows[i];
            EXPECT_EQ(r.number, QString::number(i + 1));
            EXPECT_EQ(r.key.employer, u("010001000001"));
            EXPECT_EQ(r.key.periodStart, u("01.03.2013"));
            EXPECT_EQ(r.key.seqNo, u("1"));
            EXPECT_EQ(r.employerName, u("Deneme Ltd."));
            EXPECT_EQ(r.name, u("Ayşe Çelik"));
            EXPECT_EQ(r.insuranceNo, i == 1 ? QString() : u("123456789"));
            EXPECT_EQ(r.premiumRate.entered().toPlain(), u(entered[i]));
            EXPECT_EQ(r.depositRate.value().toPlain(), u("10"));
            EXPECT_EQ(r.gross().toPlain(), i == 3 ? u("123.45") : u("1234.56"));
        }
        EXPECT_THROW(rows[1].premiumRate.value(), ConversionError);
    }

    Workspace ws;
};

TEST_F(StoredRowRead, FromAStatementAndFromAQueryAlike)
{
    Statement st = ws.dm->db().prepare(u("select * from bodro order by IDSIRA"));
    StoredRowReader reader(st);
    QList<StoredRow> fromStatement;
    StoredRow row; // reused, as the streaming readers do
    while (st.step()) {
        reader.read(st, row);
        fromStatement << row;
    }
    expectRows(fromStatement);

    // A new row each time, very likely at the same address: nothing of the
    // row before may be taken for it.
    st.reset();
    QList<StoredRow> fresh;
    while (st.step()) {
        StoredRow one;
        reader.read(st, one);
        fresh << one;
    }
    expectRows(fresh);

    const QList<QStringList> all = ws.dm->select(u("select * from bodro order by IDSIRA"));
    Statement names = ws.dm->db().prepare(u("select * from bodro limit 0"));
    QStringList columns;
    for (int i = 0; i < names.columnCount(); ++i)
        columns << names.columnName(i);
    StoredRowReader queryReader(columns, StoredRowReader::Missing::Refuse);
    QList<StoredRow> fromQuery;
    for (const QStringList &values : all) {
        queryReader.read(values, row);
        fromQuery << row;
    }
    expectRows(fromQuery);
}

TEST_F(StoredRowRead, AColumnTheResultLacks)
{
    Statement st = ws.dm->db().prepare(u("select YATISVER, YATBRUT from bodro order by IDSIRA"));
    StoredRowReader reader(st);
    ASSERT_TRUE(st.step());
    StoredRow row;
    reader.read(st, row);
    EXPECT_EQ(row.key.employer, u("010001000001"));
    EXPECT_EQ(row.gross().toPlain(), u("1234.56"));
    EXPECT_TRUE(row.name.isEmpty());

    EXPECT_THROW(StoredRowReader(st, StoredRowReader::Missing::Refuse), DbError);
}

TEST(ReturnKey, PredicateAndValuesInKeyOrder)
{
    const ReturnKey key{u("010001000001"), u("01.03.2013"), u("31.03.2013"), u("02"), u("3")};
    EXPECT_EQ(ReturnKey::where(), u("YATISVER = ? AND YATDEVREILK = ? AND YATDEVRESON = ? AND "
                                    "YATBODROTUR = ? AND YATBDRDEVMIK = ?"));
    EXPECT_EQ(key.values(),
              (QVariantList{u("010001000001"), u("01.03.2013"), u("31.03.2013"), u("02"), u("3")}));
    EXPECT_EQ(ReturnKey::where(ReturnKey::Scope::Type),
              u("YATISVER = ? AND YATDEVREILK = ? AND YATDEVRESON = ? AND YATBODROTUR = ?"));
    EXPECT_EQ(key.values(ReturnKey::Scope::Type).size(), 4);
    EXPECT_EQ(ReturnKey::where(ReturnKey::Scope::Period),
              u("YATISVER = ? AND YATDEVREILK = ? AND YATDEVRESON = ?"));
    EXPECT_EQ(key.values(ReturnKey::Scope::Period).size(), 3);
}

} // namespace
