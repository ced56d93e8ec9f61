#include "platform/x11/X11FullscreenSource.h"

#include "core/CReply.h"
#include "platform/x11/X11ActiveWindow.h"

#include <algorithm>

namespace nudgewatch {

namespace {

// Longer than a window manager's switch between two windows (a few ms measured).
constexpr int noActiveWindowSettleMs = 250;
// More states than any window manager sets at once.
constexpr uint32_t mostStates = 64;

} // namespace

X11FullscreenSource::X11FullscreenSource(XcbConnection &connection, X11ActiveWindow &active,
                                         const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_x(connection), m_active(active), m_query(connection), m_clock(clock)
{
    connect(&m_x, &XcbConnection::eventArrived, this, &X11FullscreenSource::handle);
    connect(&m_x, &XcbConnection::lost, &m_noActiveWindow, &QTimer::stop);
    connect(&m_active, &X11ActiveWindow::changed, this, &X11FullscreenSource::activeWindowChanged);
    m_noActiveWindow.setSingleShot(true);
    m_noActiveWindow.setInterval(noActiveWindowSettleMs);
    connect(&m_noActiveWindow, &QTimer::timeout, this, [this] {
        if (!m_active.current())
            set(false);
    });
    // The first state is announced once whoever listens is connected.
    QTimer::singleShot(0, this, &X11FullscreenSource::activeWindowChanged);
}

void X11FullscreenSource::handle(const xcb_generic_event_t *event)
{
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return;
    const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    if (property->window == m_watched && property->atom == m_x.ewmh()->_NET_WM_STATE)
        set(!m_watchedIsOwn && isFullscreen(m_watched));
}

void X11FullscreenSource::activeWindowChanged()
{
    const std::optional<xcb_window_t> active = m_active.current();
    watch(active.value_or(XCB_WINDOW_NONE));
    if (!active) {
        if (!m_noActiveWindow.isActive())
            m_noActiveWindow.start();
        return;
    }
    m_noActiveWindow.stop();
    m_watchedIsOwn = m_query.isOwnWindow(*active);
    set(!m_watchedIsOwn && isFullscreen(*active));
    m_x.dispatchSoon();
}

void X11FullscreenSource::watch(xcb_window_t window)
{
    if (window == m_watched)
        return;
    if (m_watched != XCB_WINDOW_NONE)
        m_x.selectEvents(m_watched, 0);
    if (window != XCB_WINDOW_NONE)
        m_x.selectEvents(window, XCB_EVENT_MASK_PROPERTY_CHANGE);
    m_watched = window;
}

bool X11FullscreenSource::isFullscreen(xcb_window_t window) const
{
    xcb_connection_t *c = m_x.connection();
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, m_x.ewmh()->_NET_WM_STATE, XCB_ATOM_ATOM, 0, mostStates),
        nullptr));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return false;
    // Counted from the reply's own length, never from what the client claims.
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int bytes = std::min(xcb_get_property_value_length(reply.get()), int(reply->length) * 4);
    const xcb_atom_t *end = atoms + bytes / int(sizeof(xcb_atom_t));
    return std::find(atoms, end, m_x.ewmh()->_NET_WM_STATE_FULLSCREEN) != end;
}

void X11FullscreenSource::set(bool fullscreen)
{
    report(PresenceCondition::Fullscreen, fullscreen, m_clock.now());
}

} // namespace nudgewatch
