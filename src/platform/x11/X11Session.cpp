#include "platform/x11/X11Session.h"

#include "core/CReply.h"
#include "platform/session/NullFrontmostTracker.h"
#include "platform/x11/CompositorProbe.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11FrontmostTracker.h"
#include "platform/x11/X11FullscreenSource.h"
#include "platform/x11/X11IdleSource.h"
#include "platform/xcb/XcbConnection.h"

#include <algorithm>

namespace nudgewatch {

X11Session::X11Session(std::unique_ptr<XcbConnection> connection,
                       const DesktopEntryRegistry &entries, QObject *parent)
    : DesktopSession(parent), m_x(std::move(connection))
{
    if (!m_x) {
        m_tracker = unfollowedTracker(QStringLiteral("no connection to the X server"));
        return;
    }
    // A Wayland session whose compositor the program was not told of.
    if (m_x->servedByXwayland())
        m_note = tr("Nudgewatch follows only X11 applications here, through Xwayland: an "
                    "application running natively on Wayland is not seen in front. Start "
                    "Nudgewatch from the Wayland session (with WAYLAND_DISPLAY set) to follow "
                    "every application.");
    connect(m_x.get(), &XcbConnection::lost, this, &DesktopSession::connectionLost);
    m_active = std::make_unique<X11ActiveWindow>(*m_x);
    auto tracker = std::make_unique<X11FrontmostTracker>(*m_x, *m_active, entries);
    m_raiser = tracker.get();
    m_tracker = std::move(tracker);
}

// Out of line: the members' types are complete here.
X11Session::~X11Session() = default;

std::unique_ptr<DesktopSession> X11Session::open(const SessionFacts &,
                                                 const DesktopEntryRegistry &entries)
{
    // A connection of its own, not Qt's: a client has one event mask per
    // window, and the sources select and drop events on whatever window is in
    // front. On Qt's connection they could only add to Qt's masks, never drop
    // again, so every window once in front would go on waking the program.
    return std::make_unique<X11Session>(XcbConnection::open(), entries);
}

std::function<bool()> X11Session::compositorCheck() const
{
    if (!m_raiser)
        return {};
    return compositingManagerRunning;
}

FrontWindowPlace X11Session::frontWindowPlace()
{
    if (!m_x)
        return {};
    FrontWindowPlace place;
    // The work area of the desktop on show, as the window manager counts the docks' struts.
    xcb_ewmh_connection_t *ewmh = m_x->ewmh();
    uint32_t desktop = 0;
    xcb_ewmh_get_workarea_reply_t areas{};
    xcb_ewmh_get_current_desktop_reply(
        ewmh, xcb_ewmh_get_current_desktop(ewmh, m_x->screenNumber()), &desktop, nullptr);
    if (xcb_ewmh_get_workarea_reply(ewmh, xcb_ewmh_get_workarea(ewmh, m_x->screenNumber()), &areas,
                                    nullptr)) {
        if (areas.workarea_len > 0) {
            const xcb_ewmh_geometry_t &area =
                areas.workarea[std::min(desktop, areas.workarea_len - 1)];
            place.workArea = QRect(int(area.x), int(area.y), int(area.width), int(area.height));
        }
        xcb_ewmh_get_workarea_reply_wipe(&areas);
    }
    const std::optional<xcb_window_t> window = m_active ? m_active->current() : std::nullopt;
    if (!window) {
        m_x->dispatchSoon();
        return place;
    }
    xcb_connection_t *c = m_x->connection();
    const auto size = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, *window), nullptr));
    const auto origin = owned(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, *window, m_x->root(), 0, 0), nullptr));
    // Replies read here may have left events queued behind them.
    m_x->dispatchSoon();
    if (size && origin)
        place.frame = QRect(origin->dst_x, origin->dst_y, size->width, size->height);
    return place;
}

PresenceSourceList X11Session::presenceSources(const PresenceSetup &setup, const Clock &clock)
{
    PresenceSourceList sources;
    if (!m_x)
        return sources;
    if (auto idle = X11IdleSource::create(*m_x, setup.noInputAfter, clock))
        sources.push_back(std::move(idle));
    sources.push_back(std::make_unique<X11FullscreenSource>(*m_x, *m_active, clock));
    return sources;
}

} // namespace nudgewatch
