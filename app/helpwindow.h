// The handbook on screen: a plain HTML browser over the installed pages, and
// the application-wide F1 key that opens it at the section of the screen in
// front of the user.
#pragma once

#include <QObject>
#include <QWidget>

class QTextBrowser;
struct AppContext;

class HelpWindow : public QWidget
{
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Where the pages are: beside the installed program
    // (<prefix>/share/sarvek/handbook), else the build tree's copy.
    static QString handbookFolder();

    // Shows page ("giris.html#tablo"), scrolled to its anchor.
    void open(const QString &page);
    QTextBrowser *browser() const { return m_browser; }

    // The one help window, made or brought to the front. It belongs to the
    // active window so that a modal screen does not block it.
    static HelpWindow *showPage(const QString &page);

  private:
    QTextBrowser *m_browser;
};

// Installed on the application: F1 anywhere opens the help for the focus.
class HelpKey : public QObject
{
  public:
    explicit HelpKey(AppContext &ctx, QObject *parent = nullptr) : QObject(parent), m_ctx(ctx) {}
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    AppContext &m_ctx;
};
