// Scripted answers and recorded messages for tests.
#include "support/scriptedplatform.h"

#include <QFileInfo>

void ScriptedPlatform::showMessage(const QString &text)
{
    shown.append({Kind::Message, text});
    if (onShown)
        onShown(shown.last());
}

void ScriptedPlatform::showWarning(const QString &text)
{
    shown.append({Kind::Warning, text});
    if (onShown)
        onShown(shown.last());
}

Answer ScriptedPlatform::confirm(const QString &text)
{
    shown.append({Kind::Confirm, text});
    if (onShown)
        onShown(shown.last());
    return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
}

void ScriptedPlatform::showDetailedWarning(const QString &text, const QString &detail)
{
    shown.append({Kind::Warning, text, detail});
    if (onShown)
        onShown(shown.last());
}

bool ScriptedPlatform::askYesNo(const QString &text)
{
    shown.append({Kind::YesNo, text});
    if (onShown)
        onShown(shown.last());
    return !answers.isEmpty() && answers.takeFirst() == Answer::Yes;
}

bool ScriptedPlatform::openDocument(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    openedDocuments << path;
    return true;
}

bool ScriptedPlatform::startCalculator()
{
    if (!calculatorAvailable)
        return false;
    ++calculatorStarts;
    return true;
}

std::unique_ptr<FtpClient> ScriptedPlatform::makeFtpClient()
{
    return ftpFactory ? ftpFactory() : nullptr;
}

QStringList ScriptedPlatform::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}
