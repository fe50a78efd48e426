// The backup at the end of a normal run.
#include "app/exitbackup.h"

#include "base/platform.h"
#include "store/backup.h"
#include "store/dm.h"
#include "store/sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

void backupOnExit(Tdm &dm, Platform &platform) noexcept
{
    try {
        // A server's database is the office's to back up, with the server's tools.
        if (dm.isOffice() || !QFileInfo::exists(dm.databasePath()))
            return;
        writeDailyBackup(*dm.localFile(), QDir(dm.dataDir()).filePath(QStringLiteral("yedek")),
                         platform.today());
    } catch (const std::exception &e) {
        qWarning().noquote() << "Yedek alınamadı:" << QString::fromUtf8(e.what());
    } catch (...) {
        qWarning() << "Yedek alınamadı";
    }
}
