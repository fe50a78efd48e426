// Reading and writing the first-run marker.
#include "app/firstrun.h"

#include "base/errors.h"
#include "base/platform.h"
#include "store/dm.h"
#include "store/failure.h"

#include <cerrno>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString markerPath(Platform &platform)
{
    return platform.windowsDirectory() + QStringLiteral("/svkont.ini");
}

QString readMarker(Platform &platform)
{
    const QString path = markerPath(platform);
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    if (info.isDir())
        throw IoError(QStringLiteral("İlk çalıştırma dosyası okunamadı: %1 bir klasör.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw IoError(QStringLiteral("İlk çalıştırma dosyası okunamadı: %1 (%2)")
                          .arg(path, file.errorString()));
    const QByteArray line = file.readLine();
    if (file.error() != QFile::NoError)
        throw IoError(QStringLiteral("İlk çalıştırma dosyası okunamadı: %1 (%2)")
                          .arg(path, file.errorString()));
    return QString::fromUtf8(line).remove(u'\r').remove(u'\n');
}

void writeMarker(Platform &platform, const QString &line)
{
    const QString path = markerPath(platform);
    QDir().mkpath(platform.windowsDirectory());
    QSaveFile file(path);
    const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        throw IoError(failure::fileWriteText(QStringLiteral("İlk çalıştırma dosyası"), path, errno,
                                             file.errorString()));
}

void writeMarkerIfMissing(Platform &platform)
{
    if (QFileInfo::exists(markerPath(platform)))
        return;
    try {
        writeMarker(platform, QStringLiteral("2"));
    } catch (const IoError &) {
        // Without a marker the program still works; only the reminder is lost.
    }
}

void remindAfterNewDatabase(Tdm &dm, Platform &platform)
{
    dm.setOnCreated([&platform] { writeMarkerIfMissing(platform); });
}
