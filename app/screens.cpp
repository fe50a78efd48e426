// The screens that the main menu opens, and the long-lived windows made at
// start-up.
#include "app/screens.h"

#include "accountant/muhisform.h"
#include "app/context.h"
#include "declaration/frmkayityeri.h"
#include "declaration/frmyapdosya.h"
#include "entry/yatirimgir.h"
#include "lists/bordlistall.h"
#include "print/frmprint.h"

void showEntryScreen(AppContext &ctx, QWidget *parent)
{
    auto *form = new TForm1(ctx, parent);
    form->setWindowState(form->windowState() | Qt::WindowMaximized);
    form->exec();
    delete form;
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
    ctx.frmbodrodok = new Tfrmbodrodok(ctx, mainWindow);
    ctx.kayityeri = new Tkayityeri(ctx, mainWindow);
    ctx.frmbordlistall = new Tfrmbordlistall(ctx, mainWindow);
}
