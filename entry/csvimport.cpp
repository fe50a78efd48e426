// The CSV reader of the import and the grid filling that follows it.
#include "entry/csvimport.h"

#include "base/amounttext.h"
#include "base/errors.h"
#include "entry/arithmetic.h"
#include "entry/headerrules.h"
#include "entry/rowcheck.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

using namespace entrygrid;

namespace csvimport
{

namespace
{

// Widths of the stored columns: a longer text would make "Kayıt" refuse the
// whole return, so it is refused here, row by row.
struct Width {
    Column column;
    int max;
};
constexpr Width TextWidths[] = {{KimlikNo, 12}, {SigortaNo, 9}, {AdiSoyadi, 40}, {IzinNedeni, 1}};
constexpr int SarvekNoLength = 6;
constexpr int GrossWidth = 25;

const QString LeaveLetters = QStringLiteral("ACDGHOP");

// A title as the user may have typed it, reduced to its letters and digits:
// Turkish letters as their plain Latin look-alikes, lower case. "P.Oranı %",
// "p oranı" and "PORANI" are all "porani".
QString titleKey(const QString &title)
{
    static const QString turkish = QStringLiteral("ıİşŞğĞüÜöÖçÇ");
    static const QString latin = QStringLiteral("iissgguuoocc");
    QString out;
    for (QChar c : title) {
        if (const qsizetype at = turkish.indexOf(c); at >= 0)
            c = latin[at];
        if (c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

int columnForTitle(const QString &title)
{
    static const QHash<QString, int> byKey = [] {
        QHash<QString, int> keys;
        for (Column c : importedColumns())
            keys.insert(titleKey(columnTitles()[c]), c);
        return keys;
    }();
    return byKey.value(titleKey(title), -1);
}

bool isDigits(QStringView s)
{
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !s.isEmpty();
}

// "1,234,567" with `sep` ",": a first group of one to three digits that does
// not start with 0, then groups of exactly three.
bool isGrouped(QStringView s, QChar sep)
{
    const QList<QStringView> groups = s.split(sep);
    if (groups.size() < 2)
        return false;
    const QStringView first = groups.first();
    if (!isDigits(first) || first.size() > 3 || first.startsWith(u'0'))
        return false;
    for (qsizetype i = 1; i < groups.size(); ++i) {
        if (groups[i].size() != 3 || !isDigits(groups[i]))
            return false;
    }
    return true;
}

// The text as decoded characters, or why it is not text.
struct Decoded {
    QString text;
    QString error;
};

const QString NotTextMessage = QStringLiteral(
    "Seçilen dosya bir metin (CSV) dosyası değil. Tabloyu CSV olarak kaydedip o dosyayı seçiniz.");

const QString EmptyMessage = QStringLiteral("Seçilen dosya boş; aktarılacak satır yok.");

Decoded decode(const QByteArray &bytes)
{
    QString text;
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8) {
        // A byte order mark of UTF-16 or UTF-32: what "Unicode text" saves.
        QStringDecoder decoder(*marked);
        text = decoder.decode(bytes);
        if (decoder.hasError())
            return {{}, NotTextMessage};
    } else {
        if (bytes.contains('\0'))
            return {{}, NotTextMessage};
        QStringDecoder utf8(QStringConverter::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            // Not UTF-8: a Turkish spreadsheet writes its code page.
            QStringDecoder cp1254("windows-1254");
            text = cp1254.decode(bytes);
            if (!cp1254.isValid() || cp1254.hasError())
                return {{}, NotTextMessage};
        }
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r')
            return {{}, NotTextMessage};
    }
    return {text, {}};
}

// The separator is the one of ";", Tab and "," that the title line uses most,
// counted outside quotes; titles never hold one. Lines before it without a
// letter or digit (empty rows of the sheet) are passed over.
QChar detectSeparator(QStringView text)
{
    int semicolons = 0, tabs = 0, commas = 0;
    bool quoted = false;
    bool content = false;
    for (QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted || c.isLetterOrNumber()) {
            content = true;
        } else if (c == u'\n' || c == u'\r') {
            if (content)
                break;
            semicolons = tabs = commas = 0;
        } else if (c == u';') {
            ++semicolons;
        } else if (c == u'\t') {
            ++tabs;
        } else if (c == u',') {
            ++commas;
        }
    }
    if (semicolons >= tabs && semicolons >= commas)
        return u';';
    return tabs >= commas ? u'\t' : u',';
}

struct Records {
    QList<QStringList> records;
    int unclosedQuoteRecord = 0; // 1-based record that opened a quote never closed
};

// Fields by the usual CSV rules: a field in double quotes may hold the
// separator and line breaks, and "" inside it is one quote. A record ends at
// CR LF, LF or CR outside quotes; a quote inside an unquoted field is kept as
// it stands.
Records splitRecords(QStringView text, QChar sep)
{
    Records out;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false; // something of the current record has been read
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == sep) {
            record << field;
            field.clear();
            fieldStarted = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            record << field;
            out.records << record;
            record.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        out.unclosedQuoteRecord = int(out.records.size()) + 1;
    if (fieldStarted || !field.isEmpty()) {
        record << field;
        out.records << record;
    }
    return out;
}

bool isBlank(const QStringList &record)
{
    for (const QString &field : record) {
        if (!field.trimmed().isEmpty())
            return false;
    }
    return true;
}

QString title(int column)
{
    return columnTitles()[column];
}

QStringList importedTitles()
{
    QStringList titles;
    for (Column c : importedColumns())
        titles << title(c);
    return titles;
}

// The verdict names the row and the column in the words of the grid's own
// checks before storing.
void refuse(Row &row, int column, const QString &what)
{
    row.verdict =
        QStringLiteral("%1. satırın \"%2\" hücresi %3").arg(row.sheetRow).arg(title(column), what);
    row.problemColumn = column;
}

// The checks that need only the sheet's texts; fills row.typed on the way.
// Returns false once the row is refused.
bool checkTexts(Row &row)
{
    for (Column c : importedColumns()) {
        for (QChar ch : row.sheet[c]) {
            if (ch == u'\n' || ch == u'\r') {
                refuse(row, c, QStringLiteral("alt satıra geçmemelidir."));
                return false;
            }
        }
    }
    const QString &sarvekNo = row.sheet[SarvekNo];
    if (sarvekNo.isEmpty()) {
        refuse(row, SarvekNo, QStringLiteral("boş; 6 karakter olmalıdır."));
        return false;
    }
    if (sarvekNo.size() != SarvekNoLength) {
        refuse(row, SarvekNo, QStringLiteral("(\"%1\") 6 karakter olmalıdır.").arg(sarvekNo));
        return false;
    }
    for (const Width &w : TextWidths) {
        if (row.sheet[w.column].size() > w.max) {
            refuse(row, w.column,
                   QStringLiteral("en fazla %1 karakter olmalıdır (%2 karakter var).")
                       .arg(w.max)
                       .arg(row.sheet[w.column].size()));
            return false;
        }
    }
    for (Column c : importedColumns())
        row.typed[c] = row.sheet[c];
    // As the grid does when these cells are left with the Right arrow.
    row.typed[Cinsiyet] = upperAscii(row.typed[Cinsiyet]);
    row.typed[IzinNedeni] = upperAscii(row.typed[IzinNedeni]);
    const QString &leave = row.typed[IzinNedeni];
    if (!leave.isEmpty() && !LeaveLetters.contains(leave)) {
        refuse(row, IzinNedeni,
               QStringLiteral("(\"%1\") boş ya da A, C, D, G, H, O, P harflerinden biri "
                              "olmalıdır.")
                   .arg(row.sheet[IzinNedeni]));
        return false;
    }
    for (Column c : {AylikKazanc, POrani, DOrani}) {
        const AmountReading reading = readAmount(row.sheet[c]);
        switch (reading.kind) {
        case AmountReading::Kind::Number:
            row.typed[c] = reading.plain;
            break;
        case AmountReading::Kind::Ambiguous:
            refuse(row, c,
                   QStringLiteral("(\"%1\") iki türlü okunabiliyor; ondalıklarıyla birlikte "
                                  "yazınız (1.234,00 ya da 1,234.00 gibi).")
                       .arg(row.sheet[c]));
            return false;
        case AmountReading::Kind::NotANumber:
            refuse(row, c, QStringLiteral("(\"%1\") bir sayı değil.").arg(row.sheet[c]));
            return false;
        }
    }
    return true;
}

// A grid row typed and left amount cell by amount cell, as the user would.
// The first cell whose leave rule cannot compute is named, with why, and the
// row is then unfinished.
struct Entered {
    QStringList row;
    int failedColumn = -1;
    QString failure;
};

Entered enter(const QStringList &typed, int number)
{
    Entered out{templateRow(number)};
    for (int c = SarvekNo; c < AylikKazanc; ++c)
        out.row[c] = typed.value(c);
    for (Column c : {AylikKazanc, POrani, DOrani}) {
        out.row[c] = typed.value(c);
        try {
            entryarith::leaveCell(out.row, c);
        } catch (const ConversionError &e) {
            out.failedColumn = c;
            out.failure = e.message();
            return out;
        }
    }
    return out;
}

void checkRow(Row &row)
{
    if (!checkTexts(row))
        return;
    // The stored column holds the gross as the grid shows it. A longer one is
    // refused before a premium is computed from it, which may not even fit in
    // a number.
    const QString gross = amount::format(entryarith::readTyped(row.typed[AylikKazanc]));
    if (gross.size() > GrossWidth) {
        refuse(row, AylikKazanc,
               QStringLiteral("en fazla %1 karakter olmalıdır (\"%2\" %3 karakter).")
                   .arg(GrossWidth)
                   .arg(gross)
                   .arg(gross.size()));
        return;
    }
    const Entered entered = enter(row.typed, row.sheetRow);
    if (entered.failedColumn >= 0) {
        refuse(row, entered.failedColumn,
               QStringLiteral("(\"%1\") ile tutar hesaplanamıyor (%2).")
                   .arg(row.sheet[entered.failedColumn], entered.failure));
        return;
    }
    row.computed = entered.row;
    if (const auto problem = checkRowForStore(row.computed, row.sheetRow)) {
        row.verdict = problem->message;
        row.problemColumn = problem->column;
        return;
    }
    row.verdict = ReadyVerdict;
}

bool isEmptyRow(const QStringList &row)
{
    for (int c = SarvekNo; c < AylikKazanc; ++c) {
        if (!row.value(c).isEmpty())
            return false;
    }
    for (int c = AylikKazanc; c < ColumnCount; ++c) {
        const QString cell = row.value(c);
        if (!cell.isEmpty() && cell != QLatin1String("0") && cell != QLatin1String("0.00"))
            return false;
    }
    return true;
}

} // namespace

const QList<Column> &importedColumns()
{
    static const QList<Column> columns{SarvekNo,  KimlikNo,   SigortaNo,   AdiSoyadi, Cinsiyet,
                                       GunSayisi, IzinNedeni, AylikKazanc, POrani,    DOrani};
    return columns;
}

AmountReading readAmount(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {AmountReading::Kind::Number, QStringLiteral("0")};
    QStringView s = trimmed;
    QString sign;
    if (s.startsWith(u'-') || s.startsWith(u'+')) {
        if (s.startsWith(u'-'))
            sign = QStringLiteral("-");
        s = s.mid(1);
    }
    const AmountReading notANumber;
    if (s.isEmpty())
        return notANumber;
    for (QChar c : s) {
        if (!(c.unicode() >= u'0' && c.unicode() <= u'9') && c != u'.' && c != u',')
            return notANumber;
    }
    const qsizetype dots = s.count(u'.');
    const qsizetype commas = s.count(u',');
    auto number = [&](QStringView whole, QStringView fraction) {
        QString plain = sign + (whole.isEmpty() ? QStringLiteral("0") : whole.toString());
        if (!fraction.isNull())
            plain += u'.' + fraction.toString();
        // Too many digits for an exact decimal.
        if (!Decimal::parse(plain))
            return notANumber;
        return AmountReading{AmountReading::Kind::Number, plain};
    };

    if (dots == 0 && commas == 0)
        return number(s, {});
    if (dots > 0 && commas > 0) {
        // Both present: the later one is the decimal separator.
        const qsizetype at = std::max(s.lastIndexOf(u'.'), s.lastIndexOf(u','));
        const QChar point = s[at];
        const QChar group = point == u'.' ? u',' : u'.';
        const QStringView whole = s.left(at);
        const QStringView fraction = s.mid(at + 1);
        if (s.count(point) != 1 || !isDigits(fraction) || !isGrouped(whole, group))
            return notANumber;
        return number(whole.toString().remove(group), fraction);
    }
    const QChar sep = dots > 0 ? u'.' : u',';
    if (s.count(sep) > 1) {
        // Only a thousands grouping repeats.
        if (!isGrouped(s, sep))
            return notANumber;
        return number(s.toString().remove(sep), {});
    }
    const qsizetype at = s.indexOf(sep);
    const QStringView whole = s.left(at);
    const QStringView fraction = s.mid(at + 1);
    if (!isDigits(fraction) || (!whole.isEmpty() && !isDigits(whole)))
        return notANumber;
    if (isGrouped(s, sep))
        return {AmountReading::Kind::Ambiguous, {}};
    return number(whole, fraction);
}

QList<QStringList> Sheet::readyRows() const
{
    QList<QStringList> out;
    for (const Row &row : rows) {
        if (row.ready())
            out << row.typed;
    }
    return out;
}

Sheet readSheet(const QByteArray &bytes)
{
    Sheet sheet;
    const Decoded decoded = decode(bytes);
    if (!decoded.error.isEmpty()) {
        sheet.error = decoded.error;
        return sheet;
    }
    if (decoded.text.trimmed().isEmpty()) {
        sheet.error = EmptyMessage;
        return sheet;
    }

    const QChar sep = detectSeparator(decoded.text);
    const Records split = splitRecords(decoded.text, sep);
    if (split.unclosedQuoteRecord) {
        sheet.error = QStringLiteral("Dosyanın %1. satırında açılan tırnak (\") kapanmıyor; "
                                     "dosyanın sonuna kadar her şey tek hücreye giriyor.")
                          .arg(split.unclosedQuoteRecord);
        return sheet;
    }

    // The first line that is not blank holds the titles.
    qsizetype titleAt = 0;
    while (titleAt < split.records.size() && isBlank(split.records[titleAt]))
        ++titleAt;
    if (titleAt == split.records.size()) {
        sheet.error = EmptyMessage;
        return sheet;
    }
    const QStringList titles = split.records[titleAt];
    QList<int> fieldColumn(titles.size(), -1);
    bool known = false;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const int column = columnForTitle(titles[i]);
        if (column >= 0 && fieldColumn.contains(column)) {
            sheet.error = QStringLiteral("\"%1\" sütunu başlık satırında birden çok kez var.")
                              .arg(title(column));
            return sheet;
        }
        fieldColumn[i] = column;
        known = known || column >= 0;
    }
    if (!known) {
        sheet.error = QStringLiteral("Dosyanın ilk satırında tanınan bir sütun başlığı yok. "
                                     "Başlıklar şunlardan olmalı: %1.")
                          .arg(importedTitles().join(QStringLiteral(", ")));
        return sheet;
    }

    for (qsizetype r = titleAt + 1; r < split.records.size(); ++r) {
        const QStringList &record = split.records[r];
        if (isBlank(record))
            continue;
        Row row;
        row.sheetRow = int(r) + 1;
        row.sheet = QStringList(ColumnCount);
        row.typed = QStringList(ColumnCount);
        for (qsizetype i = 0; i < record.size() && i < fieldColumn.size(); ++i) {
            if (fieldColumn[i] >= 0)
                row.sheet[fieldColumn[i]] = record[i].trimmed();
        }
        checkRow(row);
        // A ready row's gross fits its stored column and its rates are below
        // 1000, so no count of them can take these sums out of a Decimal.
        if (row.ready()) {
            ++sheet.readyCount;
            sheet.grossTotal += amount::textAsFloat(row.computed[AylikKazanc]);
            sheet.grandTotal += amount::textAsFloat(row.computed[Toplam]);
        }
        sheet.rows << row;
    }
    if (sheet.rows.isEmpty())
        sheet.error = QStringLiteral("Dosyada başlık satırından başka satır yok.");
    return sheet;
}

Sheet readSheetFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Sheet sheet;
        sheet.error = QStringLiteral("%1 dosyası açılamadı: %2").arg(path, file.errorString());
        return sheet;
    }
    return readSheet(file.readAll());
}

QStringList enteredRow(const QStringList &typed, int number)
{
    const Entered entered = enter(typed, number);
    if (entered.failedColumn >= 0)
        throw ConversionError(entered.failure);
    return entered.row;
}

GridCells appendToGrid(const GridCells &grid, const QList<QStringList> &typedRows)
{
    GridCells out = grid;
    int number = 1;
    if (out.size() > 1) {
        number = entryheader::toInteger(out.constLast()[SNo]);
        if (isEmptyRow(out.constLast()))
            out.removeLast();
        else
            ++number;
    }
    for (const QStringList &typed : typedRows)
        out << enteredRow(typed, number++);
    out << templateRow(number);
    return out;
}

} // namespace csvimport
