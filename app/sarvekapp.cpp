// The general error box and the Turkish set-up of Qt.
#include "app/sarvekapp.h"

#include "base/platform.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

SarvekApplication::SarvekApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool SarvekApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        const QString text = QString::fromUtf8(e.what());
        if (m_platform)
            m_platform->showMessage(text);
        else
            QMessageBox::critical(nullptr, QStringLiteral("Sarvek Bodro"), text);
        return true;
    }
}

void SarvekApplication::useTurkish()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    auto *translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Turkish, QLocale::Turkey), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}
