// The one-employer list: the stored returns of one employer and one period,
// opened by the entry screen's "Bul".
#pragma once

#include "lists/returnlistdialog.h"

class Tfrmbordlist : public ReturnListDialog
{
    Q_OBJECT
  public:
    explicit Tfrmbordlist(AppContext &ctx, QWidget *parent = nullptr);

    // Lists the returns of ALISVERNO for the period ALDEVREILK..ALDEVRESON.
    void listeleClick() override;

  protected:
    bool closesQueryOnCancel() const override { return false; }
};
