#include "platform/x11/X11Session.h"

#include "platform/null/NullSession.h"
#include "platform/x11/CompositorProbe.h"
#include "platform/x11/X11FrontmostTracker.h"
#include "platform/x11/X11FullscreenSource.h"
#include "platform/x11/X11IdleSource.h"
#include "platform/x11/XcbConnection.h"

namespace nudgewatch {

X11Session::X11Session(std::unique_ptr<XcbConnection> connection,
                       const DesktopEntryRegistry &entries, QObject *parent)
    : DesktopSession(parent)
{
    if (!connection) {
        m_tracker = unfollowedTracker(QStringLiteral("no connection to the X server"));
        return;
    }
    // A Wayland session whose compositor the program was not told of.
    if (connection->servedByXwayland())
        m_note = tr("Nudgewatch follows only X11 applications here, through Xwayland: an "
                    "application running natively on Wayland is not seen in front. Start "
                    "Nudgewatch from the Wayland session (with WAYLAND_DISPLAY set) to follow "
                    "every application.");
    auto tracker = std::make_unique<X11FrontmostTracker>(std::move(connection), entries);
    connect(tracker.get(), &X11FrontmostTracker::connectionLost, this,
            &DesktopSession::connectionLost);
    m_raiser = tracker.get();
    m_tracker = std::move(tracker);
}

std::unique_ptr<DesktopSession> X11Session::open(const SessionFacts &,
                                                 const DesktopEntryRegistry &entries)
{
    return std::make_unique<X11Session>(XcbConnection::open(), entries);
}

std::function<bool()> X11Session::compositorCheck() const
{
    if (!m_raiser)
        return {};
    return compositingManagerRunning;
}

PresenceSourceList X11Session::presenceSources(const PresenceSetup &setup, const Clock &clock)
{
    PresenceSourceList sources;
    // Each on its own connection, so neither reads the other's events.
    if (std::unique_ptr<XcbConnection> x = XcbConnection::open()) {
        if (auto idle = X11IdleSource::create(std::move(x), setup.noInputAfter, clock))
            sources.push_back(std::move(idle));
    }
    if (std::unique_ptr<XcbConnection> x = XcbConnection::open())
        sources.push_back(std::make_unique<X11FullscreenSource>(std::move(x), clock));
    return sources;
}

} // namespace nudgewatch
