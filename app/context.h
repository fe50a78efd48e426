// What every screen is given: the platform, the data module and the session
// state, plus the long-lived windows made at start-up.
#pragma once

#include "base/platform.h"
#include "base/session.h"

#include <exception>
#include <QObject>
#include <QPointer>
#include <QString>

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

// The text of the general error box for a failure that carries no text.
inline const QString UnknownFailureText =
    QStringLiteral("Beklenmeyen bir hata oluştu. İşlem tamamlanamadı.");

// Runs a handler; whatever it throws and does not catch is shown in the
// general error box and the handler ends there. The caller's window keeps its
// content. Every command of every screen runs through here, so that no
// exception crosses Qt's event dispatch.
template <class F> bool guarded(Platform &platform, F &&handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &e) {
        platform.showMessage(QString::fromUtf8(e.what()));
    } catch (...) {
        platform.showMessage(UnknownFailureText);
    }
    return false;
}
