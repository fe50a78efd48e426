// The real platform: Qt message boxes, the desktop, the machine's volumes and
// the libcurl FTP client.
#pragma once

#include "base/platform.h"

class QtPlatform : public Platform
{
public:
    void showMessage(const QString &text) override;
    void showWarning(const QString &text) override;
    Answer confirm(const QString &text) override;
    void showDetailedWarning(const QString &text, const QString &detail) override;
    bool askYesNo(const QString &text) override;
    QDateTime now() override { return QDateTime::currentDateTime(); }
    // The Windows directory on Windows; elsewhere $SARVEK_WINDIR, or the
    // user's configuration folder plus "sarvek".
    QString windowsDirectory() override;
    bool openDocument(const QString &path) override;
    // The first desktop calculator found.
    bool startCalculator() override;
    void showHelp(const QString &page) override;
    QString chooseFileToOpen(const QString &caption, const QString &filter) override;
    QList<Volume> volumes() override;
    std::unique_ptr<FtpClient> makeFtpClient() override;
};
