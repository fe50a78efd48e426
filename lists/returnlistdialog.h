// What the two return pick lists share: the grid over Query1 coloured by record
// number, the hidden AL… input and VER… hand-back labels, the hidden listele
// button, the hint strip, and the pick (double-click or Enter) and the cancel
// (ESC or any close without a pick).
#pragma once

#include "lists/returnlistmodel.h"

#include <QDialog>

struct AppContext;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

class ReturnListDialog : public QDialog
{
    Q_OBJECT
  public:
    // Inputs, set by the caller before listeleClick().
    QLabel *ALISVERNO = nullptr;
    QLabel *ALDEVREILK = nullptr;
    QLabel *ALDEVRESON = nullptr;
    // The picked return; VERISVERNO is empty when nothing was picked.
    QLabel *VERISVERNO = nullptr;
    QLabel *VERDEVREILK = nullptr;
    QLabel *VERDEVRESON = nullptr;
    QLabel *VERBODROTUR = nullptr;
    QLabel *VERBDRDEVMIK = nullptr;

    QTableView *dbliste = nullptr;
    QPushButton *listele = nullptr;

    // Fills the grid. An engine error propagates to the caller.
    virtual void listeleClick() = 0;

    // The pick: the current row's return key into the VER… labels, Query1
    // closed, the list closed as accepted. On an empty list every label is
    // emptied, which callers read as no pick.
    void dblisteDblClick();

    ReturnListModel *model() const { return m_model; }

  protected:
    ReturnListDialog(AppContext &ctx, QWidget *parent, QList<ReturnListColumn> columns);

    // Adds a strip between the grid and the hint strip.
    void addStrip(QWidget *strip);
    // Shows the current result of Query1 in the grid, the first row current.
    void showQuery1();
    // Whether a cancel closes Query1 as well.
    virtual bool closesQueryOnCancel() const = 0;

    // Every close without a pick comes here (ESC, the close button, a caller's
    // reject()): nothing picked, today's date in both date labels.
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    AppContext &m_ctx;

  private:
    QLabel *makeHiddenLabel(const char *name);

    ReturnListModel *m_model = nullptr;
    QVBoxLayout *m_layout = nullptr;
};
