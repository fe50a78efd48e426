// The program on the desktop: F1 opens the handbook at the section of the
// screen (or the part of it) that has the focus, a sarvek.chm in the working
// folder is opened in its stead, the help window shows the section with its
// picture, and the print preview opens maximised.
#include "accountant/muhisform.h"
#include "app/anamenu.h"
#include "app/help.h"
#include "app/helpwindow.h"
#include "declaration/frmyapdosya.h"
#include "entry/yatirimgir.h"
#include "print/frmprint.h"
#include "print/printcommands.h"
#include "ui/uitest.h"

#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
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
