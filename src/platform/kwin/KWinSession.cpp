#include "platform/kwin/KWinSession.h"

#include "platform/kwin/KWinScriptTracker.h"
#include "platform/session/NullFrontmostTracker.h"
#include "platform/wayland/WaylandPresence.h"

namespace nudgewatch {

KWinSession::KWinSession(const DesktopEntryRegistry &entries, QObject *parent)
    : DesktopSession(parent)
{
    auto tracker = std::make_unique<KWinScriptTracker>(entries, QDBusConnection::sessionBus());
    const QString error = tracker->start();
    if (!error.isEmpty()) {
        m_tracker = unfollowedTracker(
            QStringLiteral("KWin did not run the program's script: %1").arg(error));
        return;
    }
    m_raiser = tracker.get();
    m_tracker = std::move(tracker);
}

std::unique_ptr<DesktopSession> KWinSession::open(const SessionFacts &,
                                                  const DesktopEntryRegistry &entries)
{
    return std::make_unique<KWinSession>(entries);
}

std::function<bool()> KWinSession::compositorCheck() const
{
    return [] {
        return true;
    };
}

PresenceSourceList KWinSession::presenceSources(const PresenceSetup &setup, const Clock &clock)
{
    return waylandIdlePresenceSources(setup, clock);
}

} // namespace nudgewatch
