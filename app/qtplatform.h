// The real platform: Qt message boxes, the desktop, the machine's volumes and
// whichever FTP client start-up hands it.
#pragma once

#include "base/platform.h"

#include <functional>

class QtPlatform : public Platform
{
  public:
    // makeFtp is called once for each upload.
    explicit QtPlatform(std::function<std::unique_ptr<FtpClient>()> makeFtp)
        : m_makeFtp(std::move(makeFtp))
    {
    }

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
    std::unique_ptr<FtpClient> makeFtpClient() override { return m_makeFtp(); }

  private:
    std::function<std::unique_ptr<FtpClient>()> m_makeFtp;
};
