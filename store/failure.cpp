// Turkish texts for the storage failures a user can meet.
#include "store/failure.h"

#include <cerrno>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <sqlite3.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace failure
{

namespace
{

bool folderWritable(const QString &folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

// What the engine named after "no such table:" and the like, without the
// schema prefix.
QString namedIn(const QString &engine, const QRegularExpression &pattern)
{
    const QRegularExpressionMatch m = pattern.match(engine);
    if (!m.hasMatch())
        return QString();
    QString name = m.captured(1);
    if (name.startsWith(QLatin1String("main.")))
        name = name.mid(5);
    return name;
}

bool diskFull(const QString &folder)
{
    struct statvfs st {
    };
    return ::statvfs(QFile::encodeName(folder).constData(), &st) == 0 && st.f_bavail == 0;
}

} // namespace

QString withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + QStringLiteral("\r\n") + detail;
}

QString readOnlyFileText(const QString &path, const QString &detail)
{
    return withDetail(
        QStringLiteral("Veritabanı dosyası salt okunur; değişiklik kaydedilemez: %1").arg(path),
        detail);
}

QString readOnlyFolderText(const QString &folder, const QString &detail)
{
    return withDetail(QStringLiteral("Veritabanının bulunduğu klasör salt okunur; değişiklik "
                                     "kaydedilemez: %1")
                          .arg(folder),
                      detail);
}

QString databaseText(int rc, const QString &engine, const QString &path)
{
    static const QRegularExpression missingTable(QStringLiteral("no such table: (\\S+)"));
    static const QRegularExpression missingColumn(
        QStringLiteral("(?:no such column: |has no column named )(\\S+)"));
    const QString folder = QFileInfo(path).absolutePath();
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return withDetail(QStringLiteral("Veritabanı başka bir program tarafından kullanılıyor "
                                         "(%1). Lütfen o programı kapatıp tekrar deneyiniz.")
                              .arg(path),
                          engine);
    case SQLITE_READONLY:
        if (!folderWritable(folder))
            return readOnlyFolderText(folder, engine);
        return readOnlyFileText(path, engine);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return withDetail(
            QStringLiteral("%1 bir veritabanı dosyası değil ya da bozuk. Dosyaya dokunulmadı.")
                .arg(path),
            engine);
    case SQLITE_CANTOPEN:
        // The file opened once; what cannot be made now is its journal.
        if (QFileInfo::exists(path) && !folderWritable(folder))
            return readOnlyFolderText(folder, engine);
        return withDetail(QStringLiteral("Veritabanı dosyası açılamadı: %1").arg(path), engine);
    case SQLITE_IOERR:
        return withDetail(QStringLiteral("Veritabanı dosyası okunamadı ya da yazılamadı; disk "
                                         "veya bellek çıkarılmış ya da arızalı olabilir: %1")
                              .arg(path),
                          engine);
    case SQLITE_FULL:
        return withDetail(QStringLiteral("Disk dolu; veritabanına yazılamadı: %1").arg(path),
                          engine);
    case SQLITE_ERROR: {
        const QString table = namedIn(engine, missingTable);
        if (!table.isEmpty())
            return withDetail(
                QStringLiteral("Veritabanında %1 tablosu bulunamadı: %2").arg(table, path), engine);
        const QString column = namedIn(engine, missingColumn);
        if (!column.isEmpty())
            return withDetail(
                QStringLiteral("Veritabanında %1 alanı bulunamadı: %2").arg(column, path), engine);
        return engine;
    }
    default:
        return engine;
    }
}

QString fileWriteText(const QString &what, const QString &path, int err, const QString &detail)
{
    const QString folder = QFileInfo(path).absolutePath();
    // errno does not always survive the clean-up of a failed write, so the
    // place itself is examined too (before the caller drops its partial file).
    const bool full = err == ENOSPC || err == EDQUOT || diskFull(folder);
    const bool readOnly = err == EROFS || err == EACCES || err == EPERM ||
                          !folderWritable(folder) ||
                          (QFileInfo::exists(path) && !folderWritable(path));
    const QString shown = QDir::toNativeSeparators(path);
    if (full)
        return withDetail(QStringLiteral("Disk dolu; %1 yazılamadı: %2")
                              .arg(QLocale(QLocale::Turkish).toLower(what), shown),
                          detail);
    if (readOnly)
        return withDetail(QStringLiteral("%1 yazılamadı; yer salt okunur ya da yazma izniniz "
                                         "yok: %2")
                              .arg(what, shown),
                          detail);
    return withDetail(QStringLiteral("%1 yazılamadı: %2").arg(what, shown), detail);
}

} // namespace failure
