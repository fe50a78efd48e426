// Work that must not freeze the window (a network transfer): run on a worker
// thread while a small modal dialog says what is going on.
#pragma once

#include <functional>
#include <QString>

class QWidget;

// Runs `work` on a worker thread and returns when it has finished, showing a
// modal dialog with `label` and a busy bar meanwhile; the dialog cannot be
// closed by the user. An exception thrown by `work` is thrown again here.
// `work` must not touch widgets.
void runWithProgress(QWidget *parent, const QString &label, const std::function<void()> &work);
