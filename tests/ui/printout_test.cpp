// The printed return read back from its PDF: texts, their positions on the
// page (within 0.5 mm) and the page they stand on; the preview and its PDF save.
#include "ui/uitest.h"

#include "app/screens.h"
#include "print/frmprint.h"

#include <optional>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>

namespace
{

constexpr double Tolerance = 0.5; // mm

// Line spacing of Liberation Sans (ascent + descent + gap = 2355/2048 em), in mm.
constexpr double lineMm(double points)
{
    return points * 2355.0 / 2048.0 * 25.4 / 72.0;
}

double mm(double points)
{
    return points * 25.4 / 72.0;
}

struct Word {
    int page;
    QString text;
    double left, top, right; // mm
};

// A run of words on one line, as found in the PDF.
struct Found {
    double left, top, right;
    double centre() const { return (left + right) / 2; }
};

struct PdfText {
    QList<Word> words;
    int pages = 0;

    // Every place on `page` where the words of `text` stand side by side on
    // one line (blanks between words do not count).
    QList<Found> find(int page, const QString &text) const
    {
        const QStringList tokens = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QList<Found> hits;
        for (const Word &first : words) {
            if (first.page != page || first.text != tokens.first())
                continue;
            QList<Word> line;
            for (const Word &w : words)
                if (w.page == page && qAbs(w.top - first.top) < 0.2 && w.left >= first.left - 0.01)
                    line << w;
            std::sort(line.begin(), line.end(),
                      [](const Word &a, const Word &b) { return a.left < b.left; });
            if (line.size() < tokens.size())
                continue;
            bool same = true;
            for (qsizetype i = 0; i < tokens.size(); ++i)
                same = same && line.at(i).text == tokens.at(i);
            if (same)
                hits << Found{first.left, first.top, line.at(tokens.size() - 1).right};
        }
        return hits;
    }

    std::optional<Found> one(int page, const QString &text) const
    {
        const QList<Found> hits = find(page, text);
        return hits.size() == 1 ? std::optional<Found>(hits.first()) : std::nullopt;
    }

    int count(const QString &text) const
    {
        int n = 0;
        for (const Word &w : words)
            n += w.text == text;
        return n;
    }
};

PdfText readPdf(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    PdfText pdf;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++pdf.pages;
            continue;
        }
        QString text = m.captured(4);
        text.replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        pdf.words << Word{pdf.pages, text, mm(m.captured(1).toDouble()),
                          mm(m.captured(2).toDouble()), mm(m.captured(3).toDouble())};
    }
    return pdf;
}

enum class Edge { Left, Right, Centre };

// Checks that `text` stands on `page` with its left edge, right edge or centre
// at x and its top at `top` (mm from the paper's corner).
void expectAt(const PdfText &pdf, int page, const QString &text, Edge edge, double x, double top)
{
    QStringList seen;
    for (const Found &f : pdf.find(page, text)) {
        const double actual = edge == Edge::Left    ? f.left
                              : edge == Edge::Right ? f.right
                                                    : f.centre();
        if (qAbs(actual - x) <= Tolerance && qAbs(f.top - top) <= Tolerance)
            return;
        seen << QStringLiteral("(%1, %2)").arg(actual).arg(f.top);
    }
    QFAIL(qPrintable(QStringLiteral("\"%1\" not at (%2, %3) on page %4; found at %5")
                         .arg(text)
                         .arg(x)
                         .arg(top)
                         .arg(page)
                         .arg(seen.isEmpty() ? QStringLiteral("none") : seen.join(u' '))));
}

// Page coordinates of the bands: margins left 6, top 11; title 122 high,
// column header 12.7, detail lines 5.3, footer 18 above the bottom margin.
constexpr double Left = 6.0;
constexpr double TitleTop = 11.0;
constexpr double FirstDetailTop = 11.0 + 122.0 + 12.7;
constexpr double LaterDetailTop = 11.0 + 12.7;
constexpr double FooterTop = 297.0 - 10.0 - 18.0;

BodroRow employee(int i)
{
    BodroRow r;
    r.siraNo = QString::number(i);
    r.srvno = QStringLiteral("%1").arg(100000 + i);
    r.kimlik = QStringLiteral("%1").arg(10000000000LL + i);
    r.ssk = QStringLiteral("%1").arg(200000000 + i);
    r.isim = QStringLiteral("Çalışan%1 Öztürk").arg(i);
    return r;
}

// Selects like "Yazdır"/"Tüm Şube Yazdır", fills the form and writes the PDF.
PdfText printToPdf(Workspace &ws, Tfrmbodrodok &form, PrintScope scope,
                   const QString &type = QStringLiteral("01"),
                   const QString &seq = QStringLiteral("1"))
{
    PrintRequest request{QStringLiteral("01"),
                         QStringLiteral("0001"),
                         QStringLiteral("000001"),
                         QStringLiteral("01.03.2013"),
                         QStringLiteral("31.03.2013"),
                         type,
                         seq,
                         scope};
    const auto captions = preparePrint(*ws.dm, request);
    if (!captions)
        return {};
    form.setCaptions(*captions);
    const QString path = ws.path(QStringLiteral("out.pdf"));
    form.savePdf(path);
    return readPdf(path);
}

} // namespace

class PrintoutTest : public QObject
{
    Q_OBJECT
  private slots:
    void arialIsLiberationSans();
    void twentyFourEmployeesRunOntoPageTwo();
    void titleBandOfAnAsilReturn();
    void ekReturnMarksTheEkBox();
    void allBranchesNumbersLinesAcrossRecords();
    void titleTotalsMayDifferByACentFromFooter();
    void threeDecimalRates();
    void longTextsShrinkInsteadOfOverlapping();
    void previewOpensFittedAndSavesPdf();
    void startupCreatesTheHiddenForm();
    void reportLayerPaginatesFromBandHeights();
};

void PrintoutTest::arialIsLiberationSans()
{
    QCOMPARE(QFontInfo(QFont(QStringLiteral("Arial"))).family(), QStringLiteral("Liberation Sans"));
}

void PrintoutTest::twentyFourEmployeesRunOntoPageTwo()
{
    Workspace ws;
    for (int i = 1; i <= 24; ++i)
        insertBodro(*ws.dm, employee(i));
    Tfrmbodrodok form(*ws.ctx);
    QCOMPARE(form.bdrdok.detailLinesOnFirstPage(), 23);
    QCOMPARE(form.bdrdok.detailLinesPerPage(), 46);

    const PdfText pdf = printToPdf(ws, form, PrintScope::OneReturn);
    QCOMPARE(pdf.pages, 2);

    // Lines 1 to 23 on page 1, line 24 at the top of page 2, each under its
    // own line number.
    for (int i = 1; i <= 24; ++i) {
        const int page = i <= 23 ? 1 : 2;
        const double top = page == 1 ? FirstDetailTop + (i - 1) * 5.3 : LaterDetailTop;
        expectAt(pdf, page, QString::number(100000 + i), Edge::Left, Left + 9.0, top + 0.5);
        expectAt(pdf, page, QStringLiteral("Çalışan%1 Öztürk").arg(i), Edge::Left, Left + 57.4,
                 top + 1.6);
        QVERIFY(pdf.find(page == 1 ? 2 : 1, QString::number(100000 + i)).isEmpty());
    }
    expectAt(pdf, 1, QStringLiteral("23"), Edge::Centre, Left + 5.1,
             FirstDetailTop + 22 * 5.3 + 0.5);
    expectAt(pdf, 2, QStringLiteral("24"), Edge::Centre, Left + 5.1, LaterDetailTop + 0.5);

    // One line in full: stored texts as stored, computed amounts right-aligned.
    const double top1 = FirstDetailTop;
    expectAt(pdf, 1, QStringLiteral("10000000001"), Edge::Left, Left + 20.4, top1 + 0.5);
    expectAt(pdf, 1, QStringLiteral("200000001"), Edge::Left, Left + 39.4, top1 + 0.5);
    QCOMPARE(pdf.find(1, QStringLiteral("1,000.00")).size(), 23);
    expectAt(pdf, 2, QStringLiteral("1,000.00"), Edge::Right, Left + 125.9, LaterDetailTop + 0.5);
    expectAt(pdf, 2, QStringLiteral("5.00"), Edge::Right, Left + 137.3, LaterDetailTop + 0.5);
    expectAt(pdf, 2, QStringLiteral("50.00"), Edge::Right, Left + 152.1, LaterDetailTop + 0.8);
    expectAt(pdf, 2, QStringLiteral("10.00"), Edge::Right, Left + 163.5, LaterDetailTop + 0.5);
    expectAt(pdf, 2, QStringLiteral("100.00"), Edge::Right, Left + 178.1, LaterDetailTop + 0.5);
    expectAt(pdf, 2, QStringLiteral("150.00"), Edge::Right, Left + 196.3, LaterDetailTop + 0.8);

    // Footers: totals so far, the last one of all 24 lines.
    const double totalsTop = FooterTop + 1.6;
    expectAt(pdf, 1, QStringLiteral("TOPLAM:"), Edge::Left, Left + 77.8, totalsTop);
    expectAt(pdf, 1, QStringLiteral("23,000.00"), Edge::Right, Left + 125.9, totalsTop);
    expectAt(pdf, 1, QStringLiteral("1,150.00"), Edge::Right, Left + 156.6, totalsTop);
    expectAt(pdf, 1, QStringLiteral("2,300.00"), Edge::Right, Left + 178.3, totalsTop);
    expectAt(pdf, 1, QStringLiteral("3,450.00"), Edge::Right, Left + 196.6, totalsTop);
    expectAt(pdf, 2, QStringLiteral("TOPLAM:"), Edge::Left, Left + 77.8, totalsTop);
    expectAt(pdf, 2, QStringLiteral("24,000.00"), Edge::Right, Left + 125.9, totalsTop);
    expectAt(pdf, 2, QStringLiteral("1,200.00"), Edge::Right, Left + 156.6, totalsTop);
    expectAt(pdf, 2, QStringLiteral("2,400.00"), Edge::Right, Left + 178.3, totalsTop);
    expectAt(pdf, 2, QStringLiteral("3,600.00"), Edge::Right, Left + 196.6, totalsTop);

    // On every page: the column header, the footer's captions, the page
    // number, the form code and the summary line.
    for (int page = 1; page <= 2; ++page) {
        const double headerTop = page == 1 ? TitleTop + 122.0 : TitleTop;
        expectAt(pdf, page, QStringLiteral("Sarvek No"), Edge::Left, Left + 9.0, headerTop + 6.1);
        expectAt(pdf, page, QStringLiteral("Toplam"), Edge::Left, Left + 187.1, headerTop + 5.3);
        expectAt(pdf, page, QStringLiteral("Nedeni"), Edge::Left, Left + 94.7,
                 headerTop + 2.6 + lineMm(8));
        expectAt(pdf, page, QStringLiteral("Hesaba İşlendi: ..............................."),
                 Edge::Left, Left + 1.6, FooterTop + 11.1);
        expectAt(pdf, page, QString::number(page), Edge::Left, Left + 86.5, FooterTop + 11.1);
        expectAt(pdf, page,
                 QStringLiteral("Kontrol Edildi: ............................................."),
                 Edge::Left, Left + 118.5, FooterTop + 11.1);
        expectAt(pdf, page, QStringLiteral("(Form:S.S.22)"), Edge::Left, 183.4, 288.4);
        expectAt(pdf, page,
                 QStringLiteral("İsveren No:01- 0001- 000001 Devre: 01.03.2013-31.03.2013 "
                                "Bodro Türü: Asıl"),
                 Edge::Right, 202.6, 6.1);
    }
    // The title band only once.
    QVERIFY(pdf.find(2, QStringLiteral("SARVEK SANDIĞI DAİRESİ")).isEmpty());
    expectAt(pdf, 1, QStringLiteral("24"), Edge::Centre, Left + 30.4 + 4.5, TitleTop + 82.8);
}

void PrintoutTest::titleBandOfAnAsilReturn()
{
    Workspace ws;
    BodroRow r = employee(1);
    r.isvisim = QStringLiteral("Deniz Ticaret Ltd.");
    r.adres = QStringLiteral("Girne Cad. 5\r\nLefkoşa");
    r.tel = QStringLiteral("2281234");
    r.brut = QStringLiteral("1,234.56");
    insertBodro(*ws.dm, r);
    Tfrmbodrodok form(*ws.ctx);
    const PdfText pdf = printToPdf(ws, form, PrintScope::OneReturn);
    QCOMPARE(pdf.pages, 1);

    struct Expected {
        QString text;
        Edge edge;
        double x, top; // in the title band
    };
    const QList<Expected> expected = {
        {QStringLiteral("SARVEK SANDIĞI DAİRESİ"), Edge::Centre, 95.4, 1.1},
        {QStringLiteral("AYLIK YATIRIM BORDROSU"), Edge::Centre, 94.6, 5.3},
        {QStringLiteral("Resmi Maksatlar İçindir"), Edge::Left, 136.0, 13.5},
        {QStringLiteral("Sicil No:"), Edge::Left, 32.5, 13.8},
        {QStringLiteral("01- 0001- 000001"), Edge::Left, 49.7, 14.3},
        {QStringLiteral("(Şirket ise Kayıtlı İsim)"), Edge::Left, 7.7, 19.8 + lineMm(12)},
        {QStringLiteral("Deniz Ticaret Ltd."), Edge::Left, 50.3, 24.9},
        {QStringLiteral("Ait Olduğu Devre/Ay:"), Edge::Left, 9.8, 31.5},
        {QStringLiteral("01.03.2013"), Edge::Left, 50.3, 32.0},
        {QStringLiteral("31.03.2013"), Edge::Left, 80.4, 32.0},
        {QStringLiteral("İşyeri Adresi:"), Edge::Left, 24.1, 40.2},
        {QStringLiteral("Girne Cad. 5"), Edge::Left, 50.3, 40.7},
        {QStringLiteral("Lefkoşa"), Edge::Left, 50.3, 40.7 + lineMm(12)},
        {QStringLiteral("Telefon No:"), Edge::Left, 27.0, 53.4},
        {QStringLiteral("2281234"), Edge::Left, 50.3, 54.0},
        {QStringLiteral("ASIL:"), Edge::Left, 42.9, 63.0},
        {QStringLiteral("X"), Edge::Centre, 54.5 + 7.9 / 2, 63.0},
        {QStringLiteral("EK:"), Edge::Left, 110.9, 63.0},
        {QStringLiteral("KAZANÇLAR TOPLAMI"), Edge::Left, 4.2, 68.0 + lineMm(10)},
        {QStringLiteral("ÇALIŞANIN KATKISI"), Edge::Left, 48.4, 68.3},
        {QStringLiteral("İŞVERENİN KATKISI"), Edge::Left, 101.6, 68.3},
        {QStringLiteral("YATIRIM TOPLAMI"), Edge::Left, 148.7, 68.0 + lineMm(10)},
        {QStringLiteral("1,234.56"), Edge::Right, 28.5, 76.7},
        {QStringLiteral("61.73"), Edge::Right, 74.4, 76.7},
        {QStringLiteral("123.46"), Edge::Right, 126.0, 76.7},
        {QStringLiteral("185.19"), Edge::Right, 170.1, 76.7},
        {QStringLiteral("Toplam Kişi Sayısı :"), Edge::Left, 4.2, 82.8},
        {QStringLiteral("1"), Edge::Centre, 30.4 + 4.5, 82.8},
        {QStringLiteral("Bu bordroda yazılı bilgilerin doğruluğunu ve sorumluluğunu beyan ederim."),
         Edge::Left, 4.2, 88.4},
        {QStringLiteral("2- Bu bordro iki süret olarak hazılanır."), Edge::Left, 4.2,
         88.4 + 3 * lineMm(8)},
        {QStringLiteral("İşten Ayrılış (A) - Çırak (C) - Doğum (D) - İşe Giriş (G) - Hastalık (H) "
                        "- Ödeneksiz (O) - Part Time (P)"),
         Edge::Left, 4.2, 105.6},
        {QStringLiteral("Tarih İşverenin / İşsahibinin veya Vekilinin İmzası ve Mühürü"),
         Edge::Right, 0, 88.4 + 9 * lineMm(8)},
    };
    for (const Expected &e : expected) {
        if (e.x == 0) { // only the line is checked
            const auto found = pdf.one(1, e.text);
            QVERIFY2(found, qPrintable(e.text));
            QVERIFY(qAbs(found->top - (TitleTop + e.top)) <= Tolerance);
            continue;
        }
        expectAt(pdf, 1, e.text, e.edge, Left + e.x, TitleTop + e.top);
    }
    // The side caption letter by letter, one below the other.
    const QStringList letters = {"İ", "Ş", "V", "E", "R", "E", "N", "İ", "N"};
    for (int i = 0; i < letters.size(); ++i) {
        bool found = false;
        for (const Found &f : pdf.find(1, letters.at(i)))
            found = found || (qAbs(f.left - (Left + 1.3)) <= Tolerance &&
                              qAbs(f.top - (TitleTop + 14.6 + i * lineMm(12))) <= Tolerance);
        QVERIFY2(found, qPrintable(letters.at(i)));
    }
    QCOMPARE(pdf.count(QStringLiteral("X")), 1);
}

void PrintoutTest::ekReturnMarksTheEkBox()
{
    Workspace ws;
    BodroRow r = employee(1);
    r.tur = QStringLiteral("02");
    insertBodro(*ws.dm, r);
    Tfrmbodrodok form(*ws.ctx);
    const PdfText pdf = printToPdf(ws, form, PrintScope::OneReturn, QStringLiteral("02"));
    expectAt(pdf, 1, QStringLiteral("X"), Edge::Centre, Left + 119.6 + 7.9 / 2, TitleTop + 63.0);
    QCOMPARE(pdf.count(QStringLiteral("X")), 1);
    expectAt(
        pdf, 1,
        QStringLiteral("İsveren No:01- 0001- 000001 Devre: 01.03.2013-31.03.2013 Bodro Türü: Ek"),
        Edge::Right, 202.6, 6.1);
}

void PrintoutTest::allBranchesNumbersLinesAcrossRecords()
{
    Workspace ws;
    const struct {
        QString seq, gonder, tur;
        int employee;
    } rows[] = {
        {"1", "1", "01", 1}, {"1", "1", "01", 2}, {"2", "1", "01", 3},
        {"2", "1", "01", 4}, {"3", "0", "01", 5}, {"1", "1", "02", 6},
    };
    for (const auto &row : rows) {
        BodroRow r = employee(row.employee);
        r.seq = row.seq;
        r.gonder = row.gonder;
        r.tur = row.tur;
        insertBodro(*ws.dm, r);
    }
    Tfrmbodrodok form(*ws.ctx);
    const PdfText pdf = printToPdf(ws, form, PrintScope::AllBranches);
    QCOMPARE(pdf.pages, 1);
    for (int i = 1; i <= 4; ++i) {
        const double top = FirstDetailTop + (i - 1) * 5.3;
        expectAt(pdf, 1, QString::number(i), Edge::Centre, Left + 5.1, top + 0.5);
        expectAt(pdf, 1, QString::number(100000 + i), Edge::Left, Left + 9.0, top + 0.5);
    }
    QVERIFY(pdf.find(1, QString::number(100005)).isEmpty());
    QVERIFY(pdf.find(1, QString::number(100006)).isEmpty());
    expectAt(pdf, 1, QStringLiteral("4"), Edge::Centre, Left + 30.4 + 4.5, TitleTop + 82.8);
    expectAt(pdf, 1, QStringLiteral("4,000.00"), Edge::Right, Left + 125.9, FooterTop + 1.6);

    // "Yazdır" of record 2 alone starts its lines at 1 again.
    const PdfText second =
        printToPdf(ws, form, PrintScope::OneReturn, QStringLiteral("01"), QStringLiteral("2"));
    expectAt(second, 1, QStringLiteral("100003"), Edge::Left, Left + 9.0, FirstDetailTop + 0.5);
    expectAt(second, 1, QStringLiteral("2"), Edge::Centre, Left + 5.1, FirstDetailTop + 5.3 + 0.5);
    QVERIFY(second.find(1, QStringLiteral("100001")).isEmpty());
}

void PrintoutTest::titleTotalsMayDifferByACentFromFooter()
{
    // 666.70 at 5 % is 33.335 a line: three lines add to 100.005, rounded once
    // to 100.01 in the title, while the footer adds 33.34 three times.
    Workspace ws;
    for (int i = 1; i <= 3; ++i) {
        BodroRow r = employee(i);
        r.brut = QStringLiteral("666.70");
        r.primor = QStringLiteral("5.00");
        r.depoor = QStringLiteral("10.00");
        insertBodro(*ws.dm, r);
    }
    Tfrmbodrodok form(*ws.ctx);
    const PdfText pdf = printToPdf(ws, form, PrintScope::OneReturn);
    expectAt(pdf, 1, QStringLiteral("100.01"), Edge::Right, Left + 74.4, TitleTop + 76.7);
    expectAt(pdf, 1, QStringLiteral("200.01"), Edge::Right, Left + 126.0, TitleTop + 76.7);
    expectAt(pdf, 1, QStringLiteral("300.02"), Edge::Right, Left + 170.1, TitleTop + 76.7);
    QCOMPARE(pdf.find(1, QStringLiteral("33.34")).size(), 3);
    expectAt(pdf, 1, QStringLiteral("100.02"), Edge::Right, Left + 156.6, FooterTop + 1.6);
    expectAt(pdf, 1, QStringLiteral("200.01"), Edge::Right, Left + 178.3, FooterTop + 1.6);
    expectAt(pdf, 1, QStringLiteral("300.03"), Edge::Right, Left + 196.6, FooterTop + 1.6);
}

void PrintoutTest::threeDecimalRates()
{
    // 2.345 as premium rate is applied as 2.35; as deposit rate as 2.345.
    Workspace ws;
    BodroRow r = employee(1);
    r.brut = QStringLiteral("1,000.00");
    r.primor = QStringLiteral("2.345");
    r.depoor = QStringLiteral("2.345");
    insertBodro(*ws.dm, r);
    Tfrmbodrodok form(*ws.ctx);
    const PdfText pdf = printToPdf(ws, form, PrintScope::OneReturn);
    const double top = FirstDetailTop;
    expectAt(pdf, 1, QStringLiteral("2.345"), Edge::Right, Left + 137.3, top + 0.5);
    expectAt(pdf, 1, QStringLiteral("2.345"), Edge::Right, Left + 163.5, top + 0.5);
    expectAt(pdf, 1, QStringLiteral("23.50"), Edge::Right, Left + 152.1, top + 0.8);
    expectAt(pdf, 1, QStringLiteral("23.45"), Edge::Right, Left + 178.1, top + 0.5);
    expectAt(pdf, 1, QStringLiteral("46.95"), Edge::Right, Left + 196.3, top + 0.8);
}

void PrintoutTest::longTextsShrinkInsteadOfOverlapping()
{
    // A 50-character employer name and a 40-character employee name keep to
    // their room: the name above the period line, the employee before the
    // leave-reason column.
    Workspace ws;
    BodroRow r = employee(1);
    r.isvisim = QStringLiteral("Akdeniz Uluslararası Ticaret ve Sanayi Şirketi Ltd");
    r.isim = QStringLiteral("Mehmetcan Abdurrahmanoğlu Karamanlıoğlu");
    r.durum = QStringLiteral("G");
    insertBodro(*ws.dm, r);
    Tfrmbodrodok form(*ws.ctx);
    const PdfText pdf = printToPdf(ws, form, PrintScope::OneReturn);

    const auto period = pdf.one(1, QStringLiteral("01.03.2013"));
    QVERIFY(period);
    for (const Word &w : pdf.words) {
        if (r.isvisim.contains(w.text) && w.left > Left + 50.0 && w.top < period->top) {
            QVERIFY2(w.right <= Left + 50.3 + 79.0 + 0.01, qPrintable(w.text));
        }
    }
    const auto last = pdf.one(1, QStringLiteral("Ltd"));
    QVERIFY(last);
    QVERIFY(last->top + 3.0 < period->top + 0.01);
    const auto name = pdf.one(1, r.isim);
    QVERIFY(name);
    QVERIFY(name->right <= Left + 57.4 + 39.5 + 0.01);
    expectAt(pdf, 1, QStringLiteral("G"), Edge::Left, Left + 97.9, FirstDetailTop + 0.5);
}

void PrintoutTest::previewOpensFittedAndSavesPdf()
{
    Workspace ws;
    for (int i = 1; i <= 24; ++i)
        insertBodro(*ws.dm, employee(i));
    Tfrmbodrodok form(*ws.ctx);
    PrintRequest request{QStringLiteral("01"),         QStringLiteral("0001"),
                         QStringLiteral("000001"),     QStringLiteral("01.03.2013"),
                         QStringLiteral("31.03.2013"), QStringLiteral("01"),
                         QStringLiteral("1"),          PrintScope::OneReturn};
    form.setCaptions(*preparePrint(*ws.dm, request));

    const QString path = ws.path(QStringLiteral("kayit.pdf"));
    QString title;
    bool fitted = false;
    int pages = 0;
    bool askedOverPreview = false;
    form.choosePdfPath = [&](QWidget *parent) {
        askedOverPreview = qobject_cast<QPrintPreviewDialog *>(parent) != nullptr;
        return path;
    };
    whenModalShown([&](QWidget *modal) {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(modal);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        auto *view = dialog->findChild<QPrintPreviewWidget *>();
        fitted = view->zoomMode() == QPrintPreviewWidget::FitInView;
        pages = view->pageCount();
        auto *save = dialog->findChild<QAction *>(QStringLiteral("pdfkaydet"));
        QVERIFY(save);
        QCOMPARE(save->text(), QStringLiteral("PDF olarak kaydet"));
        save->trigger();
        dialog->reject();
    });
    form.preview();

    QCOMPARE(title, QStringLiteral("Bodro Dökümü"));
    QVERIFY(askedOverPreview);
    QVERIFY(fitted);
    QCOMPARE(pages, 2);
    QVERIFY(ws.platform.texts().isEmpty());
    const PdfText pdf = readPdf(path);
    QCOMPARE(pdf.pages, 2);
    expectAt(pdf, 2, QStringLiteral("24,000.00"), Edge::Right, Left + 125.9, FooterTop + 1.6);
}

void PrintoutTest::startupCreatesTheHiddenForm()
{
    Workspace ws;
    QWidget mainWindow;
    createStartupWindows(*ws.ctx, &mainWindow);
    auto *form = qobject_cast<Tfrmbodrodok *>(ws.ctx->frmbodrodok.data());
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Bodro Dökümü"));
    QVERIFY(form->isWindow());
    mainWindow.show();
    QVERIFY(!form->isVisible());
    QVERIFY(!ws.dm->isConnected());
}

void PrintoutTest::reportLayerPaginatesFromBandHeights()
{
    // Printable height 277: the first page holds (277 - 77 - 20 - 30) / 10 =
    // 15 lines, every further page (277 - 20 - 30) / 10 = 22.7, so 22.
    report::Report r;
    r.margins = {10, 10, 10, 10};
    r.title.height = 77;
    r.columnHeader.height = 20;
    r.detail.height = 10;
    r.pageFooter.height = 30;
    QCOMPARE(r.detailLinesOnFirstPage(), 15);
    QCOMPARE(r.detailLinesPerPage(), 22);

    int current = -1;
    QStringList events;
    r.recordCount = [] { return 40; };
    r.moveTo = [&](int i) { current = i; };
    r.afterTitle = [&] { events << QStringLiteral("title"); };
    r.beforeDetail = [&] { events << QString::number(current); };
    r.detail.texts = {{"", [&] { return QString::number(current); }, report::Align::Left, 0, 0}};
    r.pageFooter.texts = {
        {"", [&] { return QStringLiteral("p%1 to %2").arg(r.pageNumber()).arg(current); },
         report::Align::Left, 0, 0}};

    const QList<report::Page> pages = r.layout();
    QCOMPARE(pages.size(), 3); // 15 + 22 + 3
    QCOMPARE(events.size(), 41);
    QCOMPARE(events.first(), QStringLiteral("title"));
    QCOMPARE(events.at(1), QStringLiteral("0"));
    QCOMPARE(events.last(), QStringLiteral("39"));

    const QStringList footers = {QStringLiteral("p1 to 14"), QStringLiteral("p2 to 36"),
                                 QStringLiteral("p3 to 39")};
    for (int p = 0; p < pages.size(); ++p) {
        QStringList footer, details;
        double firstDetailTop = -1;
        for (const report::PlacedText &t : pages.at(p).texts) {
            if (t.element == &r.pageFooter.texts.first()) {
                footer << t.value;
                QCOMPARE(t.originY, 297.0 - 10 - 30);
            } else if (t.element == &r.detail.texts.first()) {
                if (details.isEmpty())
                    firstDetailTop = t.originY;
                details << t.value;
            }
        }
        QCOMPARE(footer, QStringList{footers.at(p)});
        QCOMPARE(details.size(), p == 0 ? 15 : p == 1 ? 22 : 3);
        QCOMPARE(firstDetailTop, p == 0 ? 10.0 + 77 + 20 : 10.0 + 20);
        bool framed = false;
        for (const report::PlacedRect &rect : pages.at(p).rects)
            framed = framed ||
                     (rect.left == 10 && rect.top == 10 && rect.width == 190 && rect.height == 277);
        QVERIFY(framed);
    }
}

SARVEK_TEST_MAIN(PrintoutTest)
#include "printout_test.moc"
