// The period summary: which stored returns "Hesapla" lists for each choice,
// how rows group into returns, and what each return owes.
#include "core/backends.h"
#include "declaration/periodsummary.h"
#include "declaration/selection.h"

#include <gtest/gtest.h>

namespace
{

BodroRow stored(const QString &seq, const QString &type = QStringLiteral("01"))
{
    BodroRow r;
    r.ilk = QStringLiteral("01.11.2025");
    r.son = QStringLiteral("30.11.2025");
    r.seq = seq;
    r.tur = type;
    return r;
}

PeriodSummary summaryOf(Workspace &ws, const PeriodChoice &c)
{
    return summarizePeriod(ws.dm->db(), summarySelection(c));
}

const QDate November1(2025, 11, 1);
const QDate November30(2025, 11, 30);

// What a summary row shows, as one text: type and the return's sequence
// number (the name carries it in these fixtures).
QStringList shown(const PeriodSummary &s)
{
    QStringList list;
    for (const SummaryRow &r : s.rows)
        list << r.typeText + u'/' + r.employerName;
    return list;
}

using PeriodSummaryQuery = BackendTest;

TEST_P(PeriodSummaryQuery, SelectionByTypeAndRetroactiveBox)
{
    Workspace ws(backend());
    for (const auto &[seq, type] : {std::pair{"1", "01"}, {"2", "01"}, {"1", "02"}, {"3", "02"}}) {
        BodroRow r = stored(QString::fromLatin1(seq), QString::fromLatin1(type));
        r.isvisim = QString::fromLatin1(seq);
        insertBodro(*ws.dm, r);
    }
    struct Case {
        ReturnKind kind;
        bool retro;
        QStringList rows;
    };
    const Case cases[] = {
        {ReturnKind::Asil, false, {QStringLiteral("Asıl/1")}},
        {ReturnKind::Ek, false, {QStringLiteral("Ek/1")}},
        {ReturnKind::Asil, true, {QStringLiteral("Asıl/2")}},
        {ReturnKind::Ek, true, {QStringLiteral("Ek/3")}},
        {ReturnKind::Tumu, true, {QStringLiteral("Asıl/2"), QStringLiteral("Ek/3")}},
        {ReturnKind::Tumu, false, {QStringLiteral("Asıl/1"), QStringLiteral("Asıl/2")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(shown(summaryOf(ws, {November1, November30, c.kind, c.retro})), c.rows)
            << int(c.kind) << " retro " << c.retro;
}

TEST_P(PeriodSummaryQuery, PeriodIsComparedAsText)
{
    struct Case {
        const char *ilk;
        const char *son;
        const char *gonder;
        bool found;
    };
    const Case cases[] = {
        {"01.11.2025", "30.11.2025", "1", true},
        {"01.11.2025", "01.12.2025", "1", true},  // "01.12..." sorts before "30.11..."
        {"01.11.2025", "31.10.2025", "1", false}, // "31..." sorts after "30..."
        {"1.11.2025", "30.11.2025", "1", false},  // the start must be the same text
        {"01.11.2025", "30.11.2025", "0", false}, // not to be sent
    };
    for (const Case &c : cases) {
        Workspace ws(backend());
        BodroRow r = stored(QStringLiteral("1"));
        r.ilk = QString::fromLatin1(c.ilk);
        r.son = QString::fromLatin1(c.son);
        r.gonder = QString::fromLatin1(c.gonder);
        insertBodro(*ws.dm, r);
        EXPECT_EQ(summaryOf(ws, {November1, November30}).rows.size(), c.found ? 1 : 0)
            << c.ilk << " - " << c.son << " gonder " << c.gonder;
    }
}

TEST_P(PeriodSummaryQuery, RunsTotalsAndGrandTotal)
{
    Workspace ws(backend());
    const QString a = QStringLiteral("010001000001");
    const QString b = QStringLiteral("020002000002");
    const QString c = QStringLiteral("030003000003");
    for (const QString &employer : {a, a, b, a, c}) {
        BodroRow r = stored(QStringLiteral("1"));
        r.isver = employer;
        insertBodro(*ws.dm, r);
    }
    const PeriodSummary s = summaryOf(ws, {November1, November30});
    ASSERT_EQ(s.rows.size(), 4); // a's rows are split by b's
    EXPECT_EQ(s.rows[0].employer, QStringLiteral("01-0001-000001"));
    EXPECT_EQ(s.rows[0].employerName, QStringLiteral("Deneme Ltd."));
    EXPECT_EQ(s.rows[0].start, QStringLiteral("01.11.2025"));
    EXPECT_EQ(s.rows[0].end, QStringLiteral("30.11.2025"));
    EXPECT_EQ(s.rows[0].total.toAmountText(), QStringLiteral("300.00"));
    EXPECT_EQ(s.rows[1].employer, QStringLiteral("02-0002-000002"));
    EXPECT_EQ(s.rows[1].total.toAmountText(), QStringLiteral("150.00"));
    EXPECT_EQ(s.rows[2].employer, QStringLiteral("01-0001-000001"));
    EXPECT_EQ(s.rows[3].employer, QStringLiteral("03-0003-000003"));
    EXPECT_EQ(s.grandTotal.toAmountText(), QStringLiteral("750.00"));
}

TEST(PeriodFigures, OwedAmounts)
{
    struct Case {
        const char *gross, *premiumRate, *depositRate, *owed;
    };
    const Case cases[] = {
        {"1,000.00", "5.00", "10.00", "150"},
        {"666.70", "5.00", "0.00", "33.335"}, // kept unrounded
        {"1,000.00", "5.005", "0", "50.1"},   // the rate is rounded to 5.01 first
        {"1,000.00", "5.004", "0", "50"},
        {"12", "100", "0", "0.12"}, // gross read as the amount field reads it
        {"abc", "5", "10", "0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(premiumPlusDeposit(QString::fromLatin1(c.gross),
                                     QString::fromLatin1(c.premiumRate),
                                     QString::fromLatin1(c.depositRate))
                      .toPlain(),
                  QString::fromLatin1(c.owed))
            << c.gross;
    EXPECT_THROW(premiumPlusDeposit(QStringLiteral("1,000.00"), QString(), QStringLiteral("5")),
                 ConversionError);
}

TEST_P(PeriodSummaryQuery, GrandTotalSumsUnroundedReturnTotals)
{
    Workspace ws(backend());
    for (const char *employer : {"010001000001", "020002000002", "030003000003"}) {
        BodroRow r = stored(QStringLiteral("1"));
        r.isver = QString::fromLatin1(employer);
        r.brut = QStringLiteral("666.70");
        r.primor = QStringLiteral("5.00");
        r.depoor = QStringLiteral("0.00");
        insertBodro(*ws.dm, r);
    }
    const PeriodSummary s = summaryOf(ws, {November1, November30});
    ASSERT_EQ(s.rows.size(), 3);
    EXPECT_EQ(s.rows[0].total.toAmountText(), QStringLiteral("33.34"));
    EXPECT_EQ(s.grandTotal.toAmountText(), QStringLiteral("100.01")); // not 3 x 33.34
}

TEST_P(PeriodSummaryQuery, ThreeReturnsOf150)
{
    Workspace ws(backend());
    for (const char *employer : {"010001000001", "020002000002", "030003000003"}) {
        BodroRow r = stored(QStringLiteral("1"));
        r.isver = QString::fromLatin1(employer);
        insertBodro(*ws.dm, r);
    }
    const PeriodSummary s = summaryOf(ws, {November1, November30});
    ASSERT_EQ(s.rows.size(), 3);
    for (const SummaryRow &r : s.rows)
        EXPECT_EQ(r.total.toAmountText(), QStringLiteral("150.00"));
    EXPECT_EQ(s.grandTotal.toAmountText(), QStringLiteral("450.00"));
}

INSTANTIATE_BACKENDS(PeriodSummaryQuery);

TEST(PeriodFigures, TypeTexts)
{
    EXPECT_EQ(returnTypeText(QStringLiteral("01")), QStringLiteral("Asıl"));
    EXPECT_EQ(returnTypeText(QStringLiteral("11")), QStringLiteral("Asıl"));
    EXPECT_EQ(returnTypeText(QStringLiteral("02")), QStringLiteral("Ek"));
    EXPECT_EQ(returnTypeText(QStringLiteral("12")), QStringLiteral("Ek"));
    EXPECT_EQ(returnTypeText(QStringLiteral("03")), QString());
}

} // namespace
