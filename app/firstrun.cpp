// Reading and writing the first-run marker.
#include "app/firstrun.h"

#include "app/errors.h"
#include "app/platform.h"

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
        throw IoError(
            QStringLiteral("İlk çalıştırma dosyası okunamadı: %1 (%2)").arg(path, file.errorString()));
    const QByteArray line = file.readLine();
    if (file.error() != QFile::NoError)
        throw IoError(
            QStringLiteral("İlk çalıştırma dosyası okunamadı: %1 (%2)").arg(path, file.errorString()));
    return QString::fromUtf8(line).remove(u'\r').remove(u'\n');
}

void writeMarker(Platform &platform, const QString &line)
{
    const QString path = markerPath(platform);
    QDir().mkpath(platform.windowsDirectory());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write((line + QStringLiteral("\r\n")).toUtf8()) < 0 ||
        !file.commit())
        throw IoError(
            QStringLiteral("İlk çalıştırma dosyası yazılamadı: %1 (%2)").arg(path, file.errorString()));
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
