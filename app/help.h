// F1: which handbook page belongs to the place that has the focus, and the
// rule that a sarvek.chm in the working folder is opened in its stead.
#pragma once

#include <QString>
#include <QStringList>

class Platform;

namespace help
{

// names: for the focus widget and then each of its parents, its object name
// and its class name. The first name that has a section decides; a place
// without one gets the handbook's contents page.
QString pageFor(const QStringList &names);

// Opens sarvek.chm beside dataDir (the working folder) when there is one,
// else the handbook at page.
void open(Platform &platform, const QString &dataDir, const QString &page);

} // namespace help
