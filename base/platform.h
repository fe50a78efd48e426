// Everything the program asks of the machine goes through Platform, so that a
// test can answer message boxes by script and read back what was shown.
#pragma once

#include "base/ftpclient.h"

#include <memory>
#include <QDateTime>
#include <QList>
#include <QString>

enum class Answer { Yes, No, Cancel };

struct Volume {
    QString name; // what the user sees
    QString root; // folder that the file goes into, ending in a separator
};

class Platform
{
  public:
    virtual ~Platform() = default;

    virtual void showMessage(const QString &text) = 0; // plain box, OK
    virtual void showWarning(const QString &text) = 0; // warning box, OK
    virtual Answer confirm(const QString &text) = 0;   // Yes / No / Cancel
    // A warning box whose details (hidden until asked for) hold `detail`.
    virtual void showDetailedWarning(const QString &text, const QString &detail) = 0;
    // Yes / No with No the default, for questions where going on is the
    // exception; true for Yes.
    virtual bool askYesNo(const QString &text) = 0;

    virtual QDateTime now() = 0;
    QDate today() { return now().date(); }

    // Folder of the first-run marker file.
    virtual QString windowsDirectory() = 0;

    // Open a document or start a program through the desktop. False when it
    // could not be done; callers stay silent then.
    virtual bool openDocument(const QString &path) = 0;
    virtual bool startCalculator() = 0;
    // The program's own handbook, at page ("giris.html#tablo").
    virtual void showHelp(const QString &page) = 0;

    virtual QList<Volume> volumes() = 0;

    // The file the user picks in an open-file dialog, or empty when none was
    // picked. `filter` is in the dialog's "Name (*.a *.b)" form.
    virtual QString chooseFileToOpen(const QString &caption, const QString &filter) = 0;

    // A fresh client for each upload.
    virtual std::unique_ptr<FtpClient> makeFtpClient() = 0;
};
