// The main menu window: four commands, the about box, and the two hidden
// procedures that run before the entry screen opens (first-run check, schema
// upgrade).
#pragma once

#include <QWidget>

struct AppContext;
class QLabel;
class QPushButton;
class TAboutBox;

class TForm2 : public QWidget
{
    Q_OBJECT
  public:
    explicit TForm2(AppContext &ctx, QWidget *parent = nullptr);

    void BitBtn1Click();  // Bodro Hazırla
    void BitBtn2Click();  // Bodro Gönder
    void BitBtn3Click();  // Çıkış
    void BitBtn4Click();  // Muh/İsv. Kaydı
    void BitBtn5Click();  // Hakkında
    void yukleClick();    // first-run check
    void yapeksikClick(); // schema upgrade

    TAboutBox *aboutBox() const { return m_about; }

  private:
    AppContext &m_ctx;
    TAboutBox *m_about = nullptr;
};
