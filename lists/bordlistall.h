// The all-returns list: the stored returns of every employer for a year that
// the user may change, opened by F10 on the entry and declaration screens.
#pragma once

#include "lists/returnlistdialog.h"

class QLineEdit;

class Tfrmbordlistall : public ReturnListDialog
{
    Q_OBJECT
  public:
    explicit Tfrmbordlistall(AppContext &ctx, QWidget *parent = nullptr);

    QLineEdit *txtArama = nullptr;
    QPushButton *btnAra = nullptr;

    // Puts the current year into txtArama, then searches. An engine error
    // propagates to the caller.
    void listeleClick() override;
    // Lists the returns whose first day ends with txtArama's text, as typed.
    void btnAraClick();

  protected:
    bool closesQueryOnCancel() const override { return true; }
    bool eventFilter(QObject *watched, QEvent *event) override;
};
