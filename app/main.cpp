// Start-up: the platform with the fund's FTP client, the working folder
// (everything below it is relative to it), the choice between the SQLite file
// and the office's server, then the main window, the data module (whose connection opens with the
// first statement, not here; a database it makes from nothing leaves the first-run reminder), the
// long-lived windows, F1 and the loop; after a normal end, the day's copy of
// the database. "--tasi" instead moves the working folder's database to the
// office's server, in a terminal, without a window.
#include "app/anamenu.h"
#include "app/context.h"
#include "app/exitbackup.h"
#include "app/firstrun.h"
#include "app/helpwindow.h"
#include "app/move.h"
#include "app/qtplatform.h"
#include "app/sarvekapp.h"
#include "app/screens.h"
#include "app/workfolder.h"
#include "declaration/ftpupload.h"
#include "store/dm.h"
#include "store/storagechoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char **argv)
{
    // Decided before any window: the server machine need not have a display.
    if (officemove::requested(argc, argv)) {
        QCoreApplication app(argc, argv);
        return officemove::runCommand(app.arguments().mid(1));
    }
    SarvekApplication app(argc, argv);
    app.useTurkish();
    QGuiApplication::setDesktopFileName(QStringLiteral("sarvek"));
    app.setWindowIcon(QIcon::fromTheme(QStringLiteral("sarvek")));
    QtPlatform platform([] { return makeCurlFtpClient(fundFtpSettings()); });
    app.setPlatform(&platform);

    const workfolder::Choice folder =
        workfolder::choose(app.arguments().mid(1), qEnvironmentVariable(workfolder::FolderVariable),
                           QDir::currentPath(), QDir::homePath());
    const QString failure =
        folder.error.isEmpty() ? workfolder::enter(folder.folder) : folder.error;
    if (!failure.isEmpty()) {
        platform.showWarning(failure);
        return 1;
    }

    const storagechoice::Choice storage =
        storagechoice::read(QDir(QDir::currentPath()).filePath(QStringLiteral("Data")),
                            qEnvironmentVariable(storagechoice::Variable));
    if (!storage.error.isEmpty()) {
        platform.showWarning(storage.error);
        return 1;
    }
    Tdm dm(QDir::currentPath(), storage.connInfo);
    remindAfterNewDatabase(dm, platform);
    AppContext ctx(platform, dm);
    HelpKey helpKey(ctx);
    app.installEventFilter(&helpKey);
    TForm2 menu(ctx);
    createStartupWindows(ctx, &menu);
    menu.show();
    const int rc = app.exec();
    backupOnExit(dm, platform);
    return rc;
}
