#include "platform/wlroots/WlrootsSession.h"

#include "platform/session/NullFrontmostTracker.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandPresence.h"
#include "platform/wlroots/ForeignToplevelTracker.h"

namespace nudgewatch {

WlrootsSession::WlrootsSession(const DesktopEntryRegistry &entries, QObject *parent)
    : DesktopSession(parent)
{
    QString whyNot;
    // A broken connection is the tracker's to mend: it connects again.
    auto tracker =
        ForeignToplevelTracker::create([] { return WaylandConnection::open(); }, entries, &whyNot);
    if (!tracker) {
        m_tracker = unfollowedTracker(whyNot);
        return;
    }
    m_raiser = tracker.get();
    m_tracker = std::move(tracker);
}

std::unique_ptr<DesktopSession> WlrootsSession::open(const SessionFacts &,
                                                     const DesktopEntryRegistry &entries)
{
    return std::make_unique<WlrootsSession>(entries);
}

std::function<bool()> WlrootsSession::compositorCheck() const
{
    return [] {
        return true;
    };
}

PresenceSourceList WlrootsSession::presenceSources(const PresenceSetup &setup, const Clock &clock)
{
    return waylandIdlePresenceSources(setup, clock);
}

} // namespace nudgewatch
