// The screens that the main menu opens.
#include "app/screens.h"

#include "accountant/muhisform.h"
#include "app/context.h"
#include "declaration/frmkayityeri.h"
#include "declaration/frmyapdosya.h"
#include "lists/bordlistall.h"

#include <QDialog>

namespace {

void showPlaceholder(QWidget *parent, const QString &caption)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.resize(480, 320);
    dialog.exec();
}

} // namespace

void showEntryScreen(AppContext &ctx, QWidget *parent)
{
    Q_UNUSED(ctx);
    showPlaceholder(parent, QStringLiteral("Aylık Yatırım Girişi"));
}



void showDeclarationScreen(AppContext &ctx, QWidget *parent)
{
    auto *screen = new Tyapdosya(ctx, parent);
    screen->exec();
    delete screen;
}



void showAccountantScreen(AppContext &ctx, QWidget *parent)
{
    auto *screen = new Tfrmmuhis(ctx, parent);
    screen->exec();
    delete screen;
}



void createStartupWindows(AppContext &ctx, QWidget *mainWindow)
{
    Q_UNUSED(mainWindow);
    ctx.kayityeri = new Tkayityeri(ctx, mainWindow);
    ctx.frmbordlistall = new Tfrmbordlistall(ctx, mainWindow);
}
