// The start-up rules for the working folder.
#include "app/workfolder.h"

#include <QDir>

namespace workfolder
{

namespace
{

QString absoluteIn(const QString &base, const QString &path)
{
    return QDir::cleanPath(QDir(base).absoluteFilePath(QDir::fromNativeSeparators(path)));
}

} // namespace

Choice choose(const QStringList &arguments, const QString &envFolder, const QString &currentDir,
              const QString &homeDir)
{
    const QString folderOption = QLatin1String(FolderOption);
    const QString folderPrefix = folderOption + u'=';
    QString explicitFolder;
    bool haveExplicit = false;
    bool desktop = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == folderOption) {
            // "--veri-klasoru --masaustu" forgot the folder: the next option is
            // not taken for one.
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty() ||
                arguments[i + 1].startsWith(QLatin1String("--")))
                return {
                    {},
                    QStringLiteral("%1 seçeneğinden sonra bir klasör yazınız.").arg(folderOption)};
            explicitFolder = arguments[++i];
            haveExplicit = true;
        } else if (arg.startsWith(folderPrefix)) {
            explicitFolder = arg.mid(folderPrefix.size());
            if (explicitFolder.isEmpty())
                return {
                    {},
                    QStringLiteral("%1 seçeneğinden sonra bir klasör yazınız.").arg(folderOption)};
            haveExplicit = true;
        } else if (arg == QLatin1String(DesktopOption)) {
            desktop = true;
        }
    }
    if (haveExplicit)
        return {absoluteIn(currentDir, explicitFolder), {}};
    if (!envFolder.isEmpty())
        return {absoluteIn(currentDir, envFolder), {}};
    if (desktop)
        return {absoluteIn(homeDir, QStringLiteral("Sarvek")), {}};
    return {QDir::cleanPath(currentDir), {}};
}

QString enter(const QString &folder)
{
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder))
        return QStringLiteral("Veri klasörü açılamadı: %1").arg(QDir::toNativeSeparators(folder));
    return {};
}

} // namespace workfolder
