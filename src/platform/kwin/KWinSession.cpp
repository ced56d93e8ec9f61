#include "platform/kwin/KWinSession.h"

#include "platform/kwin/KWinScriptTracker.h"
#include "platform/wayland/WaylandPresence.h"

namespace nudgewatch {

KWinSession::KWinSession(const DesktopEntryRegistry &entries, QObject *parent)
    : CompositorSession(parent)
{
    auto tracker = std::make_unique<KWinScriptTracker>(entries, QDBusConnection::sessionBus());
    const QString error = tracker->start();
    if (!error.isEmpty())
        tracker.reset();
    follow(std::move(tracker),
           QStringLiteral("KWin did not run the program's script: %1").arg(error));
}

std::unique_ptr<DesktopSession> KWinSession::open(const SessionFacts &,
                                                  const DesktopEntryRegistry &entries)
{
    return std::make_unique<KWinSession>(entries);
}

PresenceSourceList KWinSession::presenceSources(const PresenceSetup &setup, const Clock &clock)
{
    return waylandIdlePresenceSources(setup, clock);
}

} // namespace nudgewatch
