// What the upload needs of an FTP client: log in, store one file and ask the
// server what arrived, saying which step went wrong.
#pragma once

#include <QString>

struct FtpSettings {
    QString host;
    int port = 21;
    QString user;
    QString password;
};

struct FtpOutcome {
    // Incomplete: the store was accepted but the server holds a different
    // number of bytes afterwards.
    enum Kind { Ok, ConnectFailed, TransferFailed, Incomplete };
    Kind kind = Ok;
    QString detail;         // for the developer; the user sees fixed texts
    qint64 localSize = -1;  // bytes sent
    qint64 remoteSize = -1; // bytes the server reports; -1 when it would not say
};

class FtpClient
{
  public:
    virtual ~FtpClient() = default;
    // Logs in with the settings the client was made with, stores localPath
    // under remotePath and asks the server for the stored file's size. Blocks
    // until done or timed out; may run on any thread.
    virtual FtpOutcome putFile(const QString &localPath, const QString &remotePath) = 0;
};
