// How the main menu opens the modal screens, and the windows made at start-up.
#pragma once

class QWidget;
struct AppContext;

// Each opens its screen modally over parent and destroys it when it closes.
void showEntryScreen(AppContext &ctx, QWidget *parent);
void showDeclarationScreen(AppContext &ctx, QWidget *parent);
void showAccountantScreen(AppContext &ctx, QWidget *parent);

// The printout form, the save-drive chooser and one all-returns list, in that
// order, after the main window and the data module.
void createStartupWindows(AppContext &ctx, QWidget *mainWindow);
