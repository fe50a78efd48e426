// What every screen is given: the platform, the data module and the session
// state, plus the long-lived windows made at start-up.
#pragma once

#include "base/platform.h"
#include "base/session.h"

#include <QObject>
#include <QPointer>

class Tdm;

struct AppContext {
    AppContext(Platform &p, Tdm &d) : platform(p), dm(d) {}
    Platform &platform;
    Tdm &dm;
    SessionState session;

    // Windows created at start-up; null until made, and again once a user has
    // destroyed the instance after use.
    QPointer<QObject> frmbodrodok;
    QPointer<QObject> kayityeri;
    QPointer<QObject> frmbordlistall;
};

// Runs a handler; an exception it does not catch is shown in a plain message
// box and the handler ends there. The caller's window keeps its content.
template <class F> bool guarded(Platform &platform, F &&handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &e) {
        platform.showMessage(QString::fromUtf8(e.what()));
        return false;
    }
}
