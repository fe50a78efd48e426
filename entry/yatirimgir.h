// TForm1, the entry screen "Aylık Yatırım Girişi": one monthly return is typed
// here (employer header, employee grid, computed totals), started over,
// saved, found again and printed. The screen does widget work only; its rules
// live in headerrules, gridrules and arithmetic beside it, its statements in
// returnstore and lookups. The grid and the clearing commands are in
// yatirimgir_grid.cpp; the save, update, find and print commands in
// yatirimgir_store.cpp and yatirimgir_print.cpp.
#pragma once

#include "entry/gridrules.h"
#include "entry/headerrules.h"
#include "entry/returnstore.h"

#include <QDialog>
#include <QList>
#include <QStringList>

struct AppContext;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TMoneyEdit;
enum class PrintScope;

class TForm1 : public QDialog
{
    Q_OBJECT
  public:
    explicit TForm1(AppContext &ctx, QWidget *parent = nullptr);

    // Opening steps; run once by the constructor.
    void FormCreate();
    // Leaving the registry fields: digit checks, left zeros, district range,
    // zero check, and for the sequence number the employer look-up.
    void ALKAZAExit();
    void ALFIHRISTExit();
    void ALSIRANOExit();
    // Leaving the start picker: the end picker moves to that month's end.
    void DEVREILKExit();
    // Month-end rule on ctx.session.entry.monthEndWork.
    void btnayilksonyapClick();
    void yeniacClick();         // clear the whole screen
    void BitBtnIptalClick();    // drop the rows, keep the header
    void BitBtnSatirSilClick(); // delete the row under the cursor
    void BitBtnCikisClick();    // empty the staging table and close
    // Rows of a spreadsheet, after their dry run, appended to the grid and
    // computed as if typed; the header is left to the user.
    void BitBtnIceAktarClick();

    // Key rules of the grid for a key pressed at the cursor, before it acts;
    // `rightLeaves` is the Right arrow leaving its cell. Returns whether the
    // key goes on to act. Throws ConversionError as the rules do.
    bool alyatgirKeyDown(int key, bool rightLeaves);
    // The cursor is about to leave (row, col): leaving the gross pay or a
    // rate cell computes the row's amounts, and the totals are rebuilt.
    // Throws ConversionError on a text that is not a number; the cell then
    // stays.
    void alyatgirSelectCell(int row, int col);

    // Filled by the save/update/find/list commands (yatirimgir_store.cpp).
    void kayitbtnClick();
    // The question asked when the return on screen is stored already.
    void offerUpdateOrSecondRecord();
    void guncelleClick();
    void devkayitClick();
    void bitlistClick();
    void BitBtnBulClick();
    // F10 in the header: pick a stored return from the all-returns list.
    void F10Pick();
    // Filled by the print commands (yatirimgir_print.cpp).
    void BitBtnYazdirClick();
    void BitTumSubeYazdirClick();

    // ALKAZA + ALFIHRIST + ALSIRANO texts joined (12 characters once left).
    QString registryNumber() const;
    // The pickers as "dd.mm.yyyy".
    QString periodStartText() const;
    QString periodEndText() const;
    // Data rows 1 .. rowCount() - 1, each as its 14 cell texts.
    QList<QStringList> gridRows() const;
    // Every cell of the grid, title row 0 included.
    entrygrid::GridCells gridCells() const;
    // Grid reset of "Yeni Aç" and "İptal": no loaded return, titles, one
    // template row "1", row counter 1. The cursor goes to row 1, column 1.
    void resetGrid();
    // The four totals rebuilt from the grid's columns.
    void recomputeTotals();
    // Puts `cells` (title row included) into the grid, adding or removing
    // rows at the end; neither the cursor moves nor a cell rule runs. Rows
    // added in any other way get an item for every cell too.
    void setGridCells(const entrygrid::GridCells &cells);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    // Header: the employer registry number in three parts, the employer, the
    // period, the return type and the send switch.
    QLineEdit *ALKAZA = nullptr;
    QLineEdit *ALFIHRIST = nullptr;
    QLineEdit *ALSIRANO = nullptr;
    QDateEdit *DEVREILK = nullptr;
    QDateEdit *DEVRESON = nullptr;
    QPlainTextEdit *ALADRES = nullptr;
    QLineEdit *ALTELNO = nullptr;
    QPlainTextEdit *alisvadi = nullptr;
    QRadioButton *ALBODTUR1 = nullptr; // ASIL
    QRadioButton *ALBODTUR2 = nullptr; // EK
    QCheckBox *yatgonder = nullptr;

    // The employee grid: row 0 holds the titles (hidden behind the header
    // view), rows 1 .. rowCount() - 1 the employees; every cell has an item.
    QTableWidget *alyatgir = nullptr;

    // Totals, disabled; yazmiktar is the hidden number <-> amount text converter.
    TMoneyEdit *topbrut = nullptr;
    TMoneyEdit *topprim = nullptr;
    TMoneyEdit *topdepo = nullptr;
    TMoneyEdit *TOPPD = nullptr;
    TMoneyEdit *yazmiktar = nullptr;

    QPushButton *BitBtnBul = nullptr;
    QPushButton *bitlist = nullptr;        // hidden: reload of a picked return
    QPushButton *btnayilksonyap = nullptr; // hidden: month-end rule
    QPushButton *devkayit = nullptr;       // hidden: second record of a period
    QPushButton *BitTumSubeYazdir = nullptr;
    QPushButton *kayitbtn = nullptr;
    QPushButton *BitBtnIptal = nullptr;
    QPushButton *BitBtnSatirSil = nullptr;
    QPushButton *guncelle = nullptr;
    QPushButton *yeniac = nullptr;
    QPushButton *BitBtnYazdir = nullptr;
    QPushButton *BitBtnCikis = nullptr;
    QPushButton *BitBtnIceAktar = nullptr; // employees from a spreadsheet

    void buildLayout();
    void wireHandlers();
    void installKeyHandling();
    void ALKAZAKeyDown(int key);
    void setHeaderToOpening();
    void setTotalsToZero();
    void focusBack(QWidget *field);
    void lookUpEmployer();
    entryheader::PartExit leavePart(QLineEdit *field, entryheader::RegistryPart part);
    // The save header as the screen shows it at the moment of the click.
    returnstore::ReturnHeader saveHeader(const QString &seqNo) const;
    // Clears the screen, puts the picked return's key on it and reloads it.
    void showPick(const returnstore::ReturnPick &pick);
    // Selects the records, puts the title totals into the total fields and
    // opens the printout's preview; a message instead when nothing is stored.
    void printRecords(PrintScope scope);

    // Grid plumbing: one line editor rides on the current cell and holds the
    // keyboard focus for the grid. Every edit goes straight into the cell, so
    // the cell texts are always what the user sees; the editor only loads the
    // text of the cell the cursor enters. Rows come and go without touching it.
    void loadCellEditor();
    void placeCellEditor();
    bool gridEditorKey(QKeyEvent *event);
    bool gridMousePress(QMouseEvent *event);
    // The cursor leaves its cell for (row, col): the leave rule runs first,
    // and a refused cell keeps the cursor. Returns whether it moved.
    bool moveCursorTo(int row, int col);
    // Programmatic move: no leave rule; the focus stays with the editor.
    void placeCursor(int row, int col);
    // A command finishes the cell being edited as leaving it would; false
    // when its leave rule refused the text (the cursor then stays).
    bool completeOpenCell();
    // Every row that will be stored passes the store checks; the first
    // problem is shown and the cursor put on its cell.
    bool rowsReadyToStore();
    void enterGridFromHeader();

    AppContext &m_ctx;
    QList<QWidget *> m_exitFields;
    bool m_movingFocus = false; // the program moves the focus: no exit checks
    bool m_closing = false;
    QLineEdit *m_cellEdit = nullptr;
    // The return on screen, when a reload brought it.
    returnstore::ReturnSession m_return;
};
