#pragma once

#include "core/Clock.h"
#include "core/FrontWindowPlace.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/PresenceSource.h"
#include "core/Scheduler.h"
#include "core/WindowSystem.h"

#include <QObject>
#include <QProcessEnvironment>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace nudgewatch {

class WindowRaiser;

struct PresenceSetup {
    // logind's name for the session ($XDG_SESSION_ID); empty to find it by process.
    QString logindSessionId;
    // How long without input counts as away.
    std::chrono::milliseconds noInputAfter = std::chrono::minutes(5);

    static PresenceSetup fromEnvironment(const QProcessEnvironment &environment)
    {
        return {environment.value(QStringLiteral("XDG_SESSION_ID"))};
    }
};

using PresenceSourceList = std::vector<std::unique_ptr<PresenceSource>>;

// What one desktop session gives the program: its own connection(s), the
// tracker of the front application, and its way of raising a window. Each
// wing (a session's folder under src/platform/) builds one; a session whose
// route to the desktop fails keeps a tracker that says why.
class DesktopSession : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual FrontmostApplicationTracker &tracker() = 0;
    // Null when the desktop lets the program raise no window.
    virtual WindowRaiser *raiser() = 0;
    // Whether translucent windows are blended; empty when nobody can tell.
    virtual std::function<bool()> compositorCheck() const { return {}; }
    // Where the window in front is; empty where the session cannot tell.
    virtual FrontWindowPlace frontWindowPlace() { return tracker().frontWindowPlace(); }
    // The presence sources only this desktop offers; they may share the
    // session's connections, so the session outlives them.
    virtual PresenceSourceList presenceSources(const PresenceSetup &, const Clock &) { return {}; }
    // The window-system jobs of the program's X11 windows here: `x11`'s, or
    // the session's own in its place where it blurs behind them otherwise.
    virtual std::unique_ptr<WindowSystem> windowSystem(std::unique_ptr<WindowSystem> x11,
                                                       Scheduler &)
    {
        return x11;
    }
    // What the user should know of how the front application is followed
    // here, beyond the tracker's status; empty when nothing is unusual.
    virtual QString note() const { return {}; }

signals:
    // The display server went away; the program should quit.
    void connectionLost();
};

} // namespace nudgewatch
