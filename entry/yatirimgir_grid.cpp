// The entry screen's grid: the one cell editor that rides on the current
// cell, the cursor and key rules, the totals, and the commands that start
// over, discard rows, delete a row, import rows and leave.
#include "entry/yatirimgir.h"

#include "app/context.h"
#include "controls/moneyedit.h"
#include "entry/arithmetic.h"
#include "entry/csvimport.h"
#include "entry/headerrules.h"
#include "entry/importdialog.h"
#include "entry/lookups.h"
#include "entry/returnstore.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

using namespace entrygrid;

namespace
{

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

} // namespace

// ---------------------------------------------------------------- grid

GridCells TForm1::gridCells() const
{
    GridCells cells;
    for (int r = 0; r < alyatgir->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < ColumnCount; ++c) {
            const QTableWidgetItem *item = alyatgir->item(r, c);
            row << (item ? item->text() : QString());
        }
        cells << row;
    }
    return cells;
}

QList<QStringList> TForm1::gridRows() const
{
    GridCells cells = gridCells();
    cells.removeFirst();
    return cells;
}

void TForm1::setGridCells(const GridCells &cells)
{
    // A changed row count leaves the editor and the focus where they are; a
    // removed current row moves the cursor, which loads the editor.
    if (cells.size() != alyatgir->rowCount())
        alyatgir->setRowCount(int(cells.size()));
    for (int r = 0; r < cells.size(); ++r) {
        for (int c = 0; c < ColumnCount; ++c) {
            QTableWidgetItem *item = alyatgir->item(r, c);
            if (item->text() != cells[r].value(c))
                item->setText(cells[r].value(c));
        }
    }
}

void TForm1::resetGrid()
{
    m_return = {};
    const std::array<int, ColumnCount> &widths = columnWidths();
    for (int c = 0; c < ColumnCount; ++c)
        alyatgir->setColumnWidth(c, widths[c]);
    alyatgir->setHorizontalHeaderLabels(columnTitles());
    m_ctx.session.entry.rowCounter = 1;
    setGridCells(freshGrid());
    placeCursor(1, SarvekNo);
}

void TForm1::loadCellEditor()
{
    if (const QTableWidgetItem *item = alyatgir->currentItem()) {
        m_cellEdit->setText(item->text());
        m_cellEdit->selectAll();
    }
    placeCellEditor();
}

void TForm1::placeCellEditor()
{
    const QRect rect = alyatgir->visualRect(alyatgir->currentIndex());
    if (rect.isValid())
        m_cellEdit->setGeometry(rect);
}

void TForm1::placeCursor(int row, int col)
{
    if (row != alyatgir->currentRow() || col != alyatgir->currentColumn())
        alyatgir->setCurrentCell(row, col);
    else
        loadCellEditor();
}

bool TForm1::moveCursorTo(int row, int col)
{
    const int fromRow = alyatgir->currentRow();
    const int fromCol = alyatgir->currentColumn();
    if (row == fromRow && col == fromCol)
        return true;
    if (fromRow >= 1 && !guarded(m_ctx.platform, [&] { alyatgirSelectCell(fromRow, fromCol); })) {
        // The refused text is selected, so that typing replaces it.
        loadCellEditor();
        return false;
    }
    placeCursor(row, col);
    return true;
}

bool TForm1::completeOpenCell()
{
    const int row = alyatgir->currentRow();
    const int col = alyatgir->currentColumn();
    if (row < 1 || guarded(m_ctx.platform, [&] { alyatgirSelectCell(row, col); }))
        return true;
    loadCellEditor();
    m_cellEdit->setFocus(Qt::OtherFocusReason);
    return false;
}

void TForm1::enterGridFromHeader()
{
    moveCursorTo(alyatgir->rowCount() - 1, SarvekNo);
    m_cellEdit->setFocus(Qt::TabFocusReason);
}

bool TForm1::gridMousePress(QMouseEvent *event)
{
    const QModelIndex index = alyatgir->indexAt(event->position().toPoint());
    if (!index.isValid())
        return false;
    moveCursorTo(index.row(), index.column());
    m_cellEdit->setFocus(Qt::MouseFocusReason);
    return true;
}

void TForm1::alyatgirSelectCell(int row, int col)
{
    if (col != AylikKazanc && col != POrani && col != DOrani)
        return;
    GridCells cells = gridCells();
    entryarith::leaveCell(cells[row], col, m_ctx.session.entry.groupChar);
    setGridCells(cells);
    recomputeTotals();
}

void TForm1::recomputeTotals()
{
    const GridCells cells = gridCells();
    topbrut->setTextAsFloat(entryarith::columnTotal(cells, AylikKazanc));
    topprim->setTextAsFloat(entryarith::columnTotal(cells, PTutari));
    topdepo->setTextAsFloat(entryarith::columnTotal(cells, DTutari));
    TOPPD->setTextAsFloat(topprim->textAsFloat() + topdepo->textAsFloat());
}

bool TForm1::alyatgirKeyDown(int key, bool rightLeaves)
{
    if (key == Qt::Key_F3) {
        yeniac->click();
        return false;
    }
    if (key == Qt::Key_F1 || key == Qt::Key_F4)
        ALKAZAKeyDown(key);

    GridCells cells = gridCells();
    Cursor cursor{alyatgir->currentRow(), alyatgir->currentColumn()};
    int rowCounter = m_ctx.session.entry.rowCounter;
    KeyEnv env;
    env.asil = ALBODTUR1->isChecked();
    env.say = [this](const QString &text) { m_ctx.platform.showMessage(text); };
    env.lookUp = [this](const QString &fundNo) {
        return entrylookup::employeeDetails(m_ctx.dm, fundNo);
    };
    const bool acts =
        applyKeyRules(cells, cursor, rightLeaves ? Key::Right : Key::Other, rowCounter, env);
    m_ctx.session.entry.rowCounter = rowCounter;
    setGridCells(cells);
    return moveCursorTo(cursor.row, cursor.col) && acts;
}

bool TForm1::gridEditorKey(QKeyEvent *event)
{
    const int key = event->key();
    if (isModifierKey(key))
        return false;

    const QString text = m_cellEdit->text();
    const bool whole =
        m_cellEdit->hasSelectedText() && m_cellEdit->selectedText().size() == text.size();
    const bool noSelection = !m_cellEdit->hasSelectedText();
    const bool atEnd = whole || (noSelection && m_cellEdit->cursorPosition() == text.size());
    const bool atStart = whole || (noSelection && m_cellEdit->cursorPosition() == 0);
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool rightLeaves = key == Qt::Key_Right && plain && atEnd;
    const bool leftLeaves = key == Qt::Key_Left && plain && atStart;

    bool acts = false;
    if (!guarded(m_ctx.platform, [&] { acts = alyatgirKeyDown(key, rightLeaves); }) || !acts)
        return true;

    const int row = alyatgir->currentRow();
    const int col = alyatgir->currentColumn();
    const int lastRow = alyatgir->rowCount() - 1;
    switch (key) {
    case Qt::Key_Right:
        if (!rightLeaves)
            break;
        moveCursorTo(row, std::min(col + 1, ColumnCount - 1));
        return true;
    case Qt::Key_Left:
        if (!leftLeaves)
            break;
        moveCursorTo(row, std::max(col - 1, 0));
        return true;
    case Qt::Key_Up:
        moveCursorTo(std::max(row - 1, 1), col);
        return true;
    case Qt::Key_Down:
        moveCursorTo(std::min(row + 1, lastRow), col);
        return true;
    case Qt::Key_Tab:
        if (col + 1 < ColumnCount)
            moveCursorTo(row, col + 1);
        else
            moveCursorTo(row < lastRow ? row + 1 : 1, 0);
        return true;
    case Qt::Key_Backtab:
        if (col > 0)
            moveCursorTo(row, col - 1);
        else
            moveCursorTo(row > 1 ? row - 1 : lastRow, ColumnCount - 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        break;
    }
    // Any other key acts in the editor, which by now holds the cell the
    // rules left the cursor on (the jump from "D.Tutarı" included).
    return false;
}

// ---------------------------------------------------------------- commands

void TForm1::yeniacClick()
{
    returnstore::emptyStaging(m_ctx.dm);
    resetGrid();
    // Clearing the header is not the user leaving its fields: no exit checks.
    m_movingFocus = true;
    setHeaderToOpening();
    setTotalsToZero();
    m_ctx.session.entry.seqNo = QStringLiteral("1");
    ALKAZA->setFocus(Qt::OtherFocusReason);
    m_movingFocus = false;
}

void TForm1::BitBtnIptalClick()
{
    returnstore::emptyStaging(m_ctx.dm);
    resetGrid();
    recomputeTotals();
    m_ctx.session.entry.seqNo = QStringLiteral("1");
}

void TForm1::BitBtnSatirSilClick()
{
    const int row = alyatgir->currentRow();
    const int col = alyatgir->currentColumn();
    if (row < 1 || !completeOpenCell())
        return;
    GridCells cells = gridCells();
    if (cells.size() == 2)
        m_ctx.session.entry.rowCounter = 1;
    deleteRow(cells, row);
    setGridCells(cells);
    placeCursor(std::min(row, int(cells.size()) - 1), std::max(col, 0));
    recomputeTotals();
}

void TForm1::BitBtnCikisClick()
{
    returnstore::emptyStaging(m_ctx.dm);
    m_ctx.session.entry.rowCounter = 1;
    m_return = {};
    m_closing = true;
    reject();
}

void TForm1::BitBtnIceAktarClick()
{
    if (!completeOpenCell())
        return;
    const QString path = m_ctx.platform.chooseFileToOpen(
        QStringLiteral("İçe Aktar"), QStringLiteral("CSV dosyaları (*.csv *.txt)"));
    if (path.isEmpty())
        return;
    const std::optional<QList<QStringList>> rows = runImportDialog(this, path, m_ctx.platform);
    if (!rows || rows->isEmpty())
        return;
    const GridCells cells = csvimport::appendToGrid(gridCells(), *rows);
    setGridCells(cells);
    m_ctx.session.entry.rowCounter = entryheader::toInteger(cells.constLast()[SNo]);
    recomputeTotals();
    // The next employee is typed below the imported ones.
    placeCursor(int(cells.size()) - 1, SarvekNo);
    m_cellEdit->setFocus(Qt::OtherFocusReason);
}
