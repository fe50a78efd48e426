// The registry-number field checks and the month-end rule of the entry header.
#include "entry/headerrules.h"

#include "base/errors.h"
#include "base/formats.h"

namespace entryheader
{

namespace
{

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString notAnInteger(const QString &text)
{
    return QStringLiteral("'%1' geçerli bir tamsayı değil").arg(text);
}

} // namespace

int partWidth(RegistryPart part)
{
    switch (part) {
    case RegistryPart::District:
        return 2;
    case RegistryPart::Index:
        return 4;
    case RegistryPart::Sequence:
        break;
    }
    return 6;
}

QString leftZeros(const QString &text, int width)
{
    return text.size() >= width ? text : QString(width - text.size(), u'0') + text;
}

int toInteger(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError(notAnInteger(text));
    return value;
}

PartExit leaveRegistryPart(RegistryPart part, const QString &typed)
{
    const int width = partWidth(part);
    PartExit out;
    out.text = typed;

    for (int i = 0; i < width && i < typed.size(); ++i) {
        if (isDigit(typed[i]))
            continue;
        out.messages << NotDigitsMessage;
        out.focusBack = true;
        // The district field stops at its first wrong character and keeps
        // the text as typed.
        if (part == RegistryPart::District)
            return out;
    }

    out.text = leftZeros(typed, width);
    if (part == RegistryPart::District) {
        if (out.text[0] > u'0' || out.text[1] > u'6') {
            out.messages << DistrictRangeMessage;
            out.focusBack = true;
        }
        return out;
    }

    // A wrong character never makes a whole number, so the zero check and
    // the look-up cannot run on it.
    if (out.focusBack) {
        out.conversionError = notAnInteger(out.text);
        return out;
    }
    const int value = out.text.toInt();
    if (value == 0) {
        out.messages << NotZeroMessage;
        out.focusBack = true;
        return out;
    }
    out.lookUp = part == RegistryPart::Sequence;
    return out;
}

Period monthEndRule(const QString &workText)
{
    const QDate start = parseDateText(workText);
    return {start, lastOfMonth(start)};
}

QString openingWorkText(const QDate &today)
{
    return QStringLiteral("01") + dateText(today).mid(2);
}

} // namespace entryheader
