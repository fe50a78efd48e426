// Tyapdosya, "Bodro ve Yatırım Dosyası Hazırlama": the declaration screen. It
// sums up the stored returns of a period ("Hesapla"), writes the declaration
// file ("Hazırla") and uploads it. The statements, the grouping and the file
// itself are plain functions beside it; this class does the widget work.
#pragma once

#include "declaration/selection.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TMoneyEdit;
struct AppContext;

class Tyapdosya : public QDialog
{
    Q_OBJECT
  public:
    explicit Tyapdosya(AppContext &ctx, QWidget *parent = nullptr);

    void FormCreate();
    void ALDEVREILKExit();
    void btnayilksonyapClick();
    void hesaplaClick();
    // F10 on any of the screen's controls: the pick from the all-returns list.
    void toppriddepoyazKeyDown(int key);
    void BitBtn3Click();
    void BitBtn2Click();
    void ftpyollaClick();
    // The list of prepared files.
    void btngonderilenlerClick();

    QLabel *Label8;
    QDateEdit *ALDEVREILK;
    QLabel *Label9;
    QDateEdit *ALDEVRESON;
    QCheckBox *chkgeri;
    QPushButton *hesapla;
    QLabel *Label11;
    QRadioButton *RdbAsil;
    QRadioButton *RdbEk;
    QRadioButton *RdbTumu;
    QTableWidget *hesapgrid;
    QLabel *Label10;
    TMoneyEdit *toppriddepoyaz;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *btngonderilenler;
    QLabel *Label13;

    // Never shown.
    QLineEdit *ALKAZA;
    QLineEdit *ALFIHRIST;
    QLineEdit *ALSIRANO;
    TMoneyEdit *yazmiktar;
    QPushButton *btnayilksonyap;
    QPushButton *ftpyolla;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void buildControls();
    void resetGrid();
    PeriodChoice choice() const;
    QString pickedEmployer() const;
    // The folder the hand-delivered file goes into, from the chooser.
    QString chosenVolumeRoot();

    AppContext &m_ctx;
    // The log row of the file that ftpyollaClick sends; 0 when none.
    qint64 m_sendLogId = 0;
};
