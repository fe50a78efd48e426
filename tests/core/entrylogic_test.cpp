// The entry screen's plain rules: registry-number fields, month end, grid key
// rules, row deletion and the contribution arithmetic.
#include "base/errors.h"
#include "entry/arithmetic.h"
#include "entry/gridrules.h"
#include "entry/headerrules.h"

#include <gtest/gtest.h>

using namespace entrygrid;
using entryheader::RegistryPart;

namespace
{

struct PartCase {
    RegistryPart part;
    const char *typed;
    const char *shown;
    int messages;
    bool focusBack;
    bool lookUp;
    bool conversionFails;
};

const PartCase partCases[] = {
    {RegistryPart::District, "", "00", 0, false, false, false},
    {RegistryPart::District, "6", "06", 0, false, false, false},
    {RegistryPart::District, "06", "06", 0, false, false, false},
    {RegistryPart::District, "07", "07", 1, true, false, false},
    {RegistryPart::District, "7", "07", 1, true, false, false},
    {RegistryPart::District, "10", "10", 1, true, false, false},
    {RegistryPart::District, "xy", "xy", 1, true, false, false},
    {RegistryPart::Index, "12", "0012", 0, false, false, false},
    {RegistryPart::Index, "0000", "0000", 1, true, false, false},
    {RegistryPart::Index, "", "0000", 1, true, false, false},
    {RegistryPart::Index, "a1b2", "a1b2", 2, true, false, true},
    {RegistryPart::Index, "-12", "0-12", 1, true, false, true},
    {RegistryPart::Sequence, "1234", "001234", 0, false, true, false},
    {RegistryPart::Sequence, "999999", "999999", 0, false, true, false},
    {RegistryPart::Sequence, "000", "000000", 1, true, false, false},
    {RegistryPart::Sequence, "12 4", "0012 4", 1, true, false, true},
};

class RegistryPartTest : public testing::TestWithParam<PartCase>
{
};

TEST_P(RegistryPartTest, Leave)
{
    const PartCase &c = GetParam();
    const entryheader::PartExit out =
        entryheader::leaveRegistryPart(c.part, QString::fromUtf8(c.typed));
    EXPECT_EQ(out.text, QString::fromUtf8(c.shown));
    EXPECT_EQ(out.messages.size(), c.messages);
    EXPECT_EQ(out.focusBack, c.focusBack);
    EXPECT_EQ(out.lookUp, c.lookUp);
    EXPECT_EQ(!out.conversionError.isEmpty(), c.conversionFails);
}

INSTANTIATE_TEST_SUITE_P(Entry, RegistryPartTest, testing::ValuesIn(partCases));

TEST(EntryHeader, MessagesNameTheirRule)
{
    using namespace entryheader;
    EXPECT_EQ(leaveRegistryPart(RegistryPart::District, "09").messages,
              QStringList{DistrictRangeMessage});
    EXPECT_EQ(leaveRegistryPart(RegistryPart::Index, "0").messages, QStringList{NotZeroMessage});
    EXPECT_EQ(leaveRegistryPart(RegistryPart::Sequence, "1x").messages,
              QStringList{NotDigitsMessage});
}

TEST(EntryHeader, MonthEndRule)
{
    const struct {
        const char *work;
        QDate end;
    } cases[] = {
        {"15.02.2024", QDate(2024, 2, 29)},  {"01.02.2023", QDate(2023, 2, 28)},
        {"10.02.2000", QDate(2000, 2, 29)},  {"10.02.2100", QDate(2100, 2, 28)},
        {"31.01.2025", QDate(2025, 1, 31)},  {"01.04.2025", QDate(2025, 4, 30)},
        {"05.12.2025", QDate(2025, 12, 31)},
    };
    for (const auto &c : cases) {
        const entryheader::Period p = entryheader::monthEndRule(QString::fromLatin1(c.work));
        EXPECT_EQ(p.start, QDate::fromString(QString::fromLatin1(c.work), "dd.MM.yyyy")) << c.work;
        EXPECT_EQ(p.end, c.end) << c.work;
    }
    EXPECT_THROW(entryheader::monthEndRule("31.02.2025"), ConversionError);
    EXPECT_EQ(entryheader::openingWorkText(QDate(2025, 3, 14)), QStringLiteral("01.03.2025"));
}

TEST(EntryHeader, ToInteger)
{
    EXPECT_EQ(entryheader::toInteger("30"), 30);
    EXPECT_EQ(entryheader::toInteger(" 7"), 7);
    EXPECT_THROW(entryheader::toInteger(""), ConversionError);
    EXPECT_THROW(entryheader::toInteger("2a"), ConversionError);
}

// A grid of the title row and the given data rows; each row is given as
// (column, text) pairs over a template row.
GridCells gridOf(std::initializer_list<std::initializer_list<std::pair<int, QString>>> rows)
{
    GridCells grid{columnTitles()};
    int number = 1;
    for (const auto &cells : rows) {
        QStringList row = templateRow(number++);
        for (const auto &[col, text] : cells)
            row[col] = text;
        grid << row;
    }
    return grid;
}

struct KeyRun {
    GridCells grid;
    Cursor cursor;
    bool acts;
    QStringList said;
    QStringList lookedUp;
    int rowCounter;
};

KeyRun runKey(GridCells grid, Cursor cursor, Key key, bool asil = false,
              std::optional<Employee> found = std::nullopt)
{
    KeyRun run{std::move(grid), cursor, false, {}, {}, 1};
    KeyEnv env;
    env.asil = asil;
    env.say = [&run](const QString &t) { run.said << t; };
    env.lookUp = [&run, found](const QString &no) {
        run.lookedUp << no;
        return found;
    };
    run.acts = applyKeyRules(run.grid, run.cursor, key, run.rowCounter, env);
    return run;
}

TEST(EntryGrid, FreshGridAndColumns)
{
    const GridCells g = freshGrid();
    ASSERT_EQ(g.size(), 2);
    EXPECT_EQ(g[0][AylikKazanc], QStringLiteral("Aylık Kazanç"));
    EXPECT_EQ(g[1], (QStringList{"1", "", "", "", "", "", "", "", "0", "0", "0", "0", "0", "0"}));
    int sum = 0;
    for (int w : columnWidths())
        sum += w;
    EXPECT_EQ(sum, 1170);
}

TEST(EntryGrid, FundNumberLengthRunsOnRightOnly)
{
    const GridCells g = gridOf({{{SarvekNo, "12345"}}});
    KeyRun right = runKey(g, {1, SarvekNo}, Key::Right);
    EXPECT_EQ(right.said, QStringList{SarvekNoMessage});
    EXPECT_EQ(right.cursor, (Cursor{1, SNo}));
    EXPECT_TRUE(right.acts);
    EXPECT_TRUE(right.lookedUp.isEmpty());

    KeyRun other = runKey(g, {1, SarvekNo}, Key::Other);
    EXPECT_TRUE(other.said.isEmpty());
    EXPECT_EQ(other.cursor, (Cursor{1, SarvekNo}));

    // In column 0 there is nowhere to step to: the cursor stays, the key is dropped.
    KeyRun first = runKey(g, {1, SNo}, Key::Right);
    EXPECT_EQ(first.said, QStringList{SarvekNoMessage});
    EXPECT_EQ(first.cursor, (Cursor{1, SNo}));
    EXPECT_FALSE(first.acts);
}

TEST(EntryGrid, LengthRulesTestTheLastRow)
{
    // Row 1 holds an over-long identity number; only the last row is tested.
    const GridCells g = gridOf({{{KimlikNo, QString(13, u'1')}}, {{KimlikNo, "1"}}});
    EXPECT_TRUE(runKey(g, {1, KimlikNo}, Key::Right).said.isEmpty());
    const GridCells h = gridOf({{{KimlikNo, "1"}}, {{KimlikNo, QString(13, u'1')}}});
    EXPECT_EQ(runKey(h, {1, KimlikNo}, Key::Right).said, QStringList{KimlikNoMessage});
}

TEST(EntryGrid, LookUpFillsColumnsTwoToSix)
{
    const Employee e{"11122233344", "987654321", "Ayşe", "K", "22"};
    KeyRun run = runKey(gridOf({{{SarvekNo, "123456"}, {AdiSoyadi, "typed"}}}), {1, SarvekNo},
                        Key::Right, false, e);
    EXPECT_EQ(run.lookedUp, QStringList{"123456"});
    EXPECT_EQ(run.grid[1].mid(KimlikNo, 5),
              (QStringList{"11122233344", "987654321", "Ayşe", "K", "22"}));
    KeyRun none =
        runKey(gridOf({{{SarvekNo, "123456"}, {AdiSoyadi, "typed"}}}), {1, SarvekNo}, Key::Right);
    EXPECT_EQ(none.grid[1][AdiSoyadi], QStringLiteral("typed"));
    EXPECT_TRUE(runKey(gridOf({{}}), {1, SarvekNo}, Key::Right).lookedUp.isEmpty());
}

TEST(EntryGrid, NewRowAfterComputedTotal)
{
    const GridCells g = gridOf({{{SarvekNo, "123456"}, {Toplam, "0.00"}}});
    KeyRun run = runKey(g, {1, POrani}, Key::Other);
    ASSERT_EQ(run.grid.size(), 3);
    EXPECT_EQ(run.grid[2], templateRow(2));
    EXPECT_EQ(run.rowCounter, 2);

    // No fund number in the current row: no new row.
    EXPECT_EQ(runKey(gridOf({{{Toplam, "0.00"}}}), {1, POrani}, Key::Other).grid.size(), 2);
    // A row number that is not whole cannot be counted on.
    EXPECT_THROW(runKey(gridOf({{{SNo, "x"}, {SarvekNo, "123456"}, {Toplam, "1.00"}}}), {1, POrani},
                        Key::Other),
                 ConversionError);
}

TEST(EntryGrid, JumpFromDepositAmount)
{
    const GridCells g = gridOf({{}, {}, {}});
    KeyRun run = runKey(g, {1, DTutari}, Key::Other);
    EXPECT_EQ(run.cursor, (Cursor{3, SNo}));
    EXPECT_TRUE(run.acts);
}

TEST(EntryGrid, SexIsUpperCasedAsciiOnly)
{
    KeyRun e = runKey(gridOf({{{Cinsiyet, "e"}}}), {1, Cinsiyet}, Key::Right);
    EXPECT_EQ(e.grid[1][Cinsiyet], QStringLiteral("E"));
    EXPECT_TRUE(e.said.isEmpty());
    EXPECT_EQ(upperAscii(QStringLiteral("aızi")), QStringLiteral("AıZI"));
    // An empty sex is refused once: the cursor has left column 5 for the second rule.
    KeyRun empty = runKey(gridOf({{}}), {1, Cinsiyet}, Key::Right);
    EXPECT_EQ(empty.said, QStringList{CinsiyetMessage});
    EXPECT_EQ(empty.cursor, (Cursor{1, AdiSoyadi}));
}

TEST(EntryGrid, LeaveReasonOnlyUnderAsil)
{
    const GridCells g = gridOf({{{GunSayisi, "20"}}});
    KeyRun asil = runKey(g, {1, IzinNedeni}, Key::Right, true);
    EXPECT_EQ(asil.said, (QStringList{ThirtyDaysMessage, LeaveLetterMessage}));
    EXPECT_EQ(asil.cursor, (Cursor{1, GunSayisi}));
    EXPECT_TRUE(asil.acts); // the Right arrow brings it back onto the reason

    EXPECT_TRUE(runKey(g, {1, IzinNedeni}, Key::Right, false).said.isEmpty());
    EXPECT_TRUE(runKey(g, {1, IzinNedeni}, Key::Other, true).said.isEmpty());

    KeyRun noDays = runKey(gridOf({{}}), {1, IzinNedeni}, Key::Right, true);
    EXPECT_EQ(noDays.said, QStringList{NoDaysMessage});
    EXPECT_EQ(noDays.cursor, (Cursor{1, GunSayisi}));
    EXPECT_FALSE(noDays.acts);

    for (const char *letter : {"a", "C", "d", "G", "h", "o", "P"}) {
        KeyRun ok = runKey(gridOf({{{GunSayisi, "3"}, {IzinNedeni, letter}}}), {1, IzinNedeni},
                           Key::Right, true);
        EXPECT_TRUE(ok.said.isEmpty()) << letter;
        EXPECT_EQ(ok.grid[1][IzinNedeni], QString::fromLatin1(letter).toUpper());
    }
    EXPECT_THROW(
        runKey(gridOf({{{GunSayisi, "on"}, {IzinNedeni, "A"}}}), {1, IzinNedeni}, Key::Right, true),
        ConversionError);
}

TEST(EntryGrid, DeleteRow)
{
    GridCells g =
        gridOf({{{SarvekNo, "a"}}, {{SarvekNo, "b"}}, {{SarvekNo, "c"}}, {{SarvekNo, "d"}}});
    g[4][SNo] = QString();
    deleteRow(g, 2);
    ASSERT_EQ(g.size(), 4);
    EXPECT_EQ((QStringList{g[1][SNo], g[2][SNo], g[3][SNo]}), (QStringList{"1", "2", ""}));
    EXPECT_EQ((QStringList{g[1][SarvekNo], g[2][SarvekNo], g[3][SarvekNo]}),
              (QStringList{"a", "c", "d"}));

    GridCells only = gridOf({{{SarvekNo, "a"}, {Toplam, "5.00"}}});
    deleteRow(only, 1);
    EXPECT_EQ(only, freshGrid());

    GridCells bad = gridOf({{}, {}, {{SNo, "x"}}});
    const GridCells before = bad;
    EXPECT_THROW(deleteRow(bad, 1), ConversionError);
    EXPECT_EQ(bad, before);
}

struct ArithCase {
    int column;
    QStringList cells; // columns 8 to 13 before
    QStringList after; // columns 8 to 13 after
    bool gross, premium, deposit;
};

QStringList rowWith(const QStringList &amounts)
{
    QStringList row = templateRow(1);
    for (int i = 0; i < amounts.size(); ++i)
        row[AylikKazanc + i] = amounts[i];
    return row;
}

TEST(EntryArithmetic, CellRules)
{
    const ArithCase cases[] = {
        {AylikKazanc,
         {"2,500.5", "2", "0", "3.5", "0", "0"},
         {"2,500.50", "2", "50.01", "3.5", "87.52", "137.53"},
         true,
         true,
         true},
        {AylikKazanc,
         {"1234,56", "0", "0", "0", "0", "0"},
         {"123,456.00", "0", "0.00", "0", "0.00", "0.00"},
         true,
         true,
         true},
        {AylikKazanc,
         {"1.234,56", "0", "0", "0", "0", "0"},
         {"1.23", "0", "0.00", "0", "0.00", "0.00"},
         true,
         true,
         true},
        {AylikKazanc,
         {" ", "0", "0", "0", "0", "0"},
         {"0.00", "0", "0.00", "0", "0.00", "0.00"},
         true,
         true,
         true},
        {AylikKazanc,
         {"666.70", "5", "0", "5", "0", "0"},
         {"666.70", "5", "33.34", "5", "33.34", "66.68"},
         true,
         true,
         true},
        {AylikKazanc,
         {"-100", "2.5", "0", "0", "0", "0"},
         {"-100.00", "2.5", "-2.50", "0", "0.00", "-2.50"},
         true,
         true,
         true},
        {POrani,
         {"1,000.00", "2.345", "0", "0", "7.00", "0"},
         {"1,000.00", "2.35", "23.50", "0", "7.00", "30.50"},
         false,
         true,
         false},
        {POrani,
         {"1,000.00", "", "9.99", "0", "0.00", "9.99"},
         {"1,000.00", "0.00", "0.00", "0", "0.00", "0.00"},
         false,
         true,
         false},
        {DOrani,
         {"2,500.50", "2.00", "50.01", "3.5", "0.00", "50.01"},
         {"2,500.50", "2.00", "50.01", "3.50", "87.52", "137.53"},
         false,
         false,
         true},
        // A hand-typed premium amount reads as the amount field reads it.
        {DOrani,
         {"100.00", "0", "50", "1", "0", "0"},
         {"100.00", "0", "50", "1.00", "1.00", "1.50"},
         false,
         false,
         true},
        {IzinNedeni,
         {"x", "y", "z", "0", "0", "0"},
         {"x", "y", "z", "0", "0", "0"},
         false,
         false,
         false},
    };
    for (const ArithCase &c : cases) {
        QStringList row = rowWith(c.cells);
        const entryarith::TotalsChanged changed = entryarith::leaveCell(row, c.column);
        EXPECT_EQ(row.mid(AylikKazanc), c.after)
            << c.column << " " << c.cells.join('|').toStdString();
        EXPECT_EQ(changed.gross, c.gross);
        EXPECT_EQ(changed.premium, c.premium);
        EXPECT_EQ(changed.deposit, c.deposit);
    }
}

TEST(EntryArithmetic, NotANumberLeavesTheRow)
{
    const QStringList bad[][2] = {
        {{"12a", "0", "0", "0", "0", "0"}, {"8"}},   {{"1.2.3", "0", "0", "0", "0", "0"}, {"8"}},
        {{"100", "2,5", "0", "0", "0", "0"}, {"8"}}, {{"100", "2,5", "0", "0", "0", "0"}, {"9"}},
        {{"100", "0", "0", "", "0", "0"}, {"8"}},    {{"100", "0", "0", "abc", "0", "0"}, {"11"}},
    };
    for (const auto &c : bad) {
        QStringList row = rowWith(c[0]);
        const QStringList before = row;
        EXPECT_THROW(entryarith::leaveCell(row, c[1][0].toInt()), ConversionError)
            << c[0].join('|').toStdString();
        EXPECT_EQ(row, before);
    }
}

TEST(EntryArithmetic, ColumnTotals)
{
    GridCells g = gridOf(
        {{{PTutari, "50.01"}}, {{PTutari, "1,000.00"}}, {{PTutari, "abc"}}, {{PTutari, "50"}}});
    // Titles and non-numbers add nothing; "50" reads as 0.50.
    EXPECT_EQ(entryarith::columnTotal(g, PTutari).toAmountText(), QStringLiteral("1,050.51"));
    EXPECT_EQ(entryarith::columnTotal(freshGrid(), Toplam).toAmountText(), QStringLiteral("0.00"));
}

} // namespace
