// The spreadsheet import: reading amounts in both forms, reading whole sheets
// (encodings, separators, quoting, titles, verdicts), and filling the grid as
// typing the same rows would.
#include "base/amounttext.h"
#include "entry/arithmetic.h"
#include "entry/csvimport.h"
#include "entry/gridrules.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QStringEncoder>

using namespace entrygrid;
using csvimport::AmountReading;

namespace
{

QString fixture(const QString &name)
{
    return QDir(QStringLiteral(SARVEK_FIXTURES_DIR)).filePath(QStringLiteral("csv/") + name);
}

// ---------------------------------------------------------------- amounts

struct AmountCase {
    const char *text;
    AmountReading::Kind kind;
    const char *plain;
};

constexpr auto Num = AmountReading::Kind::Number;
constexpr auto Amb = AmountReading::Kind::Ambiguous;
constexpr auto Bad = AmountReading::Kind::NotANumber;

const AmountCase amountCases[] = {
    {"2,500.50", Num, "2500.50"},
    {"2.500,50", Num, "2500.50"},
    {"2500.5", Num, "2500.5"},
    {"2500,5", Num, "2500.5"},
    {"1,234,567", Num, "1234567"},
    {"1.234.567", Num, "1234567"},
    {"1,234,567.891", Num, "1234567.891"},
    {"1.234.567,891", Num, "1234567.891"},
    {"1234,567", Num, "1234.567"}, // four digits before: no grouping
    {"0,500", Num, "0.500"},       // a group never starts with 0
    {",5", Num, "0.5"},
    {" 950 ", Num, "950"},
    {"", Num, "0"},
    {"-1.500,25", Num, "-1500.25"},
    {"1,234", Amb, ""},
    {"1.234", Amb, ""},
    {"12.500", Amb, ""},
    {"999,999", Amb, ""},
    {"-1,234", Amb, ""},
    {"abc", Bad, ""},
    {"12a", Bad, ""},
    {"1 234,50", Bad, ""},
    {"5,", Bad, ""},
    {"1,2,3", Bad, ""},
    {"1.234.56", Bad, ""},
    {"1,23.45", Bad, ""},
    {"1.234,5,6", Bad, ""},
    {"1,234.5.6", Bad, ""},
    {"1e5", Bad, ""},
    {"-", Bad, ""},
    {"1234567890123456789012345678901234567890", Bad, ""},
};

class ReadAmountTest : public testing::TestWithParam<AmountCase>
{
};

TEST_P(ReadAmountTest, Reads)
{
    const AmountCase &c = GetParam();
    const AmountReading r = csvimport::readAmount(QString::fromUtf8(c.text));
    EXPECT_EQ(r.kind, c.kind) << c.text;
    if (c.kind == Num) {
        EXPECT_EQ(r.plain, QString::fromUtf8(c.plain)) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Csv, ReadAmountTest, testing::ValuesIn(amountCases));

// ---------------------------------------------------------------- sheets

const QString Ready = csvimport::ReadyVerdict;

// One row as expected: its row number in the sheet, its verdict, and for a
// ready row the ten imported cells as the grid will show them.
struct RowExpect {
    int sheetRow;
    QString verdict;
    QStringList shown;
};

struct SheetCase {
    const char *file;
    QList<RowExpect> rows;
    QString grandTotal;
};

QString ambiguous(int row, const QString &column, const QString &text)
{
    return QStringLiteral("%1. satırın \"%2\" hücresi (\"%3\") iki türlü okunabiliyor; "
                          "ondalıklarıyla birlikte yazınız (1.234,00 ya da 1,234.00 gibi).")
        .arg(row)
        .arg(column, text);
}

const QList<SheetCase> &sheetCases()
{
    static const QList<SheetCase> cases{
        {"utf8_semicolon.csv",
         {{2,
           Ready,
           {"100001", "12345678901", "123456789", "Ayşe Öztürk", "K", "30", "", "2,500.50", "2.00",
            "3.50"}},
          {3,
           Ready,
           {"100002", "23456789012", "234567890", "Çağrı Işık", "E", "20", "H", "1,800.00", "5.00",
            "10.00"}},
          {4, "4. satırın \"Cinsiyet\" hücresi \"E\" veya \"K\" olmalıdır.", {}},
          {6, ambiguous(6, "Aylık Kazanç", "3.100"), {}},
          {7,
           Ready,
           {"100005", "56789012345", "456789012", "Ömer Güneş", "E", "30", "", "950.75", "5.00",
            "10.00"}}},
         "550.15"},
        {"cp1254_comma.csv",
         {{2,
           Ready,
           {"200001", "11111111111", "", "Şükrü Güler", "E", "30", "", "2,500.50", "2.00", "3.50"}},
          {3, ambiguous(3, "Aylık Kazanç", "1,234"), {}},
          {4, "4. satırın \"Sarvek No\" hücresi (\"20003\") 6 karakter olmalıdır.", {}},
          {5,
           Ready,
           {"200004", "44444444444", "", "Ğani Özdemir", "E", "15", "O", "12,345.60", "5.00",
            "10.00"}}},
         "1,989.37"},
        {"cp1254_semicolon.csv",
         {{2,
           Ready,
           {"110001", "11122233344", "111222333", "Şerife Çağlar", "K", "30", "", "3,250.00",
            "5.00", "10.00"}},
          {3,
           Ready,
           {"110002", "22233344455", "222333444", "İbrahim Öğüt", "E", "30", "", "4,100.75", "5.00",
            "10.00"}},
          {4,
           Ready,
           {"110003", "33344455566", "333444555", "Gökhan Işıkçı", "E", "12", "G", "1,800.00",
            "5.00", "10.00"}},
          {5, "5. satırın \"Sarvek No\" hücresi (\"11004\") 6 karakter olmalıdır.", {}}},
         "1,372.62"},
        {"quoted.csv",
         {{2, Ready, {"300001", "", "", "Kaya; Mehmet", "E", "", "", "1,000.00", "5.00", "10.00"}},
          {3,
           Ready,
           {"300002", "", "", "Ali \"Dayı\" Yılmaz", "E", "", "", "1,000.00", "5.00", "10.00"}},
          {4, "4. satırın \"Adı Soyadı\" hücresi alt satıra geçmemelidir.", {}},
          {5, Ready, {"300004", "", "", "Son Satır", "K", "", "", "1,000.00", "5.00", "10.00"}}},
         "450.00"},
        {"bom_tab.txt",
         {{2, Ready, {"400001", "", "", "Hüseyin Aydın", "E", "", "", "2,500.50", "2.00", "3.50"}},
          {3, ambiguous(3, "Aylık Kazanç", "1,234"), {}},
          {4, ambiguous(4, "Aylık Kazanç", "1.234"), {}},
          {5, "5. satırın \"P.Oranı %\" hücresi 0 ile 999.99 arasında bir sayı olmalıdır.", {}}},
         "137.53"},
    };
    return cases;
}

class SheetTest : public testing::TestWithParam<SheetCase>
{
};

TEST_P(SheetTest, RowsAndVerdicts)
{
    const SheetCase &c = GetParam();
    const csvimport::Sheet sheet = csvimport::readSheetFile(fixture(QString::fromUtf8(c.file)));
    ASSERT_EQ(sheet.error, QString());
    ASSERT_EQ(sheet.rows.size(), c.rows.size());
    int ready = 0;
    for (qsizetype i = 0; i < c.rows.size(); ++i) {
        const RowExpect &want = c.rows[i];
        const csvimport::Row &got = sheet.rows[i];
        EXPECT_EQ(got.sheetRow, want.sheetRow);
        EXPECT_EQ(got.verdict, want.verdict) << "row " << want.sheetRow;
        if (!want.shown.isEmpty()) {
            QStringList shown;
            for (Column col : csvimport::importedColumns())
                shown << got.computed.value(col);
            EXPECT_EQ(shown, want.shown) << "row " << want.sheetRow;
            ++ready;
        }
    }
    EXPECT_EQ(sheet.readyCount, ready);
    EXPECT_EQ(amount::format(sheet.grandTotal), c.grandTotal);
    EXPECT_EQ(sheet.readyRows().size(), ready);
}

INSTANTIATE_TEST_SUITE_P(Csv, SheetTest, testing::ValuesIn(sheetCases()));

TEST(CsvSheet, RefusedCellIsNamed)
{
    const csvimport::Sheet sheet = csvimport::readSheetFile(fixture("cp1254_comma.csv"));
    ASSERT_EQ(sheet.rows.size(), 4);
    EXPECT_EQ(sheet.rows[1].problemColumn, AylikKazanc);
    EXPECT_EQ(sheet.rows[2].problemColumn, SarvekNo);
    EXPECT_EQ(sheet.rows[0].problemColumn, -1);
    // A refused row keeps what the sheet holds, so the dialog can show it.
    EXPECT_EQ(sheet.rows[1].sheet[AylikKazanc], QStringLiteral("1,234"));
    EXPECT_EQ(sheet.rows[1].sheet[AdiSoyadi], QStringLiteral("Nazlı Çelik"));
}

// Files that cannot be read as a sheet at all.
struct BadFileCase {
    const char *name;
    QByteArray bytes; // empty with a fixture name: the fixture is read
    QString error;
};

const QString NotText = QStringLiteral("Seçilen dosya bir metin (CSV) dosyası değil. Tabloyu CSV "
                                       "olarak kaydedip o dosyayı seçiniz.");
const QString Empty = QStringLiteral("Seçilen dosya boş; aktarılacak satır yok.");

const QList<BadFileCase> &badFileCases()
{
    static const QList<BadFileCase> cases{
        {"empty.csv", {}, Empty},
        {"workbook.csv", {}, NotText},
        {"blanks", QByteArray(" \r\n\t\r\n"), Empty},
        {"empty fields", QByteArray(";;;\r\n;;\r\n"), Empty},
        {"control characters", QByteArray("Sarvek No;Cinsiyet\r\n123456;E\x01\r\n"), NotText},
        {"titles only", QByteArray("Sarvek No;Cinsiyet\r\n\r\n"),
         QStringLiteral("Dosyada başlık satırından başka satır yok.")},
        {"no known title", QByteArray("Ad;Soyad\r\nAli;Veli\r\n"),
         QStringLiteral("Dosyanın ilk satırında tanınan bir sütun başlığı yok. Başlıklar "
                        "şunlardan olmalı: Sarvek No, Kimlik No, Sigorta No, Adı Soyadı, "
                        "Cinsiyet, Gün Sayısı, İzin Nedeni, Aylık Kazanç, P.Oranı %, D.Oranı %.")},
        {"title twice", QByteArray("Sarvek No;Aylık Kazanç;AYLIK KAZANC\r\n123456;1;2\r\n"),
         QStringLiteral("\"Aylık Kazanç\" sütunu başlık satırında birden çok kez var.")},
        {"quote left open",
         QByteArray("Sarvek No;Adı Soyadı\n123456;Ali\n123457;\"Veli\n123458;x\n"),
         QStringLiteral("Dosyanın 3. satırında açılan tırnak (\") kapanmıyor; dosyanın sonuna "
                        "kadar her şey tek hücreye giriyor.")},
    };
    return cases;
}

class BadFileTest : public testing::TestWithParam<BadFileCase>
{
};

TEST_P(BadFileTest, Refused)
{
    const BadFileCase &c = GetParam();
    const csvimport::Sheet sheet =
        c.bytes.isEmpty() ? csvimport::readSheetFile(fixture(QString::fromUtf8(c.name)))
                          : csvimport::readSheet(c.bytes);
    EXPECT_EQ(sheet.error, c.error) << c.name;
    EXPECT_TRUE(sheet.rows.isEmpty()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Csv, BadFileTest, testing::ValuesIn(badFileCases()));

TEST(CsvSheet, MissingFileIsNamed)
{
    const QString path = fixture("nowhere.csv");
    const csvimport::Sheet sheet = csvimport::readSheetFile(path);
    EXPECT_TRUE(sheet.error.startsWith(path + QStringLiteral(" dosyası açılamadı")))
        << sheet.error.toStdString();
}

TEST(CsvSheet, Utf16WithByteOrderMark)
{
    QStringEncoder toUtf16(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray bytes = toUtf16.encode(
        QStringLiteral("Sarvek No\tAdı Soyadı\tCinsiyet\r\n500001\tŞule Ağaç\tK\r\n"));
    const csvimport::Sheet sheet = csvimport::readSheet(bytes);
    ASSERT_EQ(sheet.rows.size(), 1);
    EXPECT_EQ(sheet.rows[0].verdict, Ready);
    EXPECT_EQ(sheet.rows[0].typed[AdiSoyadi], QStringLiteral("Şule Ağaç"));
}

TEST(CsvSheet, EmptyRowsBeforeTheTitles)
{
    // The separator is taken from the title line, not from the empty rows a
    // sheet may write above it; row numbers still count those rows.
    const csvimport::Sheet sheet =
        csvimport::readSheet(QByteArray("\r\n,,,\r\n"
                                        "Sarvek No,Adı Soyadı,Cinsiyet\r\n"
                                        "800001,\"Er, Can\",E\r\n"));
    ASSERT_EQ(sheet.rows.size(), 1);
    EXPECT_EQ(sheet.rows[0].sheetRow, 4);
    EXPECT_EQ(sheet.rows[0].verdict, Ready);
    EXPECT_EQ(sheet.rows[0].typed[AdiSoyadi], QStringLiteral("Er, Can"));
}

TEST(CsvSheet, ShortAndLongRecords)
{
    // Fields past the titles are ignored; missing ones are empty, and an empty
    // amount is typed as nothing, which the grid reads as 0.
    const csvimport::Sheet sheet =
        csvimport::readSheet(QByteArray("Sarvek No;Cinsiyet;Aylık Kazanç;P.Oranı %\n"
                                        "600001;E\n"
                                        "600002;K;1000;5;fazla;alan\n"));
    ASSERT_EQ(sheet.rows.size(), 2);
    EXPECT_EQ(sheet.rows[0].verdict, Ready);
    EXPECT_EQ(sheet.rows[0].computed[AylikKazanc], QStringLiteral("0.00"));
    EXPECT_EQ(sheet.rows[0].computed[Toplam], QStringLiteral("0.00"));
    EXPECT_EQ(sheet.rows[1].verdict, Ready);
    EXPECT_EQ(sheet.rows[1].computed[Toplam], QStringLiteral("50.00"));
}

struct CellCase {
    const char *line; // Sarvek No;Kimlik No;Sigorta No;Adı Soyadı;Cinsiyet;Gün Sayısı;İzin
                      // Nedeni;Aylık Kazanç;P.Oranı %;D.Oranı %
    QString verdict;
};

const QString TooLarge = QStringLiteral("Sayı hesaplanamayacak kadar büyük");

const QList<CellCase> &cellCases()
{
    static const QList<CellCase> cases{
        {";1;1;Ali;E;30;;100", "2. satırın \"Sarvek No\" hücresi boş; 6 karakter olmalıdır."},
        {"1234567;1;1;Ali;E;30;;100",
         "2. satırın \"Sarvek No\" hücresi (\"1234567\") 6 karakter olmalıdır."},
        {"123456;1234567890123;1;Ali;E;30;;100",
         "2. satırın \"Kimlik No\" hücresi en fazla 12 karakter olmalıdır (13 karakter var)."},
        {"123456;1;1234567890;Ali;E;30;;100",
         "2. satırın \"Sigorta No\" hücresi en fazla 9 karakter olmalıdır (10 karakter var)."},
        {"123456;1;1;Ali Veli Ali Veli Ali Veli Ali Veli Ali Veli Ali;E;30;;100",
         "2. satırın \"Adı Soyadı\" hücresi en fazla 40 karakter olmalıdır (48 karakter var)."},
        {"123456;1;1;Ali;E;20;HA;100",
         "2. satırın \"İzin Nedeni\" hücresi en fazla 1 karakter olmalıdır (2 karakter var)."},
        {"123456;1;1;Ali;E;20;q;100",
         "2. satırın \"İzin Nedeni\" hücresi (\"q\") boş ya da A, C, D, G, H, O, P harflerinden "
         "biri olmalıdır."},
        {"123456;1;1;Ali;;30;;100", "2. satırın \"Cinsiyet\" hücresi \"E\" veya \"K\" olmalıdır."},
        {"123456;1;1;Ali;E;1000;;100", "2. satırın \"Gün Sayısı\" hücresi boş ya da en fazla 3 "
                                       "basamaklı bir tam sayı olmalıdır."},
        {"123456;1;1;Ali;E;30;;-100",
         "2. satırın \"Aylık Kazanç\" hücresi \"1,234.56\" biçiminde, eksi olmayan bir tutar "
         "olmalıdır."},
        {"123456;1;1;Ali;E;30;;yüz",
         "2. satırın \"Aylık Kazanç\" hücresi (\"yüz\") bir sayı değil."},
        {"123456;1;1;Ali;E;30;;10000000000000000000000",
         "2. satırın \"Aylık Kazanç\" hücresi en fazla 25 karakter olmalıdır "
         "(\"10,000,000,000,000,000,000,000.00\" 33 karakter)."},
        // The largest gross that fits its column, at the largest rates.
        {"123456;1;1;Ali;E;30;;99.999.999.999.999.999,99;999,99;999,99", Ready},
        // Rounded to cents, it no longer fits.
        {"123456;1;1;Ali;E;30;;99999999999999999.995;5;10",
         "2. satırın \"Aylık Kazanç\" hücresi en fazla 25 karakter olmalıdır "
         "(\"100,000,000,000,000,000.00\" 26 karakter)."},
        // A premium of these could not even be computed: the width decides first.
        {"123456;1;1;Ali;E;30;;123456789012345678901234567890123;12.34",
         "2. satırın \"Aylık Kazanç\" hücresi en fazla 25 karakter olmalıdır "
         "(\"123,456,789,012,345,678,901,234,567,890,123.00\" 46 karakter)."},
        {"123456;1;1;Ali;E;30;;12345678901234567890123456789012345;12.34;10",
         "2. satırın \"Aylık Kazanç\" hücresi en fazla 25 karakter olmalıdır "
         "(\"12,345,678,901,234,567,890,123,456,789,012,345.00\" 49 karakter)."},
        {"123456;1;1;Ali;E;30;;1000;99999999999999999999999999999999999",
         "2. satırın \"P.Oranı %\" hücresi (\"99999999999999999999999999999999999\") ile tutar "
         "hesaplanamıyor (" +
             TooLarge + ")."},
        {"123456;1;1;Ali;E;30;;2.500,50;5;99999999999999999999999999999999999",
         "2. satırın \"D.Oranı %\" hücresi (\"99999999999999999999999999999999999\") ile tutar "
         "hesaplanamıyor (" +
             TooLarge + ")."},
        // With nothing to multiply, the same rate is computed and then refused
        // as any rate over 999.99.
        {"123456;1;1;Ali;E;30;;0;99999999999999999999999999999999999",
         "2. satırın \"P.Oranı %\" hücresi 0 ile 999.99 arasında bir sayı olmalıdır."},
        {"123456;123456789012;123456789;Ali Veli;k;30;;100", Ready},
    };
    return cases;
}

class CellTest : public testing::TestWithParam<CellCase>
{
};

TEST_P(CellTest, Verdict)
{
    const CellCase &c = GetParam();
    const QByteArray bytes =
        QByteArray("Sarvek No;Kimlik No;Sigorta No;Adı Soyadı;Cinsiyet;"
                   "Gün Sayısı;İzin Nedeni;Aylık Kazanç;P.Oranı %;D.Oranı %\n") +
        c.line + '\n';
    const csvimport::Sheet sheet = csvimport::readSheet(bytes);
    ASSERT_EQ(sheet.rows.size(), 1);
    EXPECT_EQ(sheet.rows[0].verdict, c.verdict) << c.line;
    EXPECT_EQ(sheet.readyCount, c.verdict == Ready ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Csv, CellTest, testing::ValuesIn(cellCases()));

TEST(CsvSheet, FiveThousandRows)
{
    QByteArray bytes(
        "Sarvek No;Adı Soyadı;Cinsiyet;Gün Sayısı;Aylık Kazanç;P.Oranı %;D.Oranı %\r\n");
    for (int i = 0; i < 5000; ++i) {
        const QByteArray gross = i == 2500 ? "1.000" : "1.000,00";
        bytes += QByteArray::number(100000 + i) + ";Çalışan " + QByteArray::number(i) + ";E;30;" +
                 gross + ";5;10\r\n";
    }
    const csvimport::Sheet sheet = csvimport::readSheet(bytes);
    ASSERT_EQ(sheet.error, QString());
    ASSERT_EQ(sheet.rows.size(), 5000);
    EXPECT_EQ(sheet.readyCount, 4999);
    EXPECT_EQ(sheet.rows[2500].verdict, ambiguous(2502, "Aylık Kazanç", "1.000"));
    EXPECT_EQ(sheet.rows[4999].sheetRow, 5001);
    EXPECT_EQ(amount::format(sheet.grossTotal), QStringLiteral("4,999,000.00"));
    EXPECT_EQ(amount::format(sheet.grandTotal), QStringLiteral("749,850.00"));
}

TEST(CsvSheet, HugeAmountsAreRowVerdicts)
{
    // Hundreds of amounts too wide for the stored column or too large for a
    // premium: each stays its own row's verdict, and the ready rows, at the
    // largest gross and rates there are, still add up exactly.
    const QByteArray amounts[] = {"123456789012345678901234567890123;12,34;10",
                                  "1000;99999999999999999999999999999999999;10",
                                  "99.999.999.999.999.999,99;999,99;999,99"};
    QByteArray bytes("Sarvek No;Cinsiyet;Aylık Kazanç;P.Oranı %;D.Oranı %\n");
    for (int i = 0; i < 600; ++i)
        bytes += QByteArray::number(100000 + i) + ";E;" + amounts[i % 3] + '\n';
    const csvimport::Sheet sheet = csvimport::readSheet(bytes);
    ASSERT_EQ(sheet.error, QString());
    ASSERT_EQ(sheet.rows.size(), 600);
    EXPECT_EQ(sheet.readyCount, 200);
    for (int i = 0; i < 600; i += 3) {
        EXPECT_EQ(sheet.rows[i].problemColumn, AylikKazanc) << i;
        EXPECT_EQ(sheet.rows[i + 1].problemColumn, POrani) << i;
        EXPECT_EQ(sheet.rows[i + 2].verdict, Ready) << i;
    }
    EXPECT_EQ(sheet.rows[2].computed[Toplam], QStringLiteral("1,999,979,999,999,999,999.80"));
    EXPECT_EQ(amount::format(sheet.grossTotal), QStringLiteral("19,999,999,999,999,999,998.00"));
    EXPECT_EQ(amount::format(sheet.grandTotal), QStringLiteral("399,995,999,999,999,999,960.00"));
}

// ---------------------------------------------------------------- the grid

// Types one row into the grid's last row the way a user does: the text cells,
// then the gross pay and each rate typed and left, then one more key in the
// grid, which adds the next template row.
void typeRow(GridCells &grid, const QStringList &cells, const QString &gross, const QString &p,
             const QString &d)
{
    const int row = int(grid.size()) - 1;
    for (int c = SarvekNo; c < AylikKazanc; ++c)
        grid[row][c] = cells[c - SarvekNo];
    grid[row][AylikKazanc] = gross;
    entryarith::leaveCell(grid[row], AylikKazanc, QLatin1Char(','));
    grid[row][POrani] = p;
    entryarith::leaveCell(grid[row], POrani, QLatin1Char(','));
    grid[row][DOrani] = d;
    entryarith::leaveCell(grid[row], DOrani, QLatin1Char(','));
    Cursor cursor{row, DOrani};
    int counter = 0;
    applyKeyRules(grid, cursor, Key::Other, counter, KeyEnv{false, [](const QString &) {}, {}});
}

void expectSameTotals(const GridCells &got, const GridCells &want)
{
    for (Column c : {AylikKazanc, PTutari, DTutari, Toplam})
        EXPECT_EQ(entryarith::columnTotal(got, c), entryarith::columnTotal(want, c)) << c;
}

TEST(CsvGrid, AppendsAsTypingWould)
{
    // One employee typed by hand first.
    GridCells typed = freshGrid();
    typeRow(typed, {"900001", "", "", "Elle Yazılan", "E", "30", ""}, "1,000", "5", "10");
    GridCells before = typed;

    // The ready rows of the Turkish sheet, typed by hand as the program reads them.
    typeRow(typed, {"100001", "12345678901", "123456789", "Ayşe Öztürk", "K", "30", ""}, "2500.50",
            "2", "3.5");
    typeRow(typed, {"100002", "23456789012", "234567890", "Çağrı Işık", "E", "20", "H"}, "1,800.00",
            "5", "10");
    typeRow(typed, {"100005", "56789012345", "456789012", "Ömer Güneş", "E", "30", ""}, "950.75",
            "5", "10");

    const csvimport::Sheet sheet = csvimport::readSheetFile(fixture("utf8_semicolon.csv"));
    const GridCells imported = csvimport::appendToGrid(before, sheet.readyRows());
    EXPECT_EQ(imported, typed);
    expectSameTotals(imported, typed);
    EXPECT_EQ(imported.constLast(), templateRow(5));
}

TEST(CsvGrid, NumbersOnFromTheRowsTyped)
{
    const QList<QStringList> one =
        csvimport::readSheet("Sarvek No;Cinsiyet;Aylık Kazanç;D.Oranı %\n"
                             "700001;K;2.000,00;10\n")
            .readyRows();
    ASSERT_EQ(one.size(), 1);

    // Only the titles and the template: the new row takes the template's number.
    GridCells got = csvimport::appendToGrid(freshGrid(), one);
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[1][SNo], "1");
    EXPECT_EQ(got[1][Toplam], "200.00");
    EXPECT_EQ(got[2], templateRow(2));

    // A last row whose amounts were just computed, before the next key added
    // its template row: the new row comes after it.
    GridCells computed = freshGrid();
    computed[1] = csvimport::enteredRow(one.first(), 1);
    got = csvimport::appendToGrid(computed, {one.first(), one.first()});
    ASSERT_EQ(got.size(), 5);
    EXPECT_EQ(got[1], computed[1]);
    EXPECT_EQ(got[2][SNo], "2");
    EXPECT_EQ(got[3][SNo], "3");
    EXPECT_EQ(got[4], templateRow(4));

    // A last row with a fund number but no amounts yet is an employee being
    // typed, not an empty template: it stays.
    GridCells started = freshGrid();
    started[1][SarvekNo] = QStringLiteral("700009");
    got = csvimport::appendToGrid(started, one);
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[1], started[1]);
    EXPECT_EQ(got[2][SNo], "2");
    EXPECT_EQ(got[3], templateRow(3));

    // Nothing to bring: the grid stays as it is.
    EXPECT_EQ(csvimport::appendToGrid(freshGrid(), {}), freshGrid());
}

} // namespace
