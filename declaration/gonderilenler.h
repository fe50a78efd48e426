// Tgonderilenler, "Gönderilenler": the read-only list of prepared declaration
// files, newest first, with a year search like the return lists'.
#pragma once

#include <QDialog>

struct AppContext;
class QLineEdit;
class QPushButton;
class QTableWidget;

class Tgonderilenler : public QDialog
{
    Q_OBJECT
  public:
    // Opens on the current year's sends.
    Tgonderilenler(AppContext &ctx, QWidget *parent = nullptr);

    // Lists the sends of the year typed; an empty year lists all.
    void btnAraClick();

    QLineEdit *txtArama;
    QPushButton *btnAra;
    QTableWidget *gonderimgrid;

  private:
    AppContext &m_ctx;
};
