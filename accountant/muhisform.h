// The accountant or employer record screen: the sender of declaration files is
// typed, looked up by title and saved here; saving also ends the first-run
// reminder.
#pragma once

#include "accountant/accountantrecord.h"

#include <QDialog>

struct AppContext;
class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class Tfrmmuhis : public QDialog
{
    Q_OBJECT
  public:
    explicit Tfrmmuhis(AppContext &ctx, QWidget *parent = nullptr);

    QLineEdit *alunvan = nullptr;
    QLineEdit *alisim = nullptr;
    QLineEdit *almsno = nullptr;
    QPlainTextEdit *aladres = nullptr;
    QLineEdit *altelno = nullptr;
    QLineEdit *alfaxno = nullptr;
    QLineEdit *almobilno = nullptr;
    QPushButton *BitBtn1 = nullptr; // Kayıt
    QPushButton *BitBtn2 = nullptr; // Çıkış
    QCheckBox *alsetmuhisv = nullptr;

    // Fills the fields from the newest record; the check box stays unticked.
    void FormCreate();
    // Leaving the title: the first record whose title contains the typed text
    // fills every field, the title included. Nothing changes without a match.
    void alunvanExit();
    // Save: insert a new title, or update every record of an existing title
    // after a Yes. In every case the fields are emptied and the first-run
    // marker "1" is written. A database error stops it before any of that.
    void BitBtn1Click();
    void BitBtn2Click();
    // Key presses of the seven text fields: Enter moves to the next control
    // and never reaches the field. True when the key was consumed.
    bool alunvanKeyPress(QObject *field, const QKeyEvent &key);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void showRecord(const AccountantRecord &record);
    void emptyFields();

    AppContext &m_ctx;
};
