// The program on the desktop: F1 opens the handbook at the section of the
// screen (or the part of it) that has the focus, a sarvek.chm in the working
// folder is opened in its stead, the help window shows the section with its
// picture, every screen's page shows the pictures made of it, and the print
// preview opens maximised.
#include "accountant/muhisform.h"
#include "app/anamenu.h"
#include "app/help.h"
#include "app/helpwindow.h"
#include "declaration/frmyapdosya.h"
#include "entry/yatirimgir.h"
#include "print/frmprint.h"
#include "print/printcommands.h"
#include "ui/uitest.h"

#include <optional>
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextBrowser>

namespace
{

void pressF1()
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_F1);
}

void showActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

// Where the block that reads `heading` lies in the browser's viewport, in
// pixels from its top (negative: above it); nothing when the page has no such
// block.
std::optional<int> headingOffset(QTextBrowser *browser, const QString &heading)
{
    QTextDocument *doc = browser->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.text() == heading)
            return int(doc->documentLayout()->blockBoundingRect(b).top()) -
                   browser->verticalScrollBar()->value();
    }
    return std::nullopt;
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT
  private slots:
    void f1OpensTheSectionOfTheFocus();
    void entryScreenOwnF1();
    void helpChmWins();
    void sectionsExistInTheHandbook();
    void helpWindowShowsSectionAndPicture();
    void entryGridF1ReachesItsSection();
    void everyScreenPageShowsItsPictures();
    void printPreviewOpensMaximised();
};

void DesktopTest::f1OpensTheSectionOfTheFocus()
{
    Workspace ws;
    HelpKey helpKey(*ws.ctx);
    qApp->installEventFilter(&helpKey);
    QStringList &pages = ws.platform.helpPages;

    TForm2 menu(*ws.ctx);
    showActive(&menu);
    menu.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->setFocus();
    pressF1();
    QCOMPARE(pages.value(0), QStringLiteral("anamenu.html"));

    {
        TForm1 entry(*ws.ctx);
        showActive(&entry);
        child<QLineEdit>(entry, "ALKAZA")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), child<QLineEdit>(entry, "ALKAZA"));
        pressF1();
        QCOMPARE(pages.value(1), QStringLiteral("giris.html"));

        // In the grid the focus is on the cell editor, a child of the grid.
        child<QTableWidget>(entry, "alyatgir")->setFocus();
        QTRY_VERIFY(
            child<QTableWidget>(entry, "alyatgir")->isAncestorOf(QApplication::focusWidget()));
        pressF1();
        QCOMPARE(pages.value(2), QStringLiteral("giris.html#tablo"));

        child<QPushButton>(entry, "kayitbtn")->setFocus();
        pressF1();
        QCOMPARE(pages.value(3), QStringLiteral("giris.html#komutlar"));
    }
    {
        Tfrmmuhis accountant(*ws.ctx);
        showActive(&accountant);
        accountant.alisim->setFocus();
        pressF1();
        QCOMPARE(pages.value(4), QStringLiteral("muhasip.html"));
    }
    {
        Tyapdosya declaration(*ws.ctx);
        showActive(&declaration);
        pressF1();
        QCOMPARE(pages.value(5), QStringLiteral("beyanname.html"));
    }
    QCOMPARE(pages.size(), 6);
    QVERIFY(ws.platform.texts().isEmpty());
    qApp->removeEventFilter(&helpKey);
}

void DesktopTest::entryScreenOwnF1()
{
    // Without the application's F1 (as in the other screen tests) the entry
    // screen's own key handler opens the same section.
    Workspace ws;
    TForm1 entry(*ws.ctx);
    showActive(&entry);
    child<QLineEdit>(entry, "ALFIHRIST")->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), child<QLineEdit>(entry, "ALFIHRIST"));
    pressF1();
    QCOMPARE(ws.platform.helpPages, QStringList{QStringLiteral("giris.html")});
}

void DesktopTest::helpChmWins()
{
    Workspace ws;
    QFile chm(ws.path(QStringLiteral("sarvek.chm")));
    QVERIFY(chm.open(QIODevice::WriteOnly));
    chm.close();
    HelpKey helpKey(*ws.ctx);
    qApp->installEventFilter(&helpKey);
    TForm2 menu(*ws.ctx);
    showActive(&menu);
    pressF1();
    qApp->removeEventFilter(&helpKey);
    QCOMPARE(ws.platform.openedDocuments,
             QStringList{QFileInfo(chm.fileName()).absoluteFilePath()});
    QVERIFY(ws.platform.helpPages.isEmpty());
}

void DesktopTest::sectionsExistInTheHandbook()
{
    // Every place that has a section of its own, and where F1 lands there.
    const QList<std::pair<QStringList, QString>> cases = {
        {{"BitBtn1", "QPushButton", "Form2", "TForm2"}, "anamenu.html"},
        {{"", "QPushButton", "AboutBox", "TAboutBox"}, "anamenu.html#hakkinda"},
        {{"ALKAZA", "QLineEdit", "Form1", "TForm1"}, "giris.html"},
        {{"", "QLineEdit", "", "QWidget", "alyatgir", "QTableWidget", "Form1", "TForm1"},
         "giris.html#tablo"},
        {{"guncelle", "QPushButton", "Form1", "TForm1"}, "giris.html#komutlar"},
        {{"dbliste", "QTableView", "frmbordlist", "Tfrmbordlist"}, "listeler.html"},
        {{"dbliste", "QTableView", "frmbordlistall", "Tfrmbordlistall"}, "listeler.html#tumu"},
        {{"alunvan", "QLineEdit", "frmmuhis", "Tfrmmuhis"}, "muhasip.html"},
        {{"hesapla", "QPushButton", "", "Tyapdosya"}, "beyanname.html"},
        {{"kayityeri", "QComboBox", "", "Tkayityeri"}, "beyanname.html#surucu"},
        {{"BitBtnIceAktar", "QPushButton", "Form1", "TForm1"}, "giris.html#iceaktar"},
        {{"hicbirini", "QCheckBox", "ImportDialog", "ImportDialog", "Form1", "TForm1"},
         "giris.html#iceaktar"},
        {{"btngonderilenler", "QPushButton", "", "Tyapdosya"}, "beyanname.html#gonderilenler"},
        {{"gonderimgrid", "QTableWidget", "gonderilenler", "Tgonderilenler", "", "Tyapdosya"},
         "beyanname.html#gonderilenler"},
        {{"", "QToolBar", "bdrdokpreview", "QPrintPreviewDialog"}, "dokum.html"},
        {{"", "QMessageBox"}, "index.html"},
    };
    const QDir handbook(HelpWindow::handbookFolder());
    for (const auto &[names, page] : cases) {
        QCOMPARE(help::pageFor(names), page);
        QFile file(handbook.filePath(page.section(u'#', 0, 0)));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QString anchor = page.section(u'#', 1);
        if (!anchor.isEmpty())
            QVERIFY2(QString::fromUtf8(file.readAll())
                         .contains(QStringLiteral("name=\"%1\"").arg(anchor)),
                     qPrintable(page));
    }
}

void DesktopTest::helpWindowShowsSectionAndPicture()
{
    Workspace ws;
    TForm2 owner(*ws.ctx);
    showActive(&owner);
    struct Case {
        QString page, heading, picture;
    };
    const Case cases[] = {
        {"anamenu.html", "Ana menü", "img/anamenu.png"},
        {"giris.html#tablo", "Çalışan tablosu", "img/giris.png"},
        {"beyanname.html#surucu", "USB belleğe kaydetmek", "img/kayityeri.png"},
    };
    for (const Case &c : cases) {
        HelpWindow *window = HelpWindow::showPage(c.page);
        QVERIFY(window->isVisible());
        QTextBrowser *browser = window->browser();
        QCOMPARE(browser->source().fileName(), c.page.section(u'#', 0, 0));
        QCOMPARE(browser->source().fragment(), c.page.section(u'#', 1));
        const QString text = browser->toPlainText();
        QVERIFY2(text.contains(c.heading), qPrintable(c.page));
        const QVariant picture =
            browser->loadResource(QTextDocument::ImageResource, QUrl(c.picture));
        QVERIFY2(QImage::fromData(picture.toByteArray()).width() > 100, qPrintable(c.picture));
        // A section further down its page is scrolled into view.
        if (!browser->source().fragment().isEmpty())
            QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
    }
    // One help window: each F1 reuses it.
    QCOMPARE(owner.findChildren<HelpWindow *>().size(), 1);
}

void DesktopTest::entryGridF1ReachesItsSection()
{
    // F1 in the grid's cell editor, through the application's key, names the
    // grid's section; the help window opened there has that section's heading
    // in view, not the top of the page.
    Workspace ws;
    HelpKey helpKey(*ws.ctx);
    qApp->installEventFilter(&helpKey);
    TForm1 entry(*ws.ctx);
    showActive(&entry);
    child<QTableWidget>(entry, "alyatgir")->setFocus();
    QTRY_VERIFY(child<QTableWidget>(entry, "alyatgir")->isAncestorOf(QApplication::focusWidget()));
    pressF1();
    qApp->removeEventFilter(&helpKey);
    QCOMPARE(ws.platform.helpPages, QStringList{QStringLiteral("giris.html#tablo")});

    HelpWindow *window = HelpWindow::showPage(ws.platform.helpPages.first());
    QTextBrowser *browser = window->browser();
    QCOMPARE(browser->source().fileName(), QStringLiteral("giris.html"));
    const int viewport = browser->viewport()->height();
    QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
    const std::optional<int> grid = headingOffset(browser, QStringLiteral("Çalışan tablosu"));
    QVERIFY(grid);
    QVERIFY2(*grid >= 0 && *grid < viewport / 4, qPrintable(QString::number(*grid)));
    // The header's section, just above it on the page, has scrolled out of view.
    const std::optional<int> header =
        headingOffset(browser, QStringLiteral("Başlık: Genel Yatırım Bilgileri"));
    QVERIFY(header);
    QVERIFY2(*header < 0, qPrintable(QString::number(*header)));
    window->close();
}

void DesktopTest::everyScreenPageShowsItsPictures()
{
    // Each screen's page with the pictures made of that screen and of the
    // windows it opens; each picture is in the handbook folder.
    const QList<std::pair<QString, QStringList>> pages = {
        {"anamenu.html", {"anamenu", "hakkinda"}},
        {"giris.html", {"giris", "iceaktar"}},
        {"listeler.html", {"bordlist", "tumliste"}},
        {"muhasip.html", {"muhasip"}},
        {"beyanname.html", {"beyanname", "gonderilenler", "kayityeri"}},
        {"dokum.html", {"dokum"}},
        {"mesajlar.html", {"mesaj"}},
    };
    const QDir handbook(HelpWindow::handbookFolder());
    for (const auto &[page, pictures] : pages) {
        QFile file(handbook.filePath(page));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QString &picture : pictures) {
            const QString src = QStringLiteral("img/%1.png").arg(picture);
            const QRegularExpression img(
                QStringLiteral("<img\\s[^>]*src=\"%1\"").arg(QRegularExpression::escape(src)));
            QVERIFY2(html.contains(img), qPrintable(page + QStringLiteral(": ") + src));
            const QImage image(handbook.filePath(src));
            QVERIFY2(image.width() > 100 && image.height() > 50, qPrintable(src));
        }
    }
}

void DesktopTest::printPreviewOpensMaximised()
{
    Workspace ws;
    insertBodro(*ws.dm, BodroRow{});
    Tfrmbodrodok form(*ws.ctx);
    const BodroRow row;
    PrintRequest request{
        row.isver.left(2), row.isver.mid(2, 4),  row.isver.mid(6), row.ilk, row.son, row.tur,
        row.seq,           PrintScope::OneReturn};
    form.setCaptions(*preparePrint(*ws.dm, request));
    bool maximised = false;
    whenModalShown([&](QWidget *modal) {
        maximised = qobject_cast<QPrintPreviewDialog *>(modal) && modal->isMaximized();
        modal->close();
    });
    form.preview();
    QVERIFY(maximised);
}

SARVEK_TEST_MAIN(DesktopTest)
#include "desktop_test.moc"
