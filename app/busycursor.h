// The busy pointer for work that holds the interface for a noticeable time:
// shown while the guard lives, restored however the work ends.
#pragma once

#include <QGuiApplication>

class BusyCursor
{
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
