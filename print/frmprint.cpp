// The printout form: its bands as tables of elements (positions in mm from the
// band's top-left corner), the two hooks of the run, the preview and the PDF.
#include "print/frmprint.h"

#include "app/context.h"
#include "base/amounttext.h"
#include "base/errors.h"
#include "store/dm.h"

#include <QAction>
#include <QFileDialog>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QSaveFile>
#include <QToolBar>

using report::Align;
using report::Font;
using report::Source;

namespace
{

constexpr Font F8{8, false};
constexpr Font F9{9, false};
constexpr Font F9B{9, true};
constexpr Font F10{10, false};
constexpr Font F10B{10, true};
constexpr Font F12{12, false};
constexpr Font F12B{12, true};

Source fixed(const QString &text)
{
    return [text] { return text; };
}

QString declarationBlock()
{
    const QString blank(1, QLatin1Char(' '));
    return QStringList{
        QStringLiteral("Bu bordroda yazılı bilgilerin doğruluğunu ve sorumluluğunu beyan ederim."),
        QStringLiteral("Açıklama:"),
        QStringLiteral("1- Hatalı Yatırımların önlenmesi için müstahdemlerin Sarvek Sandığı ve "
                       "Kimlik Numaralarının yazılması zorunludur."),
        QStringLiteral("2- Bu bordro iki süret olarak hazılanır."),
        QStringLiteral("3- İzin nedenleri şu şekilde kodlanacaktır:"),
        QString(), // three empty lines, under the legend
        QString(),
        QString(),
        QString(38, QLatin1Char('.')) + blank.repeated(61) + QString(76, QLatin1Char('.')),
        blank.repeated(15) + QStringLiteral("Tarih") + blank.repeated(70) +
            QStringLiteral("İşverenin / İşsahibinin veya Vekilinin İmzası ve Mühürü"),
    }
        .join(QLatin1Char('\n'));
}

QString askPdfPath(QWidget *parent)
{
    QFileDialog dialog(parent, QStringLiteral("PDF olarak kaydet"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF dosyaları (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QStringLiteral("bodro.pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

const QString Legend =
    QStringLiteral("İşten Ayrılış (A) - Çırak (C) - Doğum (D) - İşe Giriş (G) - Hastalık (H) - "
                   "Ödeneksiz (O) - Part Time (P)");

} // namespace

Tfrmbodrodok::Tfrmbodrodok(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window), choosePdfPath(askPdfPath), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmbodrodok"));
    setWindowTitle(QStringLiteral("Bodro Dökümü"));

    auto slot = [this](QString Tfrmbodrodok::*member) -> Source {
        return [this, member] { return this->*member; };
    };

    // clang-format off
    bdrdok.margins = {6.0, 11.0, 7.0, 10.0}; // left, top, right, bottom

    bdrdok.title.height = 122.0;
    bdrdok.title.framed = true;
    bdrdok.title.rules = {{11.9, 2}, {60.3, 3}, {80.2, 2}};
    bdrdok.title.boxes = {{130.2, 19.8, 59.5, 40.0}}; // for the fund's own entries
    bdrdok.title.texts = {
        // name        text                                        align        x      top   font  width height
        {"QRLabel1",  fixed(QStringLiteral("SARVEK SANDIĞI DAİRESİ")), Align::Centre, 95.4, 1.1, F10B},
        {"QRLabel2",  fixed(QStringLiteral("AYLIK YATIRIM BORDROSU")), Align::Centre, 94.6, 5.3, F10},
        {"QRMemo1",   fixed(QStringLiteral("İ\nŞ\nV\nE\nR\nE\nN\nİ\nN")), Align::Left, 1.3, 14.6, F12B},
        {"",          fixed(QStringLiteral("Resmi Maksatlar İçindir")), Align::Left,  136.0, 13.5, F12B},
        {"",          fixed(QStringLiteral("Sicil No:")),             Align::Left,    32.5, 13.8, F12},
        {"QRLabel31", slot(&Tfrmbodrodok::QRLabel31),                Align::Left,    49.7, 14.3, F12B},
        {"",          fixed(QStringLiteral("                 Adı Soyadı:\n"
                                           "(Şirket ise Kayıtlı İsim)")), Align::Left, 7.7, 19.8, F12},
        {"",          field("ISVISIM"),                              Align::Left,    50.3, 24.9, F12B, 79.0, 7.1},
        {"",          fixed(QStringLiteral("Ait Olduğu Devre/Ay:")), Align::Left,     9.8, 31.5, F12},
        {"",          field("YATDEVREILK"),                          Align::Left,    50.3, 32.0, F12B},
        {"",          fixed(QStringLiteral("-")),                    Align::Left,    77.3, 31.2, F12B},
        {"",          field("YATDEVRESON"),                          Align::Left,    80.4, 32.0, F12B},
        {"",          fixed(QStringLiteral("İşyeri Adresi:")),       Align::Left,    24.1, 40.2, F12},
        {"",          field("ISVISADRES"),                           Align::Left,    50.3, 40.7, F12B, 79.0, 13.3},
        {"",          fixed(QStringLiteral("Telefon No:")),          Align::Left,    27.0, 53.4, F12},
        {"",          field("ISVTELNO"),                             Align::Left,    50.3, 54.0, F12B},
        {"",          fixed(QStringLiteral("ASIL:")),                Align::Left,    42.9, 63.0, F10B},
        {"QRLabel16", slot(&Tfrmbodrodok::QRLabel16),                Align::Boxed,   54.5, 63.0, F10B, 7.9},
        {"",          fixed(QStringLiteral("EK:")),                  Align::Left,   110.9, 63.0, F10B},
        {"QRLabel18", slot(&Tfrmbodrodok::QRLabel18),                Align::Boxed,  119.6, 63.0, F10B, 7.9},
        {"",          fixed(QStringLiteral("       AYLIK BRÜT\nKAZANÇLAR TOPLAMI")), Align::Left, 4.2, 68.0, F10},
        {"",          fixed(QStringLiteral("ÇALIŞANIN KATKISI\n     PRİM TUTARI")), Align::Left, 48.4, 68.3, F10},
        {"",          fixed(QStringLiteral("İŞVERENİN KATKISI\n  DEPOZİT TUTARI")), Align::Left, 101.6, 68.3, F10},
        {"",          fixed(QStringLiteral("       TOPLAM\nYATIRIM TOPLAMI")), Align::Left, 148.7, 68.0, F10},
        {"burtoplam", slot(&Tfrmbodrodok::burtoplam),                Align::Right,   28.5, 76.7, F10},
        {"primtoplam", slot(&Tfrmbodrodok::primtoplam),              Align::Right,   74.4, 76.7, F10},
        {"depotoplam", slot(&Tfrmbodrodok::depotoplam),              Align::Right,  126.0, 76.7, F10},
        {"yattoplam", slot(&Tfrmbodrodok::yattoplam),                Align::Right,  170.1, 76.7, F10},
        {"",          fixed(QStringLiteral("Toplam Kişi Sayısı :")), Align::Left,     4.2, 82.8, F8},
        {"QRLabel30", slot(&Tfrmbodrodok::QRLabel30),                Align::Boxed,   30.4, 82.8, F9B, 9.0},
        {"QRMemo14",  fixed(declarationBlock()),                     Align::Left,     4.2, 88.4, F8},
        {"QRLabel32", fixed(Legend),                                 Align::Left,     4.2, 105.6, F10B},
    };

    bdrdok.columnHeader.height = 12.7;
    bdrdok.columnHeader.framed = true;
    bdrdok.columnHeader.texts = {
        // name text                                            align       x      top  font
        {"", fixed(QStringLiteral("S.No")),                    Align::Left,   1.3, 6.1, F8},
        {"", fixed(QStringLiteral("Sarvek No")),               Align::Left,   9.0, 6.1, F8},
        {"", fixed(QStringLiteral("Kimlik No")),               Align::Left,  22.5, 5.8, F8},
        {"", fixed(QStringLiteral("Sigorta No")),              Align::Left,  39.4, 5.6, F8},
        {"", fixed(QStringLiteral("Adı Soyadı")),              Align::Left,  57.4, 5.6, F8},
        {"", fixed(QStringLiteral("  İzin\nNedeni")),          Align::Left,  94.7, 2.6, F8},
        {"", fixed(QStringLiteral(" Gün \nSayısı")),           Align::Left, 105.3, 2.4, F8},
        {"", fixed(QStringLiteral("Aylık\nBrüt")),             Align::Left, 117.7, 2.6, F8},
        {"", fixed(QStringLiteral("P. Oranı \n     %")),       Align::Left, 129.9, 2.6, F8},
        {"", fixed(QStringLiteral(" Pirim\nTutarı")),          Align::Left, 143.9, 2.6, F8},
        {"", fixed(QStringLiteral("D. Oranı \n     %")),       Align::Left, 154.8, 2.6, F8},
        {"", fixed(QStringLiteral("Depozit\n Tutarı")),        Align::Left, 168.5, 2.6, F8},
        {"", fixed(QStringLiteral("Toplam")),                  Align::Left, 187.1, 5.3, F8},
    };

    bdrdok.detail.height = 5.3;
    bdrdok.detail.texts = {
        // name        text                           align          x      top  font width
        {"QRSiraNo",  slot(&Tfrmbodrodok::QRSiraNo), Align::Centre,   5.1, 0.5, F8},
        {"",          field("YATSRVNO"),             Align::Left,     9.0, 0.5, F8},
        {"",          field("YATKIMLIK"),            Align::Left,    20.4, 0.5, F8},
        {"",          field("YATSSKNO"),             Align::Left,    39.4, 0.5, F8},
        {"",          field("YATISIM"),              Align::Left,    57.4, 1.6, F9, 39.5},
        {"",          field("YATDURUM"),             Align::Left,    97.9, 0.5, F8},
        {"",          field("YATCALGUN"),            Align::Left,   105.3, 0.5, F8},
        {"",          field("YATBRUT"),              Align::Right,  125.9, 0.5, F8},
        {"",          field("YATPRIMOR"),            Align::Right,  137.3, 0.5, F8}, // box 127.5-137.3
        {"QRLabel3",  slot(&Tfrmbodrodok::QRLabel3), Align::Right,  152.1, 0.8, F8},
        {"",          field("YATDEPOOR"),            Align::Right,  163.5, 0.5, F8}, // box 153.7-163.5
        {"QRLabel4",  slot(&Tfrmbodrodok::QRLabel4), Align::Right,  178.1, 0.5, F8},
        {"QRLabel5",  slot(&Tfrmbodrodok::QRLabel5), Align::Right,  196.3, 0.8, F8},
    };

    bdrdok.pageFooter.height = 18.0;
    bdrdok.pageFooter.framed = true;
    bdrdok.pageFooter.rules = {{6.9, 3}};
    bdrdok.pageFooter.texts = {
        // name         text                                           align        x      top   font
        {"",          fixed(QStringLiteral("TOPLAM:")),               Align::Left,   77.8, 1.6, F10},
        {"QRLabel24", slot(&Tfrmbodrodok::QRLabel24),                 Align::Right, 125.9, 1.6, F10},
        {"QRLabel25", slot(&Tfrmbodrodok::QRLabel25),                 Align::Right, 156.6, 1.6, F10},
        {"QRLabel26", slot(&Tfrmbodrodok::QRLabel26),                 Align::Right, 178.3, 1.6, F10},
        {"QRLabel27", slot(&Tfrmbodrodok::QRLabel27),                 Align::Right, 196.6, 1.6, F10},
        {"",          fixed(QStringLiteral("Hesaba İşlendi:    ...............................")),
                                                                      Align::Left,    1.6, 11.1, F10},
        {"QRSysData1", [this] { return QString::number(bdrdok.pageNumber()); },
                                                                      Align::Left,   86.5, 11.1, F10},
        {"",          fixed(QStringLiteral("Kontrol Edildi: .............................................")),
                                                                      Align::Left,  118.5, 11.1, F10},
    };

    bdrdok.pageTexts = {
        // name       text                                   align          x      top   font
        {"QRLabel6", slot(&Tfrmbodrodok::QRLabel6),         Align::Right,  202.6,   6.1, F10},
        {"",         fixed(QStringLiteral("(Form:S.S.22)")), Align::Left,  183.4, 288.4, F10},
    };
    // clang-format on

    Query &records = m_ctx.dm.prnquery;
    bdrdok.recordCount = [&records] { return records.isOpen() ? records.recordCount() : 0; };
    bdrdok.moveTo = [&records](int index) { records.moveTo(index + 1); };
    bdrdok.afterTitle = [this] { QRBand1AfterPrint(); };
    bdrdok.beforeDetail = [this] { QREHesaplamalarPrint(); };
}

Source Tfrmbodrodok::field(const char *column) const
{
    const Query &records = m_ctx.dm.prnquery;
    const QString name = QString::fromLatin1(column);
    return [&records, name] {
        return records.isOpen() && !records.eof() ? records.field(name) : QString();
    };
}

void Tfrmbodrodok::setCaptions(const PrintCaptions &c)
{
    QRLabel31 = c.registry;
    QRLabel6 = c.summary;
    QRLabel30 = c.personCount;
    burtoplam = c.grossTotal;
    primtoplam = c.premiumTotal;
    depotoplam = c.depositTotal;
    yattoplam = c.grandTotal;
    QRLabel16 = c.asilBox;
    QRLabel18 = c.ekBox;
}

void Tfrmbodrodok::QRBand1AfterPrint()
{
    m_lineNo = 0;
    m_totals = RunningTotals();
    QRLabel24 = QRLabel25 = QRLabel26 = QRLabel27 = amount::format(Decimal());
}

void Tfrmbodrodok::QREHesaplamalarPrint()
{
    const Query &q = m_ctx.dm.prnquery;
    QRSiraNo = QString::number(++m_lineNo);
    const PrintLine line =
        computePrintLine(q.field(QStringLiteral("YATBRUT")), q.field(QStringLiteral("YATPRIMOR")),
                         q.field(QStringLiteral("YATDEPOOR")));
    QRLabel3 = amount::format(line.premium);
    QRLabel4 = amount::format(line.deposit);
    QRLabel5 = amount::format(line.total);
    m_totals.add(line);
    QRLabel24 = amount::format(m_totals.gross);
    QRLabel25 = amount::format(m_totals.premium);
    QRLabel26 = amount::format(m_totals.deposit);
    QRLabel27 = amount::format(m_totals.total);
}

void Tfrmbodrodok::savePdf(const QString &path)
{
    writePdf(path, bdrdok.layout());
}

void Tfrmbodrodok::writePdf(const QString &path, const QList<report::Page> &pages)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError(
            QStringLiteral("PDF dosyası yazılamadı: %1\n%2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        report::Report::setUpPdfWriter(writer);
        writer.setTitle(windowTitle());
        writer.setCreator(QStringLiteral("Sarvek Bodro"));
        bdrdok.paint(writer, pages);
    }
    if (!file.commit())
        throw IoError(
            QStringLiteral("PDF dosyası yazılamadı: %1\n%2").arg(path, file.errorString()));
}

void Tfrmbodrodok::preview()
{
    const QList<report::Page> pages = bdrdok.layout();

    QPrinter printer(QPrinter::HighResolution);
    report::Report::setUpPrinter(printer);
    QPrintPreviewDialog dialog(&printer, parentWidget());
    dialog.setObjectName(QStringLiteral("bdrdokpreview"));
    dialog.setWindowTitle(windowTitle());
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [this, &pages](QPrinter *target) {
                guarded(m_ctx.platform, [&] { bdrdok.paint(*target, pages); });
            });

    if (auto *toolBar = dialog.findChild<QToolBar *>()) {
        toolBar->addSeparator();
        QAction *save = toolBar->addAction(QStringLiteral("PDF olarak kaydet"));
        save->setObjectName(QStringLiteral("pdfkaydet"));
        connect(save, &QAction::triggered, &dialog, [this, &dialog, &pages] {
            guarded(m_ctx.platform, [&] {
                const QString path = choosePdfPath(&dialog);
                if (!path.isEmpty())
                    writePdf(path, pages);
            });
        });
    }
    // Maximised, like the entry screen: at the dialog's own size a whole
    // page fitted in the view is too small to read.
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    if (auto *view = dialog.findChild<QPrintPreviewWidget *>())
        view->fitInView();
    dialog.exec();
}
