// The screens that the main menu opens.
#include "app/screens.h"

#include "app/context.h"
#include "entry/yatirimgir.h"
#include "print/frmprint.h"

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
    auto *form = new TForm1(ctx, parent);
    form->setWindowState(form->windowState() | Qt::WindowMaximized);
    form->exec();
    delete form;
}



void showDeclarationScreen(AppContext &ctx, QWidget *parent)
{
    Q_UNUSED(ctx);
    showPlaceholder(parent, QStringLiteral("Bodro ve Yatırım Dosyası Hazırlama"));
}



void showAccountantScreen(AppContext &ctx, QWidget *parent)
{
    Q_UNUSED(ctx);
    showPlaceholder(parent, QStringLiteral("Muhasip veya İşveren Girişi"));
}



void createStartupWindows(AppContext &ctx, QWidget *mainWindow)
{
    ctx.frmbodrodok = new Tfrmbodrodok(ctx, mainWindow);
    Q_UNUSED(ctx);
    Q_UNUSED(mainWindow);
}
