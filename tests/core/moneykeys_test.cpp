// The amount field's key editing, driven key by key from a known text and caret.
#include "base/amounttext.h"
#include "controls/moneykeys.h"

#include <gtest/gtest.h>
#include <string>

namespace
{

struct Step {
    const char *key; // one character, "\b" backspace, "DEL" the Delete key
    const char *text;
    int caret;
};

MoneyFieldState press(const MoneyFieldState &state, const char *key, int selStart = -1,
                      int selLength = 0, int decimals = 2)
{
    const MoneyKeyInput in{state.text, selStart < 0 ? state.caret : selStart, selLength, decimals,
                           20};
    if (QLatin1String(key) == QLatin1String("DEL"))
        return moneyApplyDelete(in);
    return moneyApplyKey(in, QLatin1Char(key[0]));
}

void run(MoneyFieldState state, std::initializer_list<Step> steps, int decimals = 2)
{
    for (const Step &s : steps) {
        state = press(state, s.key, -1, 0, decimals);
        EXPECT_EQ(state.text, QString::fromLatin1(s.text)) << "after key " << s.key;
        EXPECT_EQ(state.caret, s.caret) << "after key " << s.key << " -> " << s.text;
    }
}

TEST(MoneyKeys, WorkedExample)
{
    // 0.00 with the caret before the separator, as the field sets it on entry.
    run({QStringLiteral("0.00"), 1}, {
                                         {"5", "5.00", 1},
                                         {"1", "51.00", 2},
                                         {"2", "512.00", 3},
                                         {"3", "5,123.00", 5},
                                         {".", "5,123.00", 6},
                                         {"4", "5,123.40", 7},
                                         {"5", "5,123.45", 8},
                                         {"6", "5,123.45", 8}, // no room after the decimals
                                         {"\b", "5,123.40", 7},
                                         {"\b", "5,123.00", 6},
                                         {"\b", "512.00", 3},
                                     });
}

TEST(MoneyKeys, EdgeCases)
{
    // Backspace just after the separator removes the last integer digit.
    run({QStringLiteral("5.00"), 2}, {{"\b", "0.00", 1}});
    // Backspace just after a group separator removes the digit before it; the
    // caret cannot go left of the text.
    run({QStringLiteral("5,123.00"), 2}, {{"\b", "123.00", 0}});
    // Delete before a group separator skips it.
    run({QStringLiteral("5,123.00"), 1}, {{"DEL", "523.00", 1}});
    // Delete before the separator zeroes the first decimal; then the second.
    run({QStringLiteral("5,123.45"), 5}, {{"DEL", "5,123.05", 7}, {"DEL", "5,123.00", 8}});
    // Delete at the end and ordinary letters change nothing.
    run({QStringLiteral("12.34"), 5}, {{"DEL", "12.34", 5}, {"x", "12.34", 5}});
    // "," moves the caret behind the separator like ".".
    run({QStringLiteral("7.00"), 0}, {{",", "7.00", 2}, {"9", "7.90", 3}});

    // The whole text selected: a digit changes nothing and the caret goes to the end.
    const MoneyFieldState all = press({QStringLiteral("5,123.45"), 0}, "9", 0, 8);
    EXPECT_EQ(all.text, QStringLiteral("5,123.45"));
    EXPECT_EQ(all.caret, 8);

    // Thirteen integer digits fill the field: a fourteenth is refused.
    const QString full = QStringLiteral("9,999,999,999,999.99");
    const MoneyFieldState refused = press({full, 17}, "1");
    EXPECT_EQ(refused.text, full);
    EXPECT_EQ(refused.caret, 17);
}

TEST(MoneyKeys, WithoutDecimals)
{
    // No separator: the whole text is the integer part.
    run({QStringLiteral("0"), 0}, {{"DEL", "0", 1}}, 0);
    run({QStringLiteral("0"), 1}, {{"DEL", "0", 1}, {"\b", "0", 1}}, 0);
    run({QStringLiteral("0"), 1},
        {{"1", "1", 1},
         {"2", "12", 2},
         {"3", "123", 3},
         {"4", "1,234", 5},
         {".", "1,234", 5},
         {"\b", "123", 3}},
        0);
    run({QStringLiteral("5,123"), 1}, {{"DEL", "523", 1}}, 0);
    run({QStringLiteral("5,123"), 2}, {{"\b", "123", 0}}, 0);
    run({QStringLiteral("5,123"), 4}, {{"DEL", "512", 3}, {"DEL", "512", 3}}, 0);
}

// Every key at every caret position of a few texts, for each count of
// decimals: the edit never asks for a caret beyond the right end, and the
// field always ends up showing formatted text with the caret inside it.
TEST(MoneyKeys, CaretStaysInsideTheText)
{
    const char *keys[] = {"0", "7", ".", ",", "\b", "DEL", "x"};
    for (int decimals = 0; decimals <= 3; ++decimals) {
        for (const char *value : {"0", "5", "1234", "1234567.891", "-5"}) {
            const QString text =
                amount::format(Decimal::fromText(QString::fromLatin1(value)), decimals);
            for (int start = 0; start <= text.size(); ++start) {
                for (int length = 0; start + length <= text.size(); length += 2) {
                    for (const char *key : keys) {
                        const MoneyKeyInput in{text, start, length, decimals, 20};
                        const bool del = QLatin1String(key) == QLatin1String("DEL");
                        const MoneyKeyResult raw =
                            del ? *moneyDeleteKey(in) : *moneyKeyPress(in, QLatin1Char(key[0]));
                        const MoneyFieldState shown =
                            press({text, start}, key, start, length, decimals);
                        const std::string where = text.toStdString() + " at " +
                                                  std::to_string(start) + "+" +
                                                  std::to_string(length) + " key " + key +
                                                  " decimals " + std::to_string(decimals);
                        EXPECT_GE(raw.rightOffset, 0) << where;
                        EXPECT_GE(shown.caret, 0) << where;
                        EXPECT_LE(shown.caret, shown.text.size()) << where;
                        EXPECT_EQ(amount::reformat(shown.text, decimals), shown.text) << where;
                    }
                }
            }
        }
    }
}

} // namespace
