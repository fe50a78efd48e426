// The two return pick lists on a real database: what they show, the pick and
// the cancel hand-back, the year search, errors and the colours by record.
#include "ui/uitest.h"

#include "app/screens.h"
#include "lists/bordlist.h"
#include "lists/bordlistall.h"
#include "store/dm.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

namespace
{

const QString A = QStringLiteral("010001000001");
const QString B = QStringLiteral("020002000002");

void store(Tdm &dm, const QString &isver, const QString &isvisim, const QString &ilk,
           const QString &son, const QString &tur, const QString &seq)
{
    BodroRow r;
    r.isver = isver;
    r.isvisim = isvisim;
    r.ilk = ilk;
    r.son = son;
    r.tur = tur;
    r.seq = seq;
    insertBodro(dm, r);
}

void storeFixture(Tdm &dm)
{
    const QString zeta = QStringLiteral("Zeta Ltd.");
    store(dm, A, zeta, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
          QStringLiteral("01"), QStringLiteral("1"));
    store(dm, A, zeta, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
          QStringLiteral("02"), QStringLiteral("1"));
    store(dm, A, zeta, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
          QStringLiteral("11"), QStringLiteral("1"));
    store(dm, A, zeta, QStringLiteral("01.04.2013"), QStringLiteral("30.04.2013"),
          QStringLiteral("01"), QStringLiteral("1"));
    store(dm, B, QStringLiteral("Alfa A.Ş."), QStringLiteral("01.11.2026"),
          QStringLiteral("30.11.2026"), QStringLiteral("02"), QStringLiteral("3"));
}

void setToday(Workspace &ws)
{
    ws.platform.clock = QDateTime(QDate(2026, 12, 9), QTime(10, 30));
}

void prepareEmployerList(Tfrmbordlist &list, const QString &isver)
{
    list.ALISVERNO->setText(isver);
    list.ALDEVREILK->setText(QStringLiteral("01.03.2013"));
    list.ALDEVRESON->setText(QStringLiteral("31.03.2013"));
}

bool showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

QStringList column(const ReturnListModel &model, int col)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r)
        out << model.index(r, col).data().toString();
    return out;
}

QColor pixelOfRow(QTableView *grid, int row)
{
    const QImage image = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    // A point near the left edge of the cell: background, clear of the text
    // (the first column is centred) and of the grid lines.
    return image.pixelColor(cell.left() + 3, cell.top() + 3);
}

} // namespace

class ListsTest : public QObject
{
    Q_OBJECT

  private slots:
    void layoutNamesAndColumns();
    void employerListShowsOnlyTypesBeginningWithZero();
    void allReturnsListOpensOnTheCurrentYearAndSearches();
    void pickHandsBackTheCurrentRow_data();
    void pickHandsBackTheCurrentRow();
    void enterOnAnEmptyListHandsBackNothing();
    void cancelHandsBackTodayAndNoPick_data();
    void cancelHandsBackTodayAndNoPick();
    void engineErrorPropagatesFromListeleButIsShownOnAra();
    void coloursFollowTheRecordNumber();
    void startUpMakesOneAllReturnsList();
};

void ListsTest::layoutNamesAndColumns()
{
    Workspace ws;
    Tfrmbordlist one(*ws.ctx);
    QCOMPARE(one.windowTitle(), QStringLiteral("Aylık Yatırım BodrosuListesi"));
    QCOMPARE(one.size(), QSize(510, 456));
    QVERIFY(!(one.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(one.windowFlags() & Qt::WindowSystemMenuHint));

    Tfrmbordlistall all(*ws.ctx);
    QCOMPARE(all.windowTitle(), QStringLiteral("Tüm Listeyi Göster"));
    QCOMPARE(all.size(), QSize(708, 600));
    QVERIFY(all.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(all.btnAra->text(), QStringLiteral("Ara"));
    QVERIFY(all.findChild<QLineEdit *>(QStringLiteral("txtArama")) == all.txtArama);

    for (ReturnListDialog *list :
         {static_cast<ReturnListDialog *>(&one), static_cast<ReturnListDialog *>(&all)}) {
        for (const char *name : {"ALISVERNO", "ALDEVREILK", "ALDEVRESON", "VERISVERNO",
                                 "VERDEVREILK", "VERDEVRESON", "VERBODROTUR", "VERBDRDEVMIK"}) {
            auto *label = list->findChild<QLabel *>(QLatin1String(name));
            QVERIFY2(label, name);
            QVERIFY(label->isHidden());
        }
        QCOMPARE(list->findChild<QPushButton *>(QStringLiteral("listele")), list->listele);
        QVERIFY(list->listele->isHidden());
        QCOMPARE(list->findChild<QTableView *>(QStringLiteral("dbliste")), list->dbliste);
        QCOMPARE(list->dbliste->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(list->dbliste->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(list->findChild<QLabel *>(QStringLiteral("hint"))->text() ==
                QStringLiteral("Seçim için iki Tıkla veya Enter'e Basın /  ESC : Çıkış"));
    }

    struct Expected {
        const char *title;
        int width;
    };
    const QList<Expected> oneColumns = {{"İŞVEREN NO", 137},
                                        {"İLK DÖNEM", 107},
                                        {"SON DÖNEM", 111},
                                        {"BODROTÜRÜ", 73},
                                        {"BDRDEVMIK", 0}};
    const QList<Expected> allColumns = {{"İŞVEREN NO", 137}, {"İŞVEREN İSİM", 167},
                                        {"İLK DÖNEM", 107},  {"SON DÖNEM", 111},
                                        {"BODROTÜRÜ", 73},   {"BDR DEV. MIK.", 0}};
    storeFixture(*ws.dm);
    setToday(ws);
    prepareEmployerList(one, A);
    one.listeleClick();
    all.listeleClick();
    const QList<std::pair<ReturnListDialog *, QList<Expected>>> lists = {{&one, oneColumns},
                                                                         {&all, allColumns}};
    for (const auto &[list, expected] : lists) {
        QCOMPARE(list->model()->columnCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(list->model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(),
                     QString::fromUtf8(expected[i].title));
            // Widths hold after the list is filled, which resets the model.
            if (expected[i].width > 0)
                QCOMPARE(list->dbliste->horizontalHeader()->sectionSize(i), expected[i].width);
        }
    }
}

void ListsTest::employerListShowsOnlyTypesBeginningWithZero()
{
    Workspace ws;
    storeFixture(*ws.dm);
    Tfrmbordlist list(*ws.ctx);
    prepareEmployerList(list, A);
    list.listeleClick();
    QStringList types = column(*list.model(), 3);
    types.sort();
    QCOMPARE(types, (QStringList{QStringLiteral("01"), QStringLiteral("02")}));
    QCOMPARE(column(*list.model(), 1),
             (QStringList{QStringLiteral("01.03.2013"), QStringLiteral("01.03.2013")}));
    // The type column's values are centred, the others are not.
    QCOMPARE(list.model()->index(0, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QCOMPARE(list.model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignLeft);
}

void ListsTest::allReturnsListOpensOnTheCurrentYearAndSearches()
{
    Workspace ws;
    storeFixture(*ws.dm);
    setToday(ws);
    Tfrmbordlistall list(*ws.ctx);
    list.listeleClick();
    QCOMPARE(list.txtArama->text(), QStringLiteral("2026"));
    QCOMPARE(column(*list.model(), 0), QStringList{B});

    list.txtArama->clear();
    list.btnAra->click();
    QCOMPARE(list.model()->rowCount(), 5);
    // Name order, then the first-day text; the "11" return is listed here.
    QCOMPARE(column(*list.model(), 1).first(), QStringLiteral("Alfa A.Ş."));
    QCOMPARE(column(*list.model(), 2),
             (QStringList{QStringLiteral("01.11.2026"), QStringLiteral("01.03.2013"),
                          QStringLiteral("01.03.2013"), QStringLiteral("01.03.2013"),
                          QStringLiteral("01.04.2013")}));
    QVERIFY(column(*list.model(), 4).contains(QStringLiteral("11")));

    // Enter in the year box searches too; "3" finds every year ending in 3.
    QVERIFY(showActive(list));
    list.txtArama->setFocus();
    list.txtArama->setText(QStringLiteral("3"));
    QTest::keyClick(list.txtArama, Qt::Key_Return);
    QCOMPARE(list.model()->rowCount(), 4);
    QVERIFY(list.isVisible());
    QVERIFY(ws.platform.shown.isEmpty());
}

void ListsTest::pickHandsBackTheCurrentRow_data()
{
    QTest::addColumn<bool>("byDoubleClick");
    QTest::newRow("enter") << false;
    QTest::newRow("double-click") << true;
}

void ListsTest::pickHandsBackTheCurrentRow()
{
    QFETCH(bool, byDoubleClick);
    Workspace ws;
    storeFixture(*ws.dm);
    setToday(ws);
    Tfrmbordlistall list(*ws.ctx);
    list.listeleClick();
    list.txtArama->clear();
    list.btnAra->click();
    QVERIFY(showActive(list));
    QCOMPARE(QApplication::focusWidget(), list.dbliste);

    // Row 4: Zeta, 01.04.2013, the second key differs from row 3 only in type.
    const int row = 4;
    if (byDoubleClick) {
        const QRect cell = list.dbliste->visualRect(list.model()->index(row, 2));
        // What the window system delivers: a click, then the double-click.
        QTest::mouseClick(list.dbliste->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list.dbliste->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        for (int i = 0; i < row; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    }
    QTRY_VERIFY(!list.isVisible());
    QCOMPARE(list.result(), int(QDialog::Accepted));
    QCOMPARE(list.VERISVERNO->text(), A);
    QCOMPARE(list.VERDEVREILK->text(), QStringLiteral("01.04.2013"));
    QCOMPARE(list.VERDEVRESON->text(), QStringLiteral("30.04.2013"));
    QCOMPARE(list.VERBODROTUR->text(), QStringLiteral("01"));
    QCOMPARE(list.VERBDRDEVMIK->text(), QStringLiteral("1"));
    QVERIFY(!ws.dm->Query1.isOpen());

    // The one-employer list hands back its own row the same way.
    Tfrmbordlist one(*ws.ctx);
    prepareEmployerList(one, B);
    one.ALDEVREILK->setText(QStringLiteral("01.11.2026"));
    one.ALDEVRESON->setText(QStringLiteral("30.11.2026"));
    one.listeleClick();
    QVERIFY(showActive(one));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!one.isVisible());
    QCOMPARE(one.VERISVERNO->text(), B);
    QCOMPARE(one.VERBODROTUR->text(), QStringLiteral("02"));
    QCOMPARE(one.VERBDRDEVMIK->text(), QStringLiteral("3"));
}

void ListsTest::enterOnAnEmptyListHandsBackNothing()
{
    Workspace ws;
    storeFixture(*ws.dm);
    Tfrmbordlist list(*ws.ctx);
    prepareEmployerList(list, QStringLiteral("999999999999"));
    list.VERISVERNO->setText(QStringLiteral("left over"));
    list.listeleClick();
    QCOMPARE(list.model()->rowCount(), 0);
    QVERIFY(showActive(list));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!list.isVisible());
    QCOMPARE(list.VERISVERNO->text(), QString());
}

void ListsTest::cancelHandsBackTodayAndNoPick_data()
{
    QTest::addColumn<bool>("allReturns");
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("one-employer, ESC") << false << true;
    QTest::newRow("all-returns, ESC") << true << true;
    QTest::newRow("all-returns, close button") << true << false;
    QTest::newRow("one-employer, closed") << false << false;
}

void ListsTest::cancelHandsBackTodayAndNoPick()
{
    QFETCH(bool, allReturns);
    QFETCH(bool, byEscape);
    Workspace ws;
    storeFixture(*ws.dm);
    setToday(ws);
    std::unique_ptr<ReturnListDialog> list;
    if (allReturns) {
        list = std::make_unique<Tfrmbordlistall>(*ws.ctx);
    } else {
        auto one = std::make_unique<Tfrmbordlist>(*ws.ctx);
        prepareEmployerList(*one, A);
        list = std::move(one);
    }
    list->VERBODROTUR->setText(QStringLiteral("02"));
    list->VERBDRDEVMIK->setText(QStringLiteral("4"));
    list->listeleClick();
    QVERIFY(list->model()->rowCount() > 0);
    QVERIFY(showActive(*list));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    if (byEscape)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else
        list->close();
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(list->result(), int(QDialog::Rejected));
    QCOMPARE(list->VERISVERNO->text(), QString());
    QCOMPARE(list->VERDEVREILK->text(), QStringLiteral("09.12.2026"));
    QCOMPARE(list->VERDEVRESON->text(), QStringLiteral("09.12.2026"));
    QCOMPARE(list->VERBODROTUR->text(), QStringLiteral("02"));
    QCOMPARE(list->VERBDRDEVMIK->text(), QStringLiteral("4"));
    // Only the all-returns list closes Query1 on a cancel.
    QCOMPARE(ws.dm->Query1.isOpen(), !allReturns);
}

void ListsTest::engineErrorPropagatesFromListeleButIsShownOnAra()
{
    Workspace ws;
    storeFixture(*ws.dm);
    setToday(ws);
    Tfrmbordlistall all(*ws.ctx);
    all.listeleClick();
    QVERIFY(showActive(all));
    ws.dm->execute(QStringLiteral("drop table bodroliste"));
    ws.dm->execute(QStringLiteral("drop table bodro"));

    all.btnAra->click();
    QCOMPARE(ws.platform.shown.size(), 1);
    QVERIFY2(ws.platform.shown[0].text.contains(QStringLiteral("bodro")),
             qPrintable(ws.platform.shown[0].text));
    QVERIFY(all.isVisible());
    QCOMPARE(all.model()->rowCount(), 0);

    Tfrmbordlist one(*ws.ctx);
    prepareEmployerList(one, A);
    QVERIFY_THROWS_EXCEPTION(DbError, one.listeleClick());
    Tfrmbordlistall other(*ws.ctx);
    QVERIFY_THROWS_EXCEPTION(DbError, other.listeleClick());
}

void ListsTest::coloursFollowTheRecordNumber()
{
    Workspace ws;
    setToday(ws);
    for (int i = 0; i < 40; ++i)
        store(*ws.dm, QStringLiteral("0100010%1").arg(i, 5, 10, QLatin1Char('0')),
              QStringLiteral("İşveren %1").arg(i, 2, 10, QLatin1Char('0')),
              QStringLiteral("01.01.2026"), QStringLiteral("31.01.2026"), QStringLiteral("01"),
              QStringLiteral("1"));
    Tfrmbordlistall list(*ws.ctx);
    list.listeleClick();
    QCOMPARE(list.model()->rowCount(), 40);

    const QColor blue(0, 0, 255), silver(192, 192, 192), sky(166, 202, 240), black(0, 0, 0);
    for (int r = 0; r < 40; ++r) {
        const bool odd = (r + 1) % 2 == 1;
        for (int c = 0; c < list.model()->columnCount(); ++c) {
            const QModelIndex index = list.model()->index(r, c);
            QCOMPARE(index.data(Qt::BackgroundRole).value<QColor>(), odd ? blue : sky);
            QCOMPARE(index.data(Qt::ForegroundRole).value<QColor>(), odd ? silver : black);
        }
    }

    // On screen too, the selected row included, before and after scrolling.
    QVERIFY(showActive(list));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // select record 2
    QCOMPARE(list.dbliste->currentIndex().row(), 1);
    for (int r = 0; r < 4; ++r)
        QCOMPARE(pixelOfRow(list.dbliste, r), (r + 1) % 2 == 1 ? blue : sky);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier); // record 40
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home); // back to the first column
    QTRY_VERIFY(list.dbliste->verticalScrollBar()->value() > 0);
    QCOMPARE(list.dbliste->currentIndex().row(), 39);
    const int top = list.dbliste->rowAt(0) + 1; // the first whole row
    QVERIFY(top > 1);
    for (int r = top; r < 40; ++r)
        QCOMPARE(pixelOfRow(list.dbliste, r), (r + 1) % 2 == 1 ? blue : sky);
    // The row indicator marks the current row only.
    QCOMPARE(list.model()->headerData(39, Qt::Vertical, Qt::DisplayRole).toString(),
             QStringLiteral("▶"));
    QCOMPARE(list.model()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString());
}

void ListsTest::startUpMakesOneAllReturnsList()
{
    Workspace ws;
    QWidget mainWindow;
    createStartupWindows(*ws.ctx, &mainWindow);
    auto *list = qobject_cast<Tfrmbordlistall *>(ws.ctx->frmbordlistall.data());
    QVERIFY(list);
    QCOMPARE(list->parent(), &mainWindow);
    // No statement runs at start-up.
    QVERIFY(!ws.dm->isConnected());
    delete list;
    QVERIFY(ws.ctx->frmbordlistall.isNull());
}

SARVEK_TEST_MAIN(ListsTest)
#include "lists_test.moc"
