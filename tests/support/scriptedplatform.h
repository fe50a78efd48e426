// A Platform for tests: message boxes are recorded and answered from a script,
// the clock and the folders are whatever the test sets.
#pragma once

#include "base/platform.h"

#include <functional>
#include <QStringList>

class ScriptedPlatform : public Platform
{
  public:
    enum class Kind { Message, Warning, Confirm, YesNo };
    struct Shown {
        Kind kind;
        QString text;
        QString detail; // of a detailed warning
    };

    void showMessage(const QString &text) override;
    void showWarning(const QString &text) override;
    // Takes the next scripted answer; Cancel when the script is used up.
    Answer confirm(const QString &text) override;
    void showDetailedWarning(const QString &text, const QString &detail) override;
    // Takes the next scripted answer too: Yes is Yes, anything else and an
    // empty script are No.
    bool askYesNo(const QString &text) override;
    QDateTime now() override { return clock.isValid() ? clock : QDateTime::currentDateTime(); }
    QString windowsDirectory() override { return windowsDir; }
    bool openDocument(const QString &path) override;
    bool startCalculator() override;
    void showHelp(const QString &page) override { helpPages << page; }
    QList<Volume> volumes() override { return volumeList; }
    // Takes the next scripted file; empty (nothing picked) when none is left.
    QString chooseFileToOpen(const QString &, const QString &) override
    {
        return filesToOpen.isEmpty() ? QString() : filesToOpen.takeFirst();
    }
    std::unique_ptr<FtpClient> makeFtpClient() override;

    // Texts shown so far, in order, of every kind.
    QStringList texts() const;
    void clearShown() { shown.clear(); }

    QList<Shown> shown;
    QList<Answer> answers;
    QDateTime clock;
    QString windowsDir;
    QStringList openedDocuments;
    QStringList helpPages;
    int calculatorStarts = 0;
    bool calculatorAvailable = true;
    QList<Volume> volumeList;
    QStringList filesToOpen;
    std::function<std::unique_ptr<FtpClient>()> ftpFactory;
    // Runs after each message is recorded, e.g. to close a dialog under test.
    std::function<void(const Shown &)> onShown;
};
