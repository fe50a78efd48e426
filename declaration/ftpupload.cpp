// Uploading a declaration file with libcurl.
#include "declaration/ftpupload.h"

#include <curl/curl.h>
#include <mutex>
#include <QFile>
#include <QUrl>

namespace
{

constexpr long ConnectTimeoutSeconds = 30;
constexpr long TransferTimeoutSeconds = 60;

size_t readChunk(char *buffer, size_t size, size_t count, void *user)
{
    auto *file = static_cast<QFile *>(user);
    const qint64 n = file->read(buffer, qint64(size * count));
    return n < 0 ? CURL_READFUNC_ABORT : size_t(n);
}

// Failures before the server accepted our login are "no connection"; the rest
// happened while storing the file. Where curl's code alone does not say which,
// the server's last reply tells how far the session got: no reply, the
// greeting (220), the TLS step (234) or the password step (331, 530) mean the
// login was never completed.
bool isConnectionFailure(CURLcode rc, long responseCode)
{
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
        return true;
    default:
        break;
    }
    switch (responseCode) {
    case 0:
    case 220:
    case 234:
    case 331:
    case 530:
        return true;
    default:
        return false;
    }
}

// curl's error buffer is unreliable in active mode; its code and the server's
// last reply say what happened.
QString curlText(CURLcode rc, long responseCode)
{
    return QStringLiteral("%1 (curl %2, FTP %3)")
        .arg(QString::fromUtf8(curl_easy_strerror(rc)))
        .arg(int(rc))
        .arg(responseCode);
}

// A server may accept a store and still keep less than was sent, so the
// stored file's size is asked for on the same connection (curl sends SIZE for
// a request without body). The store itself has succeeded by then: a server
// that does not know SIZE, or refuses it with 550 as upload-only folders do,
// leaves the size unknown, and so does a size request that fails otherwise,
// with curl's account of it kept for the log.
void checkStoredSize(CURL *curl, FtpOutcome &outcome)
{
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    const CURLcode rc = curl_easy_perform(curl);
    long responseCode = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &responseCode);
    curl_off_t size = -1;
    if (rc == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    outcome.remoteSize = size < 0 ? -1 : qint64(size);
    if (rc != CURLE_OK && rc != CURLE_REMOTE_FILE_NOT_FOUND)
        outcome.detail = curlText(rc, responseCode);
    else if (outcome.remoteSize >= 0 && outcome.remoteSize != outcome.localSize)
        outcome.kind = FtpOutcome::Incomplete;
}

class CurlFtpClient : public FtpClient
{
  public:
    explicit CurlFtpClient(FtpSettings settings) : m_settings(std::move(settings))
    {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    FtpOutcome putFile(const QString &localPath, const QString &remotePath) override
    {
        QFile file(localPath);
        if (!file.open(QIODevice::ReadOnly))
            return {FtpOutcome::TransferFailed, file.errorString()};

        QUrl server;
        server.setScheme(QStringLiteral("ftp"));
        server.setHost(m_settings.host);
        server.setPort(m_settings.port);
        // A URL path is relative to the folder the login lands in; "%2F" in
        // front makes curl start from the server's root, as "/gelen/" means.
        QString path = remotePath;
        while (path.startsWith(u'/'))
            path.remove(0, 1);
        const QByteArray urlText =
            server.toEncoded() + "/%2F" + QUrl::toPercentEncoding(path, QByteArrayLiteral("/"));
        const QByteArray user = m_settings.user.toUtf8();
        const QByteArray password = m_settings.password.toUtf8();

        CURL *curl = curl_easy_init();
        if (!curl)
            return {FtpOutcome::ConnectFailed, QStringLiteral("curl_easy_init")};
        curl_easy_setopt(curl, CURLOPT_URL, urlText.constData());
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, readChunk);
        curl_easy_setopt(curl, CURLOPT_READDATA, &file);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
        curl_easy_setopt(curl, CURLOPT_FTPPORT, "-"); // active mode
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, ConnectTimeoutSeconds);
        curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, ConnectTimeoutSeconds * 1000);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, TransferTimeoutSeconds);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);

        const CURLcode rc = curl_easy_perform(curl);
        long responseCode = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &responseCode);

        FtpOutcome outcome;
        outcome.localSize = file.size();
        if (rc != CURLE_OK) {
            curl_easy_cleanup(curl);
            outcome.kind = isConnectionFailure(rc, responseCode) ? FtpOutcome::ConnectFailed
                                                                 : FtpOutcome::TransferFailed;
            outcome.detail = curlText(rc, responseCode);
            return outcome;
        }
        checkStoredSize(curl, outcome);
        curl_easy_cleanup(curl);
        return outcome;
    }

  private:
    FtpSettings m_settings;
};

QString setting(const char *env, const char *builtIn)
{
    const QString value = qEnvironmentVariable(env);
    return value.isEmpty() ? QString::fromUtf8(builtIn) : value;
}

} // namespace

FtpSettings fundFtpSettings()
{
    FtpSettings s;
    s.host = setting("SARVEK_FTP_HOST", SARVEK_FTP_HOST);
    s.port = setting("SARVEK_FTP_PORT", SARVEK_FTP_PORT).toInt();
    if (s.port <= 0)
        s.port = 21;
    s.user = setting("SARVEK_FTP_USER", SARVEK_FTP_USER);
    s.password = setting("SARVEK_FTP_PASSWORD", SARVEK_FTP_PASSWORD);
    return s;
}

std::unique_ptr<FtpClient> makeCurlFtpClient(const FtpSettings &settings)
{
    return std::make_unique<CurlFtpClient>(settings);
}
