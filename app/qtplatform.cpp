// Platform services on Qt.
#include "app/qtplatform.h"

#include "app/helpwindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace
{

const QString Title = QStringLiteral("Sarvek Bodro");

QMessageBox::StandardButton runBox(QMessageBox::Icon icon, const QString &text,
                                   QMessageBox::StandardButtons buttons,
                                   const QString &detail = QString())
{
    QMessageBox box(icon, Title, text, buttons, QApplication::activeWindow());
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    if (buttons == (QMessageBox::Yes | QMessageBox::No)) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    // A box that comes up in the middle of long work is answered with the
    // ordinary pointer, not the busy one.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = QMessageBox::StandardButton(box.exec());
    if (busy)
        QGuiApplication::restoreOverrideCursor();
    return answer;
}

} // namespace

void QtPlatform::showMessage(const QString &text)
{
    runBox(QMessageBox::NoIcon, text, QMessageBox::Ok);
}

void QtPlatform::showWarning(const QString &text)
{
    runBox(QMessageBox::Warning, text, QMessageBox::Ok);
}

Answer QtPlatform::confirm(const QString &text)
{
    switch (runBox(QMessageBox::Question, text,
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void QtPlatform::showDetailedWarning(const QString &text, const QString &detail)
{
    runBox(QMessageBox::Warning, text, QMessageBox::Ok, detail);
}

bool QtPlatform::askYesNo(const QString &text)
{
    return runBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString QtPlatform::windowsDirectory()
{
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return QDir::fromNativeSeparators(QString::fromWCharArray(buffer, int(n)));
#else
    const QString env = qEnvironmentVariable("SARVEK_WINDIR");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/sarvek");
#endif
}

bool QtPlatform::openDocument(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool QtPlatform::startCalculator()
{
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("calc.exe"), {});
#else
    for (const char *name : {"gnome-calculator", "kcalc", "galculator", "xcalc"}) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(name));
        if (!program.isEmpty())
            return QProcess::startDetached(program, {});
    }
    return false;
#endif
}

QList<Volume> QtPlatform::volumes()
{
    QList<Volume> list;
    for (const QStorageInfo &s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady())
            continue;
        QString root = s.rootPath();
        if (!root.endsWith(u'/'))
            root += u'/';
        list.append({s.displayName(), root});
    }
    return list;
}

QString QtPlatform::chooseFileToOpen(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(), filter);
}

void QtPlatform::showHelp(const QString &page)
{
    HelpWindow::showPage(page);
}
