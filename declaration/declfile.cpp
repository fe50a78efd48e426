// Building and writing the declaration file.
#include "declaration/declfile.h"

#include "accountant/accountantrecord.h"
#include "base/errors.h"
#include "store/dm.h"
#include "store/failure.h"
#include "store/returnrow.h"

#include <algorithm>
#include <cerrno>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringEncoder>

namespace
{

// What carries over from one employee line to the next.
struct LineState {
    QString previousEmployer; // YATISVER of the line before
    QString typeCode;         // code written on the line before
    int lineNumber = 0;       // of the line before
};

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

using RowText = const QString &(*)(const StoredRow &);

struct LineField {
    int position; // 1-based, when every field before has its nominal width
    int width;
    const char *column;
    RowText text; // the column's text in a read row
    Rule rule;
    bool digits;       // the fund reads the field as a number
    const char *label; // the name the user knows it by, UTF-8
};

// clang-format off
constexpr LineField EmployeeFields[] = {
    // pos  width  column          text of the row                                              rule                digits  label
    {   1,  12,   "YATISVER",     [](const StoredRow &r) -> const QString & { return r.key.employer; },    Rule::AsStored,     true,   "İşveren Sicil No" },
    {  13,   8,   "YATDEVREILK",  [](const StoredRow &r) -> const QString & { return r.key.periodStart; }, Rule::DateDigits,   true,   "Dönem Başı"       },
    {  21,   8,   "YATDEVRESON",  [](const StoredRow &r) -> const QString & { return r.key.periodEnd; },   Rule::DateDigits,   true,   "Dönem Sonu"       },
    {  29,   2,   "YATBODROTUR",  [](const StoredRow &r) -> const QString & { return r.key.type; },        Rule::TypeCode,     true,   "Bodro Türü"       },
    {  31,   6,   "YATISVER",     [](const StoredRow &r) -> const QString & { return r.key.employer; },    Rule::LineNumber,   true,   "Sıra No"          },
    {  37,   6,   "YATSRVNO",     [](const StoredRow &r) -> const QString & { return r.fundNo; },          Rule::ZeroFill,     true,   "Sarvek No"        },
    {  43,  12,   "YATKIMLIK",    [](const StoredRow &r) -> const QString & { return r.identityNo; },      Rule::ZeroFill,     true,   "Kimlik No"        },
    {  55,   9,   "YATSSKNO",     [](const StoredRow &r) -> const QString & { return r.insuranceNo; },     Rule::ZeroFill,     true,   "Sigorta No"       },
    {  64,   1,   "YATCINS",      [](const StoredRow &r) -> const QString & { return r.sex; },             Rule::AsStored,     false,  "Cinsiyet"         },
    {  65,   3,   "YATCALGUN",    [](const StoredRow &r) -> const QString & { return r.days; },            Rule::ZeroFill,     true,   "Gün Sayısı"       },
    {  68,   1,   "YATDURUM",     [](const StoredRow &r) -> const QString & { return r.leave; },           Rule::LeaveReason,  false,  "İzin Nedeni"      },
    {  69,  14,   "YATBRUT",      [](const StoredRow &r) -> const QString & { return r.grossText; },       Rule::AmountDigits, true,   "Aylık Kazanç"     },
    {  83,   5,   "YATPRIMOR",    [](const StoredRow &r) -> const QString & { return r.premiumRate.text(); }, Rule::RateDigits, true,  "P.Oranı %"        },
    {  88,   5,   "YATDEPOOR",    [](const StoredRow &r) -> const QString & { return r.depositRate.text(); }, Rule::RateDigits, true,  "D.Oranı %"        },
    {  93,  40,   "YATISIM",      [](const StoredRow &r) -> const QString & { return r.name; },            Rule::SpaceFill,    false,  "Adı Soyadı"       },
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
qsizetype characterCount(QStringView text)
{
    return text.size() -
           std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLowSurrogate(); });
}

// The appenders below write a field straight onto the end of its line, so
// that a line costs no intermediate texts.

void appendZeroFilled(QString &line, QStringView text, int width)
{
    const qsizetype n = characterCount(text);
    if (n < width)
        line.resize(line.size() + (width - n), u'0');
    line += text;
}

void appendSpaceFilled(QString &line, QStringView text, int width)
{
    const qsizetype n = characterCount(text);
    line += text;
    if (n < width)
        line.resize(line.size() + (width - n), u' ');
}

// The text without the two separators, zeros on the left up to width.
void appendDigits(QString &line, QStringView text, char16_t separator, char16_t other, int width)
{
    const auto kept = [separator, other](QChar c) {
        return c.unicode() != separator && c.unicode() != other;
    };
    const qsizetype n = std::count_if(text.cbegin(), text.cend(),
                                      [&kept](QChar c) { return kept(c) && !c.isLowSurrogate(); });
    if (n < width)
        line.resize(line.size() + (width - n), u'0');
    for (const QChar c : text)
        if (kept(c))
            line += c;
}

const QString &typeCode(const QString &stored, bool retroactive, const QString &previous)
{
    static const QString Codes[] = {QStringLiteral("01"), QStringLiteral("11"),
                                    QStringLiteral("02"), QStringLiteral("12")};
    if (stored == u"01")
        return Codes[retroactive ? 1 : 0];
    if (stored == u"02")
        return Codes[retroactive ? 3 : 2];
    return previous;
}

// A rate as a number with two decimals, without separators. Rates repeat from
// line to line, so the last two texts are kept with their digits.
QString rateDigits(const StoredRate &rate)
{
    struct Known {
        QString text;
        QString digits;
    };
    thread_local Known known[2];
    thread_local int next = 0;
    for (const Known &k : known)
        if (!k.digits.isNull() && k.text == rate.text())
            return k.digits;
    QString digits = rate.amountText();
    digits.remove(u',');
    digits.remove(u'.');
    // A copy of its own: the rate's storage is reused for the next line.
    known[next] = {QString(rate.text().constData(), rate.text().size()), digits};
    next = 1 - next;
    return digits;
}

// The rate whose text the field writes.
const StoredRate &rateOf(const StoredRow &row, const LineField &f)
{
    return &f.text(row) == &row.premiumRate.text() ? row.premiumRate : row.depositRate;
}

void appendField(QString &line, const LineField &f, const StoredRow &row, bool retroactive,
                 LineState &state)
{
    const QString &value = f.text(row);
    switch (f.rule) {
    case Rule::AsStored:
        line += value;
        return;
    case Rule::DateDigits:
        appendDigits(line, value, u'.', u'/', 0);
        return;
    case Rule::TypeCode:
        state.typeCode = typeCode(value, retroactive, state.typeCode);
        line += state.typeCode;
        return;
    case Rule::LineNumber:
        state.lineNumber =
            state.lineNumber > 0 && value == state.previousEmployer ? state.lineNumber + 1 : 1;
        if (state.previousEmployer != value)
            state.previousEmployer = QString(value.constData(), value.size());
        appendZeroFilled(line, QString::number(state.lineNumber), f.width);
        return;
    case Rule::ZeroFill:
        appendZeroFilled(line, value, f.width);
        return;
    case Rule::LeaveReason:
        line += value.isEmpty() ? QStringView(u" ") : QStringView(value);
        return;
    case Rule::AmountDigits:
        appendDigits(line, value, u',', u'.', f.width);
        return;
    case Rule::RateDigits:
        appendZeroFilled(line, rateDigits(rateOf(row, f)), f.width);
        return;
    case Rule::SpaceFill:
        appendSpaceFilled(line, value, f.width);
        return;
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

QByteArray toCp1254(const QString &text)
{
    QStringEncoder encoder("windows-1254");
    QByteArray bytes = encoder.encode(text);
    // The converter marks a character it cannot map with SUB; a Windows ANSI
    // conversion writes "?" there.
    bytes.replace('\x1a', '?');
    return bytes;
}

namespace
{

// Lines go through append() one at a time and are encoded in chunks, so the
// file never exists as one whole UTF-16 text beside its bytes.
class FileBuilder
{
  public:
    explicit FileBuilder(const AccountantRecord &sender)
    {
        m_chunk.reserve(ChunkSize + NominalLineLength * 2);
        m_chunk += senderLine(sender) + CrLf;
    }

    void append(const QString &line)
    {
        m_chunk += line;
        m_chunk += CrLf;
        if (m_chunk.size() >= ChunkSize)
            encodeChunk();
    }

    QByteArray finish()
    {
        encodeChunk();
        return std::move(m_bytes);
    }

  private:
    static constexpr qsizetype ChunkSize = 64 * 1024;

    // A chunk ends with a line, so no character is ever split between two.
    void encodeChunk()
    {
        m_bytes += toCp1254(m_chunk);
        m_chunk.clear();
    }

    QString m_chunk;
    QByteArray m_bytes;
};

constexpr qsizetype FieldCount = qsizetype(std::size(EmployeeFields));

// The fund reads fixed positions: a field that is not exactly its width, or
// not digits where a number is read, would be read as wrong figures, so no
// file leaves with one. `start` holds where each field of `line` begins, and
// where the line ends. Throws AppError naming the employer, the line and the
// field.
void checkLine(QStringView line, const qsizetype (&start)[FieldCount + 1], const LineState &state)
{
    for (qsizetype i = 0; i < FieldCount; ++i) {
        const LineField &f = EmployeeFields[i];
        const QStringView text = line.mid(start[i], start[i + 1] - start[i]);
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
        throw AppError(
            QStringLiteral("Dosya hazırlanamadı: %1 işvereninin %2. satırında \"%3\" "
                           "alanı %4 (\"%5\"). Lütfen bodroyu düzeltip tekrar deneyiniz.")
                .arg(state.previousEmployer, QString::number(state.lineNumber),
                     QString::fromUtf8(f.label), fault, text.toString()));
    }
}

// Appends the employee line of one row to line and checks it.
void appendLine(QString &line, const StoredRow &row, bool retroactive, LineState &state)
{
    qsizetype start[FieldCount + 1];
    for (qsizetype i = 0; i < FieldCount; ++i) {
        start[i] = line.size();
        appendField(line, EmployeeFields[i], row, retroactive, state);
    }
    start[FieldCount] = line.size();
    checkLine(line, start, state);
}

} // namespace

std::optional<DeclarationFile> declarationFile(const AccountantRecord &sender, Database &db,
                                               const BoundSql &selection, bool retroactive)
{
    QStringList columns;
    for (const LineField &f : EmployeeFields)
        if (!columns.contains(QLatin1StringView(f.column)))
            columns << QLatin1StringView(f.column);
    Statement rows = prepareColumns(db, selection.sql, columns);
    rows.bindAll(selection.params);
    StoredRowReader reader(rows);

    if (!rows.step())
        return std::nullopt;
    FileBuilder file(sender);
    LineState state;
    DeclarationFile built;
    QSet<QString> employers;
    // One row and one line, their storage reused from row to row.
    StoredRow row;
    QString line;
    line.reserve(NominalLineLength);
    do {
        reader.read(rows, row);
        line.resize(0);
        appendLine(line, row, retroactive, state);
        file.append(line);
        ++built.lineCount;
        // Numbering starts again at each change of employer, so the set is
        // offered one text per run of lines, not one per line.
        if (state.lineNumber == 1)
            employers.insert(state.previousEmployer);
    } while (rows.step());
    built.employerCount = int(employers.size());
    built.bytes = file.finish();
    return built;
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
