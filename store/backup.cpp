// Writing and pruning the daily database copies.
#include "store/backup.h"

#include "store/sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{

void pruneCopies(const QString &folder, int keep)
{
    static const QRegularExpression copyName(QStringLiteral("^bodro-\\d{8}\\.mdb$"));
    QStringList copies =
        QDir(folder).entryList({QStringLiteral("bodro-*.mdb")}, QDir::Files, QDir::Name);
    copies.removeIf([](const QString &name) { return !copyName.match(name).hasMatch(); });
    // Names sort by date; a copy that cannot be removed is left for next time.
    for (qsizetype i = 0; i + keep < copies.size(); ++i)
        QFile::remove(QDir(folder).filePath(copies[i]));
}

QString quickCheck(const QString &path)
{
    SqliteDatabase copy(path, SqliteDatabase::Mode::OpenExisting);
    Statement check = copy.prepare(QStringLiteral("PRAGMA quick_check"));
    return check.step() ? check.text(0) : QString();
}

} // namespace

QString writeDailyBackup(SqliteDatabase &db, const QString &folder, const QDate &day, int keep)
{
    const QString target =
        QDir(folder).filePath(QStringLiteral("bodro-%1.mdb").arg(day.toString(u"yyyyMMdd")));
    if (QFileInfo::exists(target))
        return QString();
    if (!QDir().mkpath(folder))
        throw IoError(QStringLiteral("Yedek klasörü oluşturulamadı: %1").arg(folder));

    const QString temp = target + QStringLiteral(".yaziliyor");
    const auto removeTemp = [&temp] {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
    };
    removeTemp();
    try {
        db.onlineBackupTo(temp);
        const QString verdict = quickCheck(temp);
        if (verdict != u"ok")
            throw IoError(QStringLiteral("Yedek denetimden geçmedi: %1: %2").arg(temp, verdict));
        if (!QFile::rename(temp, target))
            throw IoError(QStringLiteral("Yedek adlandırılamadı: %1").arg(target));
    } catch (...) {
        removeTemp();
        throw;
    }
    pruneCopies(folder, keep);
    return target;
}
