// Key editing of the amount field. Positions are measured from the right end
// ("right offset": the characters after the selection), because reformatting
// changes the left part of the text but never the decimals.
#include "controls/moneykeys.h"

#include "base/amounttext.h"

#include <algorithm>

namespace
{

bool validIndex(const QString &text, int i)
{
    return i >= 0 && i < text.size();
}

// Characters from the decimal separator to the end; a field without decimals
// shows no separator, so its whole text is the integer part.
int fractionLength(int decimals)
{
    return decimals > 0 ? decimals + 1 : 0;
}

} // namespace

std::optional<MoneyKeyResult> moneyKeyPress(const MoneyKeyInput &in, QChar key)
{
    QString text = in.text;
    const int len = int(text.size());
    const int d = in.decimals;
    const int e = fractionLength(d);
    int r = std::max(0, len - in.selStart - in.selLength);

    if (key.isDigit() && key.unicode() < 128) {
        if (r >= e) {
            if (len < in.maxLength)
                text.insert(len - r, key);
        } else if (r >= 1) {
            if (validIndex(text, len - r))
                text[len - r] = key;
            r -= 1;
        }
    } else if (key == u'.' || key == u',') {
        r = d;
    } else if (key == u'\b') {
        if (r >= e) {
            if ((r + 1 - e) % 4 == 0)
                r += 1; // the character left of the caret is a group separator
            if (validIndex(text, len - r - 1))
                text.remove(len - r - 1, 1);
        } else if (r == d) {
            r = d + 1; // step over the decimal separator
            if (validIndex(text, len - r - 1))
                text.remove(len - r - 1, 1);
        } else {
            if (validIndex(text, len - r - 1))
                text[len - r - 1] = u'0';
            r += 1;
        }
    }
    return MoneyKeyResult{text, r};
}

std::optional<MoneyKeyResult> moneyDeleteKey(const MoneyKeyInput &in)
{
    QString text = in.text;
    const int len = int(text.size());
    const int d = in.decimals;
    const int e = fractionLength(d);
    int r = std::max(0, len - in.selStart - in.selLength);

    if (r > e) {
        if ((r - e) % 4 == 0)
            r -= 1; // the character right of the caret is a group separator
        if (validIndex(text, len - r))
            text.remove(len - r, 1);
        r -= 1;
    } else if (r >= 1) {
        if (r == e)
            r = d; // step over the decimal separator
        if (validIndex(text, len - r))
            text[len - r] = u'0';
        r -= 1;
    }
    return MoneyKeyResult{text, r};
}

namespace
{

MoneyFieldState finish(const MoneyKeyResult &result, int decimals)
{
    const QString shown = amount::reformat(result.text, decimals);
    const int size = int(shown.size());
    return {shown, std::clamp(size - result.rightOffset, 0, size)};
}

} // namespace

MoneyFieldState moneyApplyKey(const MoneyKeyInput &in, QChar key)
{
    return finish(*moneyKeyPress(in, key), in.decimals);
}

MoneyFieldState moneyApplyDelete(const MoneyKeyInput &in)
{
    return finish(*moneyDeleteKey(in), in.decimals);
}
