// Tkayityeri, "Dosya Kayıt Yeri": the save-drive chooser of the hand-delivery
// route. It lists the mounted volumes and hands back the one on view, however
// the dialog was closed.
#pragma once

#include "base/platform.h"

#include <optional>
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
struct AppContext;

class Tkayityeri : public QDialog
{
    Q_OBJECT
  public:
    explicit Tkayityeri(AppContext &ctx, QWidget *parent = nullptr);

    // The volume shown in the list; none when the machine offers none.
    std::optional<Volume> shownVolume() const;

    void BitBtn1Click();

  protected:
    // The list is read again each time, so that a stick put in after start-up
    // is offered.
    void showEvent(QShowEvent *event) override;

  private:
    void fillVolumes();

    AppContext &m_ctx;
    QList<Volume> m_volumes;
    QLabel *Label1;
    QComboBox *kayityeri;
    QPushButton *BitBtn1;
};
