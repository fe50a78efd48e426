// The last-resort error box and the Turkish set-up of Qt.
#include "app/sarvekapp.h"

#include "app/context.h"
#include "base/platform.h"

#include <cstdio>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

SarvekApplication::SarvekApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool SarvekApplication::notify(QObject *receiver, QEvent *event)
{
    // Commands report their failures through guarded(); reaching here means
    // an event handler let one escape, which is a fault of the program. It is
    // logged and still shown, so that the user is not left without a word.
    QString text;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = UnknownFailureText;
    }
    std::fprintf(stderr, "sarvek: failure escaped an event handler: %s\n",
                 text.toLocal8Bit().constData());
    if (m_platform)
        m_platform->showMessage(text);
    else
        QMessageBox::critical(nullptr, QStringLiteral("Sarvek Bodro"), text);
    return true;
}

void SarvekApplication::useTurkish()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    auto *translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Turkish, QLocale::Turkey), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}
