// Exact decimal arithmetic and the amount text rules.
#include "base/amounttext.h"
#include "base/errors.h"

#include <gtest/gtest.h>

namespace
{

Decimal d(const char *text)
{
    return Decimal::fromText(QString::fromLatin1(text));
}

TEST(Decimal, RoundsHalvesAwayFromZeroExactly)
{
    // 666.70 x 5 / 100 = 33.335, a hair below the half in binary floating point.
    EXPECT_EQ(d("666.70").percentOf(d("5")).toAmountText(), QStringLiteral("33.34"));
    EXPECT_EQ(d("-33.335").rounded(2).toPlain(), QStringLiteral("-33.34"));
    EXPECT_EQ(d("2500.50").percentOf(d("3.5")).toPlain(), QStringLiteral("87.5175"));
    EXPECT_EQ(d("0.005").toAmountText(), QStringLiteral("0.01"));
    EXPECT_EQ(d("0.0049999").toAmountText(), QStringLiteral("0.00"));
}

TEST(Decimal, ParsesPlainNumbersOnly)
{
    struct Case {
        const char *text;
        const char *plain; // nullptr: not a number
    } cases[] = {
        {"2.5", "2.5"}, {" -12.50 ", "-12.5"}, {"1e3", "1000"},    {"2.345", "2.345"},
        {".5", "0.5"},  {"abc", nullptr},      {"1.2.3", nullptr}, {"1,5", nullptr},
        {"", nullptr},  {"-", nullptr},        {"12a", nullptr},
    };
    for (const Case &c : cases) {
        const auto value = Decimal::parse(QString::fromLatin1(c.text));
        if (c.plain)
            EXPECT_EQ(value.value_or(Decimal(-999)).toPlain(), QString::fromLatin1(c.plain))
                << c.text;
        else
            EXPECT_FALSE(value.has_value()) << c.text;
    }
    EXPECT_THROW(Decimal::fromText(u"x1"), ConversionError);
}

TEST(AmountText, FormatsGroupedWithTwoDecimals)
{
    struct Case {
        const char *value;
        const char *text;
    } cases[] = {
        {"0", "0.00"},
        {"1000", "1,000.00"},
        {"1234.567", "1,234.57"},
        {"-5", "-5.00"},
        {"999999.995", "1,000,000.00"},
        {"9999999999999.99", "9,999,999,999,999.99"},
        {"-1234567.891", "-1,234,567.89"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(amount::format(d(c.value)), QString::fromLatin1(c.text)) << c.value;
    EXPECT_EQ(amount::formatPattern(2), QStringLiteral("#,##0.00"));
    EXPECT_EQ(amount::formatPattern(3), QStringLiteral("#,##0.000"));
}

TEST(AmountText, ReadsTheLastTwoDigitsAsDecimals)
{
    struct Case {
        const char *text;
        const char *stripped;
        const char *value;
    } cases[] = {
        {"1,234.56", "1234.56", "1234.56"},
        {"1234.5", "123.45", "123.45"},
        {"12", ".12", "0.12"},
        {"5", ".5", "0.5"},
        {"500", "5.00", "5"},
        {"0.00", "0.00", "0"},
        {"", "0", "0"},
        {"abc", "0", "0"},
        {"Aylık Kazanç", "0", "0"},
        {"-5.00", "-5.00", "-5"},
        {"9,999,999,999,999.99", "9999999999999.99", "9999999999999.99"},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(amount::stripFormat(text), QString::fromLatin1(c.stripped)) << c.text;
        EXPECT_EQ(amount::textAsFloat(text), d(c.value)) << c.text;
    }
    EXPECT_EQ(amount::reformat(u"1234.5"), QStringLiteral("123.45"));
    EXPECT_EQ(amount::reformat(u"x"), QStringLiteral("0.00"));
}

} // namespace
