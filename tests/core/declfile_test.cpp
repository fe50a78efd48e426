// The declaration file's exact bytes, from stored rows in a real database to
// the Windows-1254 text with CR LF line ends, the refusal of rows whose line
// would not read at fixed positions, and its atomic writing.
#include "accountant/accountantrecord.h"
#include "base/errors.h"
#include "core/backends.h"
#include "declaration/declfile.h"
#include "declaration/selection.h"

#include <cctype>
#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <set>
#include <string>
#include <sys/resource.h>

namespace
{

AccountantRecord sender(const QString &msno = QStringLiteral("4711"),
                        const QString &adres = QStringLiteral("Girne Cad. 5"))
{
    return AccountantRecord{QStringLiteral("Usta Muhasebe"),
                            QStringLiteral("Ayse Oz"),
                            msno,
                            adres,
                            QStringLiteral("2281111"),
                            QStringLiteral("2282222"),
                            QStringLiteral("5331234567"),
                            QStringLiteral("1")};
}

// The default stored row, with the values of the worked example.
BodroRow row()
{
    BodroRow r;
    r.isver = QStringLiteral("010001000001");
    r.ilk = QStringLiteral("01.03.2013");
    r.son = QStringLiteral("31.03.2013");
    r.srvno = QStringLiteral("4321");
    r.kimlik = QStringLiteral("12345678901");
    r.ssk = QStringLiteral("1234567");
    r.cins = QStringLiteral("E");
    r.calgun = QStringLiteral("30");
    r.durum = QString();
    r.brut = QStringLiteral("1,250.00");
    r.primor = QStringLiteral("5.00");
    r.depoor = QStringLiteral("10.00");
    r.isim = QStringLiteral("Ali Kaya Oz"); // 11 characters
    return r;
}

template <class F> BodroRow row(F change)
{
    BodroRow r = row();
    change(r);
    return r;
}

QByteArray padded(const QByteArray &name, int width = 40)
{
    return name + QByteArray(std::max<qsizetype>(0, width - name.size()), ' ');
}

// The worked line, field by field, with the parts a case changes.
struct Line {
    QByteArray isver = "010001000001", ilk = "01032013", son = "31032013", code = "01",
               no = "000001", srv = "004321", kimlik = "012345678901", ssk = "001234567",
               cins = "E", gun = "030", durum = " ", brut = "00000000125000", prim = "00500",
               depo = "01000", isim = padded("Ali Kaya Oz");
    QByteArray bytes() const
    {
        return isver + ilk + son + code + no + srv + kimlik + ssk + cins + gun + durum + brut +
               prim + depo + isim;
    }
};

template <class F> QByteArray line(F change)
{
    Line l;
    change(l);
    return l.bytes();
}

const PeriodChoice March{QDate(2013, 3, 1), QDate(2013, 3, 31), ReturnKind::Asil, false};

PeriodChoice choice(ReturnKind kind, bool retro)
{
    PeriodChoice c = March;
    c.kind = kind;
    c.retroactive = retro;
    return c;
}

struct FileCase {
    const char *name;
    std::vector<BodroRow> stored;
    PeriodChoice choice = March;
    QString pickedEmployer = QStringLiteral("000000000000");
    QString pickedType;
    std::vector<QByteArray> lines; // employee lines expected, in order
};

const QByteArray SenderLine = "4711Girne Cad. 5228111122822225331234567Usta MuhasebeAyse Oz";

std::vector<FileCase> fileCases()
{
    const auto noChange = [](Line &) {};
    return {
        {"worked line", {row()}, March, {}, {}, {line(noChange)}},
        {"identity and insurance numbers",
         {row([](BodroRow &r) { r.ssk = QStringLiteral("123456789"); }), row([](BodroRow &r) {
              r.ssk = QString();
              r.kimlik = QStringLiteral("123456789012");
          })},
         March,
         {},
         {},
         {line([](Line &l) { l.ssk = "123456789"; }), line([](Line &l) {
              l.no = "000002";
              l.ssk = "000000000";
              l.kimlik = "123456789012";
          })}},
        {"gross pay",
         {row([](BodroRow &r) { r.brut = QStringLiteral("12,345.60"); }),
          row([](BodroRow &r) { r.brut = QStringLiteral("0.00"); })},
         March,
         {},
         {},
         {line([](Line &l) { l.brut = "00000001234560"; }), line([](Line &l) {
              l.no = "000002";
              l.brut = "00000000000000";
          })}},
        {"rates",
         {row([](BodroRow &r) {
              r.primor = QStringLiteral("2.5");
              r.depoor = QStringLiteral("0");
          }),
          row([](BodroRow &r) {
              r.primor = QStringLiteral("99.99");
              r.depoor = QStringLiteral("100.00");
          })},
         March,
         {},
         {},
         {line([](Line &l) {
              l.prim = "00250";
              l.depo = "00000";
          }),
          line([](Line &l) {
              l.no = "000002";
              l.prim = "09999";
              l.depo = "10000";
          })}},
        {"name of 40 characters, leave reason, days",
         {row([](BodroRow &r) {
             r.isim = QString(40, u'A');
             r.durum = QStringLiteral("G");
             r.calgun = QStringLiteral("5");
             r.cins = QStringLiteral("K");
         })},
         March,
         {},
         {},
         {line([](Line &l) {
             l.isim = QByteArray(40, 'A');
             l.durum = "G";
             l.gun = "005";
             l.cins = "K";
         })}},
        {"line numbers restart with each employer",
         {row(), row(), row([](BodroRow &r) { r.isver = QStringLiteral("020002000002"); }), row()},
         March,
         {},
         {},
         {line(noChange), line([](Line &l) { l.no = "000002"; }), line([](Line &l) {
              l.isver = "020002000002";
              l.no = "000001";
          }),
          line(noChange)}},
        {"Asil retroactive selects every record and writes 11",
         {row(), row([](BodroRow &r) { r.seq = QStringLiteral("2"); })},
         choice(ReturnKind::Asil, true),
         {},
         {},
         {line([](Line &l) { l.code = "11"; }), line([](Line &l) {
              l.code = "11";
              l.no = "000002";
          })}},
        {"Ek selects type 02 only, 12 when retroactive",
         {row(), row([](BodroRow &r) { r.tur = QStringLiteral("02"); })},
         choice(ReturnKind::Ek, true),
         {},
         {},
         {line([](Line &l) { l.code = "12"; })}},
        {"rows not to be sent and other periods are left out",
         {row([](BodroRow &r) { r.gonder = QStringLiteral("0"); }),
          row([](BodroRow &r) { r.ilk = QStringLiteral("02.03.2013"); }), row()},
         March,
         {},
         {},
         {line(noChange)}},
        {"Tumu before any pick finds nothing",
         {row()},
         choice(ReturnKind::Tumu, false),
         {},
         {},
         {}},
        {"Tumu after a pick: that employer and type, exact period, every record",
         {row([](BodroRow &r) { r.isver = QStringLiteral("020002000002"); }), row(),
          row([](BodroRow &r) { r.seq = QStringLiteral("2"); }),
          row([](BodroRow &r) { r.tur = QStringLiteral("02"); }),
          row([](BodroRow &r) { r.son = QStringLiteral("30.03.2013"); })},
         choice(ReturnKind::Tumu, false),
         QStringLiteral("010001000001"),
         QStringLiteral("01"),
         {line(noChange), line([](Line &l) { l.no = "000002"; })}},
        {"Turkish letters in Windows-1254, others as ?",
         {row([](BodroRow &r) { r.isim = QStringLiteral("ŞİĞÜÖÇ şığüöç Ə€😀"); })},
         March,
         {},
         {},
         {line([](Line &l) {
             l.isim = padded("\xDE\xDD\xD0\xDC\xD6\xC7 \xFE\xFD\xF0\xFC\xF6\xE7 ?\x80?");
         })}},
    };
}

using DeclarationFile = BackendAndCaseTest<FileCase>;

TEST_P(DeclarationFile, ExactBytes)
{
    const FileCase &c = testCase();
    Workspace ws(backend());
    for (const BodroRow &r : c.stored)
        insertBodro(*ws.dm, r);
    const std::optional<::DeclarationFile> file = declarationFile(
        sender(), ws.dm->db(), fileSelection(c.choice, c.pickedEmployer, c.pickedType),
        c.choice.retroactive);
    if (c.lines.empty()) {
        EXPECT_FALSE(file.has_value());
        return;
    }
    ASSERT_TRUE(file.has_value());
    QByteArray expected = SenderLine + "\r\n";
    std::set<QByteArray> employers;
    for (const QByteArray &l : c.lines) {
        expected += l + "\r\n";
        employers.insert(l.left(12));
    }
    EXPECT_EQ(file->bytes, expected);
    EXPECT_EQ(file->lineCount, int(c.lines.size()));
    // Distinct employers, not runs of them: an employer's rows may come apart.
    EXPECT_EQ(file->employerCount, int(employers.size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, DeclarationFile,
                         ::testing::Combine(::testing::ValuesIn(fileCases()), SARVEK_BACKENDS),
                         [](const auto &info) {
                             std::string name = std::get<0>(info.param).name;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name + "_" + backendName(std::get<1>(info.param));
                         });

TEST(DeclarationLine, NominalLength)
{
    EXPECT_EQ(line([](Line &) {}).size(), 132);
}

using DeclarationRows = BackendTest;

// A stored row whose line the fund would read at shifted positions or as
// wrong figures stops the file, naming the employer, the line and the field.
TEST_P(DeclarationRows, BrokenRowsStopTheFile)
{
    struct Case {
        BodroRow stored;
        const char *field;
        std::string fault;
    };
    const Case cases[] = {
        {row([](BodroRow &r) { r.cins = QString(); }), "Cinsiyet",
         "1 karakter olmalı, 0 karakter tutuyor (\"\")"},
        {row([](BodroRow &r) { r.brut = QStringLiteral("-1,000.00"); }), "Aylık Kazanç",
         "yalnız rakam olmalı (\"0000000-100000\")"},
        {row([](BodroRow &r) { r.brut = QStringLiteral("9,999,999,999,999.99"); }), "Aylık Kazanç",
         "14 karakter olmalı, 15 karakter tutuyor (\"999999999999999\")"},
        {row([](BodroRow &r) { r.primor = QStringLiteral("1000"); }), "P.Oranı %",
         "5 karakter olmalı, 6 karakter tutuyor (\"100000\")"},
        {row([](BodroRow &r) { r.depoor = QStringLiteral("-5"); }), "D.Oranı %",
         "yalnız rakam olmalı (\"0-500\")"},
        {row([](BodroRow &r) { r.calgun = QStringLiteral("3a"); }), "Gün Sayısı",
         "yalnız rakam olmalı (\"03a\")"},
        {row([](BodroRow &r) { r.kimlik = QStringLiteral("1234-678901"); }), "Kimlik No",
         "yalnız rakam olmalı (\"01234-678901\")"},
        {row([](BodroRow &r) { r.srvno = QStringLiteral("12 a"); }), "Sarvek No",
         "yalnız rakam olmalı (\"0012 a\")"},
    };
    for (const Case &c : cases) {
        Workspace ws(backend());
        // A sound line first, so the broken one is the employer's second.
        insertBodro(*ws.dm, row());
        insertBodro(*ws.dm, c.stored);
        const BoundSql sel = fileSelection(March, QStringLiteral("000000000000"), QString());
        const QString expected =
            QStringLiteral("Dosya hazırlanamadı: 010001000001 işvereninin 2. satırında \"") +
            QString::fromUtf8(c.field) + QStringLiteral("\" alanı ") +
            QString::fromStdString(c.fault) +
            QStringLiteral(". Lütfen bodroyu düzeltip tekrar deneyiniz.");
        try {
            declarationFile(sender(), ws.dm->db(), sel, false);
            ADD_FAILURE() << "no refusal for the field " << c.field;
        } catch (const AppError &e) {
            EXPECT_EQ(e.message(), expected);
        }
    }
}

INSTANTIATE_BACKENDS(DeclarationRows);

TEST(DeclarationSender, LineBreaksAndEmptyNumber)
{
    struct Case {
        AccountantRecord record;
        QByteArray bytes;
    };
    const Case cases[] = {
        {sender(), SenderLine},
        {sender(QStringLiteral("4711"), QStringLiteral("Girne Cad. 5\nLefkoşa\r\nKKTC")),
         "4711Girne Cad. 5\r\nLefko\xFE"
         "a\r\nKKTC228111122822225331234567Usta MuhasebeAyse Oz"},
        {sender(QString()), SenderLine.mid(4)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(toCp1254(senderLine(c.record)), c.bytes);
}

TEST(DeclarationFileName, InternetAndHandDelivery)
{
    const QDateTime afternoon(QDate(2025, 12, 5), QTime(14, 30, 9));
    const QDateTime lateEvening(QDate(2025, 1, 9), QTime(23, 5, 7));
    EXPECT_EQ(internetFileName(QStringLiteral("4711"), afternoon),
              QStringLiteral("4711_05122025_143009.txt"));
    EXPECT_EQ(internetFileName(QStringLiteral("4711"), lateEvening),
              QStringLiteral("4711_09012025_230507.txt"));
    EXPECT_EQ(internetFileName(QString(), afternoon), QStringLiteral("_05122025_143009.txt"));
    EXPECT_EQ(handDeliveryFileName(QStringLiteral("4711")), QStringLiteral("4711_0.txt"));
    EXPECT_EQ(handDeliveryFileName(QString()), QStringLiteral("_0.txt"));
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Files beyond `bytes` cannot grow while this lives: a full disk, as far as a
// write can tell.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

  private:
    rlimit m_saved{};
    void (*m_handler)(int);
};

TEST(DeclarationWrite, ReplacesWholeFileOrNothing)
{
    Workspace ws;
    const QString path = ws.path(QStringLiteral("4711_0.txt"));
    writeFileAtomically(path, "earlier file\r\n");
    EXPECT_EQ(readAll(path), QByteArray("earlier file\r\n"));

    {
        FileSizeLimit full(64);
        EXPECT_THROW(writeFileAtomically(path, QByteArray(4096, 'x')), IoError);
    }
    EXPECT_EQ(readAll(path), QByteArray("earlier file\r\n"));
    EXPECT_EQ(QDir(ws.path()).entryList(QDir::Files), QStringList{QStringLiteral("4711_0.txt")});

    const QString gone = ws.path(QStringLiteral("pulled-out/4711_0.txt"));
    try {
        writeFileAtomically(gone, "x");
        ADD_FAILURE() << "no error for a missing folder";
    } catch (const IoError &e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(gone)));
    }
    EXPECT_FALSE(QFile::exists(gone));

    writeFileAtomically(path, "new file\r\n");
    EXPECT_EQ(readAll(path), QByteArray("new file\r\n"));
}

} // namespace
