// The print commands' selection, captions and title totals, and the figures of
// the printed lines, against stored returns in a real database.
#include "base/errors.h"
#include "core/backends.h"
#include "print/printcommands.h"

#include <gtest/gtest.h>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

Decimal d(const char *text)
{
    return Decimal::fromText(u(text));
}

PrintRequest request(PrintScope scope, const QString &type = u("01"), const QString &seq = u("1"))
{
    return {u("01"), u("0001"), u("000001"), u("01.03.2013"), u("31.03.2013"), type, seq, scope};
}

BodroRow row(const char *srvno, const char *seq = "1", const char *gonder = "1",
             const char *tur = "01")
{
    BodroRow r;
    r.srvno = u(srvno);
    r.seq = u(seq);
    r.gonder = u(gonder);
    r.tur = u(tur);
    return r;
}

QStringList printedSrvNos(Tdm &dm)
{
    QStringList out;
    for (dm.prnquery.first(); !dm.prnquery.eof(); dm.prnquery.next())
        out << dm.prnquery.field(u("YATSRVNO"));
    dm.prnquery.first();
    return out;
}

using PrintCommands = BackendTest;

TEST_P(PrintCommands, CaptionsOfAReturnByItsType)
{
    struct Case {
        const char *type;
        const char *asil, *ek, *word;
    } cases[] = {{"01", "X", " ", "Asıl"}, {"02", " ", "X", "Ek"}};
    for (const Case &c : cases) {
        Workspace ws(backend());
        BodroRow r = row("111111", "1", "1", c.type);
        r.brut = u("1,234.56");
        r.primor = u("5.00");
        r.depoor = u("10.00");
        insertBodro(*ws.dm, r);
        r.srvno = u("222222");
        r.brut = u("2,000.00");
        insertBodro(*ws.dm, r);

        const auto captions = preparePrint(*ws.dm, request(PrintScope::OneReturn, u(c.type)));
        ASSERT_TRUE(captions) << c.type;
        EXPECT_EQ(captions->registry, u("01- 0001- 000001"));
        EXPECT_EQ(captions->summary,
                  u("İsveren No:01- 0001- 000001 Devre: 01.03.2013-31.03.2013 Bodro Türü: ") +
                      u(c.word));
        EXPECT_EQ(captions->asilBox, u(c.asil));
        EXPECT_EQ(captions->ekBox, u(c.ek));
        EXPECT_EQ(captions->personCount, u("2"));
        EXPECT_EQ(captions->grossTotal, u("3,234.56"));
        EXPECT_EQ(captions->premiumTotal, u("161.73")); // 161.728
        EXPECT_EQ(captions->depositTotal, u("323.46")); // 323.456
        EXPECT_EQ(captions->grandTotal, u("485.19"));
        EXPECT_EQ(captions->grand, d("485.19"));
        EXPECT_TRUE(ws.dm->prnquery.isOpen());
        EXPECT_EQ(ws.dm->prnquery.recNo(), 1);
    }
}

TEST_P(PrintCommands, SelectsOneReturnOrEveryRecordMarkedForSending)
{
    Workspace ws(backend());
    // Stored order interleaves the records; the printout keeps it.
    insertBodro(*ws.dm, row("200001", "2"));
    insertBodro(*ws.dm, row("100001", "1"));
    insertBodro(*ws.dm, row("300001", "3", "0"));
    insertBodro(*ws.dm, row("200002", "2"));
    insertBodro(*ws.dm, row("100002", "1"));
    insertBodro(*ws.dm, row("400001", "1", "1", "02"));
    BodroRow otherPeriod = row("500001");
    otherPeriod.ilk = u("01.04.2013");
    otherPeriod.son = u("30.04.2013");
    insertBodro(*ws.dm, otherPeriod);
    BodroRow otherEmployer = row("600001");
    otherEmployer.isver = u("010001000002");
    insertBodro(*ws.dm, otherEmployer);

    ASSERT_TRUE(preparePrint(*ws.dm, request(PrintScope::OneReturn, u("01"), u("2"))));
    EXPECT_EQ(printedSrvNos(*ws.dm), QStringList({u("200001"), u("200002")}));

    ASSERT_TRUE(preparePrint(*ws.dm, request(PrintScope::OneReturn, u("01"), u("3"))));
    EXPECT_EQ(printedSrvNos(*ws.dm), QStringList({u("300001")}));

    const auto all = preparePrint(*ws.dm, request(PrintScope::AllBranches, u("01"), u("3")));
    ASSERT_TRUE(all);
    EXPECT_EQ(printedSrvNos(*ws.dm),
              QStringList({u("200001"), u("100001"), u("200002"), u("100002")}));
    EXPECT_EQ(all->personCount, u("4"));

    ASSERT_TRUE(preparePrint(*ws.dm, request(PrintScope::AllBranches, u("02"))));
    EXPECT_EQ(printedSrvNos(*ws.dm), QStringList({u("400001")}));
}

TEST_P(PrintCommands, FindsNothingWithoutAPickOrAStoredReturn)
{
    Workspace ws(backend());
    insertBodro(*ws.dm, row("100001"));
    const PrintRequest cases[] = {
        request(PrintScope::OneReturn, QString()), // no pick yet this run
        request(PrintScope::AllBranches, QString()),
        request(PrintScope::OneReturn, u("01"), u("2")),
        request(PrintScope::OneReturn, u("02")),
    };
    for (const PrintRequest &r : cases) {
        EXPECT_FALSE(preparePrint(*ws.dm, r));
        EXPECT_TRUE(ws.dm->prnquery.isOpen());
        EXPECT_TRUE(ws.dm->prnquery.isEmpty());
    }
}

TEST_P(PrintCommands, QuotesInTheKeyAreValuesNotStatementText)
{
    Workspace ws(backend());
    BodroRow r = row("100001");
    r.isver = u("01'0\"1000001");
    insertBodro(*ws.dm, r);
    insertBodro(*ws.dm, row("100002"));

    PrintRequest injected = request(PrintScope::OneReturn);
    injected.periodStart = u("01.03.2013\" or \"1\"=\"1");
    EXPECT_FALSE(preparePrint(*ws.dm, injected));
    injected = request(PrintScope::AllBranches);
    injected.sirano = u("000001' or '1'='1");
    EXPECT_FALSE(preparePrint(*ws.dm, injected));

    PrintRequest quoted = request(PrintScope::OneReturn);
    quoted.kaza = u("01'0\"");
    quoted.fihrist = u("1");
    ASSERT_TRUE(preparePrint(*ws.dm, quoted));
    EXPECT_EQ(printedSrvNos(*ws.dm), QStringList({u("100001")}));
}

TEST_P(PrintCommands, TitleTotalsAreRoundedOnceAndMayDifferFromTheLines)
{
    // 666.70 at 5 %: 33.335 a line. The title adds 3 x 33.335 = 100.005 and
    // rounds once to 100.01; the lines round each to 33.34 and add to 100.02.
    Workspace ws(backend());
    RunningTotals lines;
    for (const char *srvno : {"100001", "100002", "100003"}) {
        BodroRow r = row(srvno);
        r.brut = u("666.70");
        r.primor = u("5.00");
        r.depoor = u("5.00");
        insertBodro(*ws.dm, r);
        lines.add(computePrintLine(r.brut, r.primor, r.depoor));
    }
    const auto captions = preparePrint(*ws.dm, request(PrintScope::OneReturn));
    ASSERT_TRUE(captions);
    EXPECT_EQ(captions->premium, d("100.01"));
    EXPECT_EQ(captions->deposit, d("100.01"));
    EXPECT_EQ(captions->grand, d("200.02"));
    EXPECT_EQ(captions->grandTotal, u("200.02"));
    EXPECT_EQ(lines.premium, d("100.02"));
    EXPECT_EQ(lines.deposit, d("100.02"));
    EXPECT_EQ(lines.total, d("200.04"));
    EXPECT_EQ(lines.gross, d("2000.10"));
}

TEST_P(PrintCommands, TitleTotalsApplyTheRatesAsStored)
{
    // The lines apply a premium rate of 2.345 as 2.35; the title applies it as
    // stored, like the deposit rate.
    Workspace ws(backend());
    BodroRow r = row("100001");
    r.brut = u("1,000.00");
    r.primor = u("2.345");
    r.depoor = u("2.345");
    insertBodro(*ws.dm, r);
    const auto captions = preparePrint(*ws.dm, request(PrintScope::OneReturn));
    ASSERT_TRUE(captions);
    EXPECT_EQ(captions->premiumTotal, u("23.45"));
    EXPECT_EQ(captions->depositTotal, u("23.45"));
}

TEST_P(PrintCommands, RateThatIsNotANumberEndsTheCommand)
{
    Workspace ws(backend());
    BodroRow r = row("100001");
    r.depoor = u("x");
    insertBodro(*ws.dm, r);
    EXPECT_THROW(preparePrint(*ws.dm, request(PrintScope::OneReturn)), ConversionError);
}

INSTANTIATE_BACKENDS(PrintCommands);

TEST(PrintLine, RoundsThePremiumRateAndEachAmount)
{
    struct Case {
        const char *brut, *primor, *depoor;
        const char *gross, *premium, *deposit, *total;
    } cases[] = {
        // premium rate 2.35 applied, deposit rate 2.345 applied
        {"1,000.00", "2.345", "2.345", "1000", "23.50", "23.45", "46.95"},
        // 33.335 rounds half away from zero, exactly
        {"666.70", "5.00", "5.00", "666.70", "33.34", "33.34", "66.68"},
        {"1,234.56", "5", "10", "1234.56", "61.73", "123.46", "185.19"},
        // 2.344 as premium rate is applied as 2.34
        {"1,000.00", "2.344", "0", "1000", "23.40", "0", "23.40"},
        {"0.00", "5.00", "10.00", "0", "0", "0", "0"},
        // the amount field's reading: the last two digits are the decimals
        {"1234.5", "10", "0", "123.45", "12.35", "0", "12.35"},
    };
    for (const Case &c : cases) {
        const PrintLine line = computePrintLine(u(c.brut), u(c.primor), u(c.depoor));
        EXPECT_EQ(line.gross, d(c.gross)) << c.brut;
        EXPECT_EQ(line.premium, d(c.premium)) << c.brut << " " << c.primor;
        EXPECT_EQ(line.deposit, d(c.deposit)) << c.brut << " " << c.depoor;
        EXPECT_EQ(line.total, d(c.total)) << c.brut;
    }
    EXPECT_THROW(computePrintLine(u("1,000.00"), u(""), u("5")), ConversionError);
}

} // namespace
