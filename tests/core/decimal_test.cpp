// Limits of Decimal and of the amount text: what does not fit is refused with
// ConversionError, never wrapped, and random text never brings the process down.
#include "base/amounttext.h"
#include "base/errors.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

Decimal d(const char *text)
{
    return Decimal::fromText(QString::fromLatin1(text));
}

QString digits(int count, char digit = '9')
{
    return QString(count, QLatin1Char(digit));
}

TEST(DecimalLimits, ReadsOrRefusesAtTheEdges)
{
    struct Case {
        QString text;
        QString plain; // null: refused
    } cases[] = {
        {QStringLiteral("1e-200"), QString()},
        {QStringLiteral("1e-152"), QString()},
        {QStringLiteral("1e-25"), QString()},
        {QStringLiteral("1e-24"), QStringLiteral("0.000000000000000000000001")},
        {QStringLiteral("99999999999e30"), QString()},
        {QStringLiteral("1e34"), QStringLiteral("10000000000000000000000000000000000")},
        {QStringLiteral("1e35"), QString()},
        {QStringLiteral("1e999999999999999999999"), QString()},
        {QStringLiteral("5e-999999999999999999999"), QString()},
        {QStringLiteral("0e999999999999"), QStringLiteral("0")},
        {QStringLiteral("-0.000"), QStringLiteral("0")},
        {digits(35), digits(35)},
        {QStringLiteral("-") + digits(35), QStringLiteral("-") + digits(35)},
        {digits(36), QString()},
        {QStringLiteral("1") + digits(35, '0'), QString()},
        {digits(40) + QStringLiteral("e-10"), QString()},
        // Zeros that carry no value do not count against the size.
        {digits(60, '0') + QStringLiteral("12.5"), QStringLiteral("12.5")},
        {QStringLiteral("1.") + digits(60, '0'), QStringLiteral("1")},
        {QStringLiteral("1") + digits(40, '0') + QStringLiteral("e-40"), QStringLiteral("1")},
        {QStringLiteral("123.45e2"), QStringLiteral("12345")},
        {QStringLiteral("1.5e-1"), QStringLiteral("0.15")},
    };
    for (const Case &c : cases) {
        const auto value = Decimal::parse(c.text);
        if (!c.plain.isNull())
            EXPECT_EQ(value.value_or(Decimal(-999)).toPlain(), c.plain) << qPrintable(c.text);
        else
            EXPECT_FALSE(value.has_value()) << qPrintable(c.text);
    }
}

TEST(DecimalLimits, ArithmeticThatDoesNotFitThrows)
{
    const Decimal big = Decimal::fromText(digits(35));
    const Decimal tiny = d("1e-24");
    EXPECT_THROW(big + Decimal(1), ConversionError);
    EXPECT_THROW(-big - Decimal(1), ConversionError);
    EXPECT_THROW(big * Decimal(10), ConversionError);
    EXPECT_THROW(big * big, ConversionError);  // beyond 128 bits
    EXPECT_THROW(big + tiny, ConversionError); // aligning the scales overflows
    EXPECT_THROW(Decimal(1).shiftedRight(-35), ConversionError);
    EXPECT_EQ((big - big).toPlain(), QStringLiteral("0"));
    EXPECT_EQ((big + -Decimal(1)).toPlain(), digits(34) + QStringLiteral("8"));

    // Products finer than the finest decimal are rounded, not refused.
    EXPECT_EQ((tiny * tiny).toPlain(), QStringLiteral("0"));
    EXPECT_EQ((d("0.5e-12") * d("1e-12")).toPlain(), QStringLiteral("0.000000000000000000000001"));
    EXPECT_EQ(Decimal(7).shiftedRight(1000).toPlain(), QStringLiteral("0"));

    // Comparing never aligns what cannot be aligned.
    EXPECT_LT(tiny, big);
    EXPECT_GT(-tiny, -big);
    EXPECT_LT(d("-0.5"), d("0.3"));
    EXPECT_LT(d("12.000000000000000000000001"), d("12.000000000000000000000002"));
    EXPECT_EQ(d("2.50"), d("2.5"));

    // The widest value still formats with two decimals.
    EXPECT_EQ(Decimal::fromText(digits(35)).toAmountText().size(), 35 + 11 + 3);
}

TEST(AmountTextLimits, TooManyDigitsAreRefusedNotReadAsZero)
{
    EXPECT_THROW(amount::textAsFloat(digits(36)), ConversionError);
    EXPECT_THROW(amount::reformat(digits(40)), ConversionError);
    EXPECT_EQ(amount::textAsFloat(digits(35)), Decimal::fromText(digits(33) + u'.' + digits(2)));
    // An exponent is not amount text at all.
    EXPECT_TRUE(amount::textAsFloat(u"1e-200").isZero());
}

// Random text from the characters a number is made of.
QString randomText(std::mt19937 &rng)
{
    static const char alphabet[] = "0000123456789..,,--+eE  x";
    std::uniform_int_distribution<int> length(0, 45);
    std::uniform_int_distribution<int> pick(0, int(sizeof alphabet) - 2);
    QString text;
    for (int n = length(rng); n > 0; --n)
        text += QLatin1Char(alphabet[pick(rng)]);
    return text;
}

TEST(DecimalFuzz, RandomTextRoundTripsOrIsRefused)
{
    std::mt19937 rng(20261210);
    int read = 0;
    for (int n = 0; n < 300000; ++n) {
        const QString text = randomText(rng);
        if (const auto value = Decimal::parse(text)) {
            ++read;
            ASSERT_EQ(Decimal::parse(value->toPlain()), value) << qPrintable(text);
            ASSERT_EQ(amount::textAsFloat(amount::format(*value)), value->rounded(2))
                << qPrintable(text);
            try {
                (void)(*value * *value + *value - Decimal(1)).percentOf(*value);
            } catch (const ConversionError &) {
            }
        }
        try {
            const QString shown = amount::reformat(text);
            ASSERT_EQ(amount::reformat(shown), shown) << qPrintable(text);
            ASSERT_EQ(amount::textAsFloat(shown), amount::textAsFloat(text)) << qPrintable(text);
        } catch (const ConversionError &) {
            ASSERT_GT(amount::stripFormat(text).size(), 35) << qPrintable(text);
        }
    }
    // The alphabet must produce plenty of real numbers for the loop to mean anything.
    EXPECT_GT(read, 10000);
}

} // namespace
