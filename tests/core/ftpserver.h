// A real FTP server on 127.0.0.1 for the upload tests: the fixture script run
// with the system Python (which has pyftpdlib), stopped when this goes away.
#pragma once

#include "declaration/ftpupload.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

class LocalFtpServer
{
  public:
    static constexpr const char *User = "sarvek";
    static constexpr const char *Password = "Gizli123";

    enum class Mode {
        Normal,
        ReadOnlyGelen, // the login succeeds, every store is refused
        Truncating,    // every stored file is cut to half its size
        WithoutSize,   // the server does not know SIZE
        SizeRefused,   // the server answers SIZE with 550
    };

    explicit LocalFtpServer(Mode mode = Mode::Normal)
    {
        QStringList args{fixtureFolder().filePath(QStringLiteral("ftpserver.py")),
                         QStringLiteral("--root"),
                         m_root.path(),
                         QStringLiteral("--user"),
                         QLatin1String(User),
                         QStringLiteral("--password"),
                         QLatin1String(Password)};
        switch (mode) {
        case Mode::Normal:
            break;
        case Mode::ReadOnlyGelen:
            args << QStringLiteral("--readonly-gelen");
            break;
        case Mode::Truncating:
            args << QStringLiteral("--truncate");
            break;
        case Mode::WithoutSize:
            args << QStringLiteral("--no-size");
            break;
        case Mode::SizeRefused:
            args << QStringLiteral("--size-550");
            break;
        }
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral("/usr/bin/python3"), args);
        while (m_process.waitForReadyRead(10000) && !m_process.canReadLine()) {
        }
        m_port = m_process.readLine().trimmed().toInt();
    }
    ~LocalFtpServer() { stop(); }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }
    QString gelenPath(const QString &name) const { return m_root.filePath("gelen/" + name); }

    FtpSettings settings(const QString &password = QLatin1String(Password)) const
    {
        return {QStringLiteral("127.0.0.1"), m_port, QLatin1String(User), password};
    }

  private:
    // SARVEK_FIXTURES when the test runner sets it, else the folder the build
    // was configured with (__FILE__ may be relative under a compiler cache).
    static QDir fixtureFolder()
    {
        const QString set = qEnvironmentVariable("SARVEK_FIXTURES");
        return QDir(set.isEmpty() ? QStringLiteral(SARVEK_FIXTURES_DIR) : set);
    }

    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
};
