#include "platform/wlroots/WlrootsSession.h"

#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandPresence.h"
#include "platform/wlroots/ForeignToplevelTracker.h"

namespace nudgewatch {

WlrootsSession::WlrootsSession(const DesktopEntryRegistry &entries, QObject *parent)
    : CompositorSession(parent)
{
    QString whyNot;
    // A broken connection is the tracker's to mend: it connects again.
    auto tracker =
        ForeignToplevelTracker::create([] { return WaylandConnection::open(); }, entries, &whyNot);
    follow(std::move(tracker), whyNot);
}

std::unique_ptr<DesktopSession> WlrootsSession::open(const SessionFacts &,
                                                     const DesktopEntryRegistry &entries)
{
    return std::make_unique<WlrootsSession>(entries);
}

PresenceSourceList WlrootsSession::presenceSources(const PresenceSetup &setup, const Clock &clock)
{
    return waylandIdlePresenceSources(setup, clock);
}

} // namespace nudgewatch
