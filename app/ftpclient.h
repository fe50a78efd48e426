// What the upload needs of an FTP client: log in and store one file, saying
// which of the two went wrong.
#pragma once

#include <QString>

struct FtpSettings {
    QString host;
    int port = 21;
    QString user;
    QString password;
};

struct FtpOutcome {
    enum Kind { Ok, ConnectFailed, TransferFailed };
    Kind kind = Ok;
    QString detail; // for the developer; the user sees fixed texts
};

class FtpClient
{
public:
    virtual ~FtpClient() = default;
    // Logs in with the settings the client was made with and stores localPath
    // under remotePath. Blocks until done or timed out.
    virtual FtpOutcome putFile(const QString &localPath, const QString &remotePath) = 0;
};
