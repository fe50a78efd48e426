// The checks a grid row passes before it is stored: which cells are refused,
// which cell the refusal points at, and which rows are checked at all.
#include "entry/gridrules.h"
#include "entry/rowcheck.h"

#include <gtest/gtest.h>

using namespace entrygrid;

namespace
{

// A complete, storable row: the worked example.
QStringList goodRow()
{
    QStringList row = templateRow(1);
    row[SarvekNo] = "111111";
    row[AdiSoyadi] = "Ali";
    row[Cinsiyet] = "E";
    row[GunSayisi] = "30";
    row[AylikKazanc] = "2,500.50";
    row[POrani] = "2.00";
    row[PTutari] = "50.01";
    row[DOrani] = "3.50";
    row[DTutari] = "87.52";
    row[Toplam] = "137.53";
    return row;
}

struct CellCase {
    int column;
    const char *text;
    bool refused;
};

const CellCase cellCases[] = {
    {AylikKazanc, "2,500.50", false},
    {AylikKazanc, "0", false}, // never touched
    {AylikKazanc, "0.00", false},
    {AylikKazanc, "1,234,567.89", false},
    {AylikKazanc, "1500", true}, // typed, cell never left: would read 15.00
    {AylikKazanc, "-100.00", true},
    {AylikKazanc, "1,5.00", true},
    {AylikKazanc, "2500.50", true},
    {AylikKazanc, "", true},
    {AylikKazanc, "1e-200", true},
    {POrani, "2.00", false},
    {POrani, "0", false},
    {POrani, "999.99", false},
    {POrani, "6,5", true},
    {POrani, "1,000.00", true},
    {POrani, "1000", true},
    {POrani, "-1.00", true},
    {POrani, "2.005", true},
    {DOrani, "1e-152", true},
    {DOrani, "", true},
    {GunSayisi, "", false},
    {GunSayisi, "7", false},
    {GunSayisi, "999", false},
    {GunSayisi, "1000", true},
    {GunSayisi, "3.5", true},
    {GunSayisi, " 30", true},
    {Cinsiyet, "K", false},
    {Cinsiyet, "", true},
    {Cinsiyet, "e", true},
    {Cinsiyet, "EK", true},
};

} // namespace

TEST(RowCheck, EachCell)
{
    EXPECT_FALSE(checkRowForStore(goodRow(), 1));
    for (const CellCase &c : cellCases) {
        SCOPED_TRACE(std::string(columnTitles()[c.column].toStdString()) + " '" + c.text + "'");
        QStringList row = goodRow();
        row[c.column] = QString::fromUtf8(c.text);
        const auto problem = checkRowForStore(row, 4);
        ASSERT_EQ(problem.has_value(), c.refused);
        if (!problem)
            continue;
        EXPECT_EQ(problem->column, c.column);
        EXPECT_TRUE(problem->message.contains("4. satır")) << problem->message.toStdString();
        EXPECT_TRUE(problem->message.contains(columnTitles()[c.column]))
            << problem->message.toStdString();
    }
}

TEST(RowCheck, FirstProblemInColumnOrder)
{
    QStringList row = goodRow();
    row[DOrani] = "x";
    row[AylikKazanc] = "1500";
    row[Cinsiyet] = "";
    EXPECT_EQ(checkRowForStore(row, 1)->column, Cinsiyet);
    row[Cinsiyet] = "K";
    EXPECT_EQ(checkRowForStore(row, 1)->column, AylikKazanc);
}

TEST(RowCheck, OnlyRowsWithAFundNumberAreChecked)
{
    QStringList broken = goodRow();
    broken[Cinsiyet] = "";
    QStringList unnumbered = broken;
    unnumbered[SarvekNo] = "";

    EXPECT_FALSE(checkRowsForStore({goodRow(), unnumbered, templateRow(3)}));
    const auto found = checkRowsForStore({goodRow(), unnumbered, broken});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->row, 3);
    EXPECT_EQ(found->problem.column, Cinsiyet);
    EXPECT_TRUE(found->problem.message.startsWith("3. satır"));
}
