// The libcurl upload against a real FTP server on 127.0.0.1: what arrives,
// which failure each fault is reported as, and what the size check after the
// store makes of servers that keep less or will not say.
#include "core/ftpserver.h"
#include "declaration/ftpupload.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace
{

// Bytes as the declaration file has them: cp1254 letters and CR LF.
const QByteArray Payload = "4711Girne\r\n010001000001\xDE\xFE\xDD\xFD\r\n";

QString localFile(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(Payload);
    return path;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FtpUpload, StoresAnIdenticalCopyUnderGelen)
{
    LocalFtpServer server;
    ASSERT_TRUE(server.isRunning());
    QTemporaryDir dir;
    const QString name = QStringLiteral("4711_05122025_143009.txt");
    const FtpOutcome out = makeCurlFtpClient(server.settings())
                               ->putFile(localFile(dir, name), QStringLiteral("/gelen/") + name);
    EXPECT_EQ(out.kind, FtpOutcome::Ok) << out.detail.toStdString();
    EXPECT_EQ(contents(server.gelenPath(name)), Payload);
    EXPECT_EQ(out.localSize, Payload.size());
    EXPECT_EQ(out.remoteSize, Payload.size());
}

TEST(FtpUpload, StoredSizeIsChecked)
{
    QTemporaryDir dir;
    const QString file = localFile(dir, QStringLiteral("_0.txt"));
    const QString remote = QStringLiteral("/gelen/_0.txt");

    LocalFtpServer truncating(LocalFtpServer::Mode::Truncating);
    ASSERT_TRUE(truncating.isRunning());
    const FtpOutcome cut = makeCurlFtpClient(truncating.settings())->putFile(file, remote);
    EXPECT_EQ(cut.kind, FtpOutcome::Incomplete) << cut.detail.toStdString();
    EXPECT_EQ(cut.localSize, Payload.size());
    EXPECT_EQ(cut.remoteSize, Payload.size() / 2);
    EXPECT_EQ(contents(truncating.gelenPath(QStringLiteral("_0.txt"))).size(), Payload.size() / 2);

    // Neither a server without SIZE nor one that refuses it (550, as
    // upload-only folders answer) says anything against a store it accepted.
    for (const LocalFtpServer::Mode mode :
         {LocalFtpServer::Mode::WithoutSize, LocalFtpServer::Mode::SizeRefused}) {
        LocalFtpServer silent(mode);
        ASSERT_TRUE(silent.isRunning());
        const FtpOutcome unknown = makeCurlFtpClient(silent.settings())->putFile(file, remote);
        EXPECT_EQ(unknown.kind, FtpOutcome::Ok) << unknown.detail.toStdString();
        EXPECT_EQ(unknown.remoteSize, -1);
        EXPECT_EQ(unknown.detail, QString());
        EXPECT_EQ(contents(silent.gelenPath(QStringLiteral("_0.txt"))), Payload);
    }
}

TEST(FtpUpload, FailuresAreToldApart)
{
    QTemporaryDir dir;
    const QString file = localFile(dir, QStringLiteral("_0.txt"));
    const QString remote = QStringLiteral("/gelen/_0.txt");

    LocalFtpServer server;
    ASSERT_TRUE(server.isRunning());
    const FtpOutcome wrongPassword =
        makeCurlFtpClient(server.settings(QStringLiteral("yanlis")))->putFile(file, remote);
    EXPECT_EQ(wrongPassword.kind, FtpOutcome::ConnectFailed) << wrongPassword.detail.toStdString();
    EXPECT_TRUE(wrongPassword.detail.contains(QStringLiteral("FTP 530")))
        << wrongPassword.detail.toStdString();

    const FtpOutcome noLocalFile = makeCurlFtpClient(server.settings())
                                       ->putFile(dir.filePath(QStringLiteral("yok.txt")), remote);
    EXPECT_EQ(noLocalFile.kind, FtpOutcome::TransferFailed);

    LocalFtpServer readOnly(LocalFtpServer::Mode::ReadOnlyGelen);
    ASSERT_TRUE(readOnly.isRunning());
    const FtpOutcome refused = makeCurlFtpClient(readOnly.settings())->putFile(file, remote);
    EXPECT_EQ(refused.kind, FtpOutcome::TransferFailed) << refused.detail.toStdString();
    EXPECT_TRUE(refused.detail.contains(QStringLiteral("FTP 550"))) << refused.detail.toStdString();
    EXPECT_FALSE(QFile::exists(readOnly.gelenPath(QStringLiteral("_0.txt"))));

    const FtpSettings gone = server.settings();
    server.stop();
    const FtpOutcome nobody = makeCurlFtpClient(gone)->putFile(file, remote);
    EXPECT_EQ(nobody.kind, FtpOutcome::ConnectFailed) << nobody.detail.toStdString();
}

TEST(FtpUpload, EnvironmentOverridesBuildSettings)
{
    const char *names[] = {"SARVEK_FTP_HOST", "SARVEK_FTP_PORT", "SARVEK_FTP_USER",
                           "SARVEK_FTP_PASSWORD"};
    QList<QByteArray> saved;
    for (const char *n : names) {
        saved << qgetenv(n);
        qunsetenv(n);
    }
    const FtpSettings builtIn = fundFtpSettings();
    qputenv("SARVEK_FTP_HOST", "127.0.0.1");
    qputenv("SARVEK_FTP_PORT", "2121");
    qputenv("SARVEK_FTP_USER", "kasa");
    qputenv("SARVEK_FTP_PASSWORD", "Parola99");
    const FtpSettings overridden = fundFtpSettings();
    qputenv("SARVEK_FTP_PORT", "yirmibir");
    const int badPort = fundFtpSettings().port;
    for (int i = 0; i < 4; ++i) {
        if (saved[i].isNull())
            qunsetenv(names[i]);
        else
            qputenv(names[i], saved[i]);
    }

    EXPECT_FALSE(builtIn.host.isEmpty());
    EXPECT_EQ(overridden.host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(overridden.port, 2121);
    EXPECT_EQ(overridden.user, QStringLiteral("kasa"));
    EXPECT_EQ(overridden.password, QStringLiteral("Parola99"));
    EXPECT_EQ(badPort, 21);
}

} // namespace
