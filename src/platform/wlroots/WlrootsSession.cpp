#include "platform/wlroots/WlrootsSession.h"

#include "platform/null/NullSession.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wlroots/ForeignToplevelTracker.h"

namespace nudgewatch {

WlrootsSession::WlrootsSession(const DesktopEntryRegistry &entries, QObject *parent)
    : DesktopSession(parent), m_wayland(WaylandConnection::open())
{
    if (!m_wayland) {
        m_tracker = unfollowedTracker(QStringLiteral("cannot connect to the Wayland compositor"));
        return;
    }
    QString whyNot;
    auto tracker = ForeignToplevelTracker::create(*m_wayland, entries, &whyNot);
    if (!tracker) {
        m_tracker = unfollowedTracker(whyNot);
        return;
    }
    connect(m_wayland.get(), &WaylandConnection::connectionLost, this,
            &DesktopSession::connectionLost);
    m_raiser = tracker.get();
    m_tracker = std::move(tracker);
}

// The tracker refers to the connection.
WlrootsSession::~WlrootsSession()
{
    m_tracker.reset();
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

} // namespace nudgewatch
