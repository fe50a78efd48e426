// The help window and the F1 key.
#include "app/helpwindow.h"

#include "app/context.h"
#include "app/help.h"
#include "store/dm.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("yardim"));
    setWindowTitle(QStringLiteral("Sarvek Bodro Yardım"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("yardimmetni"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({handbookFolder()});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(900, 680);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableGeometry().size() * 0.9));
}

QString HelpWindow::handbookFolder()
{
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/../share/sarvek/handbook"));
    if (QFileInfo::exists(installed + QStringLiteral("/index.html")))
        return installed;
    return QStringLiteral(SARVEK_BUILD_HANDBOOK);
}

void HelpWindow::open(const QString &page)
{
    const QString file = page.section(u'#', 0, 0);
    QUrl url = QUrl::fromLocalFile(QDir(handbookFolder()).filePath(file));
    url.setFragment(page.section(u'#', 1), QUrl::DecodedMode);
    m_browser->setSource(url);
}

HelpWindow *HelpWindow::showPage(const QString &page)
{
    static QPointer<HelpWindow> window;
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    if (window && owner == window)
        owner = window->parentWidget();
    if (window && window->parentWidget() != owner) {
        window->close();
        window = nullptr;
    }
    if (!window)
        window = new HelpWindow(owner);
    window->open(page);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

bool HelpKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;
    QStringList names;
    for (QObject *o = watched; o; o = o->parent())
        names << o->objectName() << QLatin1String(o->metaObject()->className());
    const QString page = help::pageFor(names);
    guarded(m_ctx.platform, [&] { help::open(m_ctx.platform, m_ctx.dm.dataDir(), page); });
    return true;
}
