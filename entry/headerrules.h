// Rules of the entry screen's header that need no widget: the three parts of
// the employer registry number and the month-end rule of the period pickers.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace entryheader {

inline const QString NotDigitsMessage = QStringLiteral("Lütfen bu alana sadece sayı giriniz");
inline const QString DistrictRangeMessage =
    QStringLiteral("Lütfen Bir(1) ile Altı(6) arası bir Rakam Giriniz!");
inline const QString NotZeroMessage = QStringLiteral("Bu Satır Boş Geçilemez!");

enum class RegistryPart { District, Index, Sequence };

// Width of the part's field; also how many characters its digit check reads.
int partWidth(RegistryPart part);

// What leaving one registry field does, in the order the screen acts on it:
// show `messages`, write `text` back into the field, put the focus back when
// `focusBack`, and finally fail with `conversionError` when it is not empty.
// `lookUp` says the sequence number passed and the employer look-up runs.
struct PartExit {
    QStringList messages;
    QString text;
    bool focusBack = false;
    bool lookUp = false;
    QString conversionError;
};
PartExit leaveRegistryPart(RegistryPart part, const QString &typed);

// `text` with "0" in front up to `width` characters; longer texts unchanged.
QString leftZeros(const QString &text, int width);

// The whole-number reading of a field: optional blanks and sign, then digits.
// Throws ConversionError naming the text otherwise.
int toInteger(const QString &text);

// The month-end rule: the period that starts on the date of `workText`
// ("dd.mm.yyyy") ends on the last day of that month, 29 February in leap
// years. Throws ConversionError when the text is not a date.
struct Period {
    QDate start;
    QDate end;
};
Period monthEndRule(const QString &workText);

// The work text the screen hands the rule when it opens: day 01 of `today`.
QString openingWorkText(const QDate &today);

} // namespace entryheader
