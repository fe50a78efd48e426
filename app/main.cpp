// Start-up: the main window first, then the data module (whose connection opens
// with the first statement, not here), the long-lived windows, and the loop;
// after a normal end, the day's copy of the database.
#include "app/anamenu.h"
#include "app/context.h"
#include "app/exitbackup.h"
#include "app/qtplatform.h"
#include "app/sarvekapp.h"
#include "app/screens.h"
#include "store/dm.h"

int main(int argc, char **argv)
{
    SarvekApplication app(argc, argv);
    app.useTurkish();
    QtPlatform platform;
    app.setPlatform(&platform);

    Tdm dm(platform);
    AppContext ctx(platform, dm);
    TForm2 menu(ctx);
    createStartupWindows(ctx, &menu);
    menu.show();
    const int rc = app.exec();
    backupOnExit(dm, platform);
    return rc;
}
