// Building and writing the declaration file.
#include "declaration/declfile.h"

#include "accountant/accountantrecord.h"
#include "app/errors.h"
#include "controls/amounttext.h"
#include "store/dm.h"
#include "store/failure.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <QStringEncoder>

namespace
{

enum class Rule {
    AsStored,     // neither filled nor cut
    DateDigits,   // "." and "/" removed
    TypeCode,     // "01"/"02", or "11"/"12" when retroactive
    LineNumber,   // running count, restarting with each employer
    ZeroFill,     // zeros on the left up to the width
    LeaveReason,  // as stored, an empty one as one space
    AmountDigits, // separators removed, zeros on the left
    RateDigits,   // as a number with two decimals, separators removed, zeros on the left
    SpaceFill,    // spaces on the right up to the width
};

struct LineField {
    int position; // 1-based, when every field before has its nominal width
    int width;
    const char *column;
    Rule rule;
    bool digits;       // the fund reads the field as a number
    const char *label; // the name the user knows it by, UTF-8
};

// clang-format off
constexpr LineField EmployeeFields[] = {
    // pos  width  column          rule                digits  label
    {   1,  12,   "YATISVER",     Rule::AsStored,     true,   "İşveren Sicil No" },
    {  13,   8,   "YATDEVREILK",  Rule::DateDigits,   true,   "Dönem Başı"       },
    {  21,   8,   "YATDEVRESON",  Rule::DateDigits,   true,   "Dönem Sonu"       },
    {  29,   2,   "YATBODROTUR",  Rule::TypeCode,     true,   "Bodro Türü"       },
    {  31,   6,   "YATISVER",     Rule::LineNumber,   true,   "Sıra No"          },
    {  37,   6,   "YATSRVNO",     Rule::ZeroFill,     true,   "Sarvek No"        },
    {  43,  12,   "YATKIMLIK",    Rule::ZeroFill,     true,   "Kimlik No"        },
    {  55,   9,   "YATSSKNO",     Rule::ZeroFill,     true,   "Sigorta No"       },
    {  64,   1,   "YATCINS",      Rule::AsStored,     false,  "Cinsiyet"         },
    {  65,   3,   "YATCALGUN",    Rule::ZeroFill,     true,   "Gün Sayısı"       },
    {  68,   1,   "YATDURUM",     Rule::LeaveReason,  false,  "İzin Nedeni"      },
    {  69,  14,   "YATBRUT",      Rule::AmountDigits, true,   "Aylık Kazanç"     },
    {  83,   5,   "YATPRIMOR",    Rule::RateDigits,   true,   "P.Oranı %"        },
    {  88,   5,   "YATDEPOOR",    Rule::RateDigits,   true,   "D.Oranı %"        },
    {  93,  40,   "YATISIM",      Rule::SpaceFill,    false,  "Adı Soyadı"       },
};
// clang-format on

constexpr int NominalLineLength = 132;

constexpr bool fieldsAreContiguous()
{
    int next = 1;
    for (const LineField &f : EmployeeFields) {
        if (f.position != next)
            return false;
        next += f.width;
    }
    return next == NominalLineLength + 1;
}
static_assert(fieldsAreContiguous(), "employee line fields must tile positions 1-132");

const QString CrLf = QStringLiteral("\r\n");

// Characters as the file counts them: one byte each, so a character outside
// the basic plane, two UTF-16 units, is still one.
qsizetype characterCount(const QString &text)
{
    return text.size() -
           std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLowSurrogate(); });
}

QString zeroFilled(const QString &text, int width)
{
    const qsizetype n = characterCount(text);
    return n >= width ? text : QString(width - n, u'0') + text;
}

QString spaceFilled(const QString &text, int width)
{
    const qsizetype n = characterCount(text);
    return n >= width ? text : text + QString(width - n, u' ');
}

QString withoutSeparators(QString text, QLatin1StringView separators)
{
    for (const char c : separators)
        text.remove(QLatin1Char(c));
    return text;
}

QString typeCode(const QString &stored, bool retroactive, const QString &previous)
{
    if (stored == u"01")
        return retroactive ? QStringLiteral("11") : QStringLiteral("01");
    if (stored == u"02")
        return retroactive ? QStringLiteral("12") : QStringLiteral("02");
    return previous;
}

QString fieldText(const LineField &f, const QString &value, bool retroactive, LineState &state)
{
    switch (f.rule) {
    case Rule::AsStored:
        return value;
    case Rule::DateDigits:
        return withoutSeparators(value, QLatin1StringView("./"));
    case Rule::TypeCode:
        state.typeCode = typeCode(value, retroactive, state.typeCode);
        return state.typeCode;
    case Rule::LineNumber:
        state.lineNumber =
            state.lineNumber > 0 && value == state.previousEmployer ? state.lineNumber + 1 : 1;
        state.previousEmployer = value;
        return zeroFilled(QString::number(state.lineNumber), f.width);
    case Rule::ZeroFill:
        return zeroFilled(value, f.width);
    case Rule::LeaveReason:
        return value.isEmpty() ? QStringLiteral(" ") : value;
    case Rule::AmountDigits:
        return zeroFilled(withoutSeparators(value, QLatin1StringView(",.")), f.width);
    case Rule::RateDigits:
        return zeroFilled(
            withoutSeparators(amount::format(Decimal::fromText(value)), QLatin1StringView(",.")),
            f.width);
    case Rule::SpaceFill:
        return spaceFilled(value, f.width);
    }
    Q_UNREACHABLE();
}

} // namespace

QString senderLine(const AccountantRecord &s)
{
    QString line = s.msno + s.adres + s.telno + s.faxno + s.mobilno + s.unvan + s.isim;
    line.replace(CrLf, QStringLiteral("\n"));
    line.replace(u'\r', u'\n');
    line.replace(QStringLiteral("\n"), CrLf);
    return line;
}

QStringList employeeFields(const Query &row, bool retroactive, LineState &state)
{
    QStringList fields;
    fields.reserve(std::size(EmployeeFields));
    for (const LineField &f : EmployeeFields)
        fields += fieldText(f, row.field(QLatin1StringView(f.column)), retroactive, state);
    return fields;
}

QString employeeLine(const Query &row, bool retroactive, LineState &state)
{
    return employeeFields(row, retroactive, state).join(QString());
}

std::optional<QString> employeeLineProblem(const QStringList &fields, const LineState &state)
{
    Q_ASSERT(fields.size() == qsizetype(std::size(EmployeeFields)));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const LineField &f = EmployeeFields[i];
        const QString &text = fields[i];
        QString fault;
        if (characterCount(text) != f.width)
            fault = QStringLiteral("%1 karakter olmalı, %2 karakter tutuyor")
                        .arg(f.width)
                        .arg(characterCount(text));
        else if (f.digits && !std::all_of(text.cbegin(), text.cend(),
                                          [](QChar c) { return c >= u'0' && c <= u'9'; }))
            fault = QStringLiteral("yalnız rakam olmalı");
        if (fault.isEmpty())
            continue;
        return QStringLiteral("Dosya hazırlanamadı: %1 işvereninin %2. satırında \"%3\" alanı "
                              "%4 (\"%5\"). Lütfen bodroyu düzeltip tekrar deneyiniz.")
            .arg(state.previousEmployer, QString::number(state.lineNumber),
                 QString::fromUtf8(f.label), fault, text);
    }
    return std::nullopt;
}

QByteArray toCp1254(const QString &text)
{
    QStringEncoder encoder("windows-1254");
    QByteArray bytes = encoder.encode(text);
    // The converter marks a character it cannot map with SUB; a Windows ANSI
    // conversion writes "?" there.
    bytes.replace('\x1a', '?');
    return bytes;
}

QByteArray declarationBytes(const AccountantRecord &sender, Query &rows, bool retroactive)
{
    QString text = senderLine(sender) + CrLf;
    text.reserve(text.size() + rows.recordCount() * (NominalLineLength + 2));
    LineState state;
    for (rows.first(); !rows.eof(); rows.next()) {
        const QStringList fields = employeeFields(rows, retroactive, state);
        // The fund reads fixed positions: a shifted line would be read as
        // wrong figures, so no file leaves with one.
        if (const auto problem = employeeLineProblem(fields, state))
            throw AppError(*problem);
        text += fields.join(QString()) + CrLf;
    }
    return toCp1254(text);
}

QString internetFileName(const QString &msno, const QDateTime &when)
{
    return msno + u'_' + when.toString(QStringLiteral("ddMMyyyy_HHmmss")) + QStringLiteral(".txt");
}

QString handDeliveryFileName(const QString &msno)
{
    return msno + QStringLiteral("_0.txt");
}

QString workingFolder(const Tdm &dm)
{
    return QFileInfo(dm.dataDir()).absolutePath();
}

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // commit() does not notice a write that failed while flushing its buffer
    // (a full disk after a partial write), so the flush is checked first.
    errno = 0;
    const bool done = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                      file.flush() && file.commit();
    if (!done)
        throw IoError(
            failure::fileWriteText(QStringLiteral("Dosya"), path, errno, file.errorString()));
}
