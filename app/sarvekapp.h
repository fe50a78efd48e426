// The application object. Every command shows its own failures through
// guarded(); notify() is only the net under that: an exception that still
// escapes an event handler is logged to stderr, shown with its text in a plain
// message box, and the program goes on.
#pragma once

#include <QApplication>

class Platform;

class SarvekApplication : public QApplication
{
  public:
    SarvekApplication(int &argc, char **argv);
    void setPlatform(Platform *platform) { m_platform = platform; }
    bool notify(QObject *receiver, QEvent *event) override;

    // Turkish texts for Qt's own buttons and dialogs, and the Turkish locale
    // for its widgets. Number and date texts keep their fixed forms.
    void useTurkish();

  private:
    Platform *m_platform = nullptr;
};
