#include "platform/x11/X11FullscreenSource.h"

#include "platform/freedesktop/PlatformLog.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace nudgewatch {

namespace {

// Longer than a window manager's switch between two windows (a few ms measured).
constexpr int noActiveWindowSettleMs = 250;
// More states than any window manager sets at once.
constexpr uint32_t mostStates = 64;

} // namespace

X11FullscreenSource::X11FullscreenSource(std::unique_ptr<XcbConnection> connection,
                                         const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_x(std::move(connection)), m_query(*m_x), m_clock(clock)
{
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_x->connection(), m_x->root(), XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_x->connection());
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_x->connection()),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this,
            &X11FullscreenSource::processPendingEvents);
    m_noActiveWindow.setSingleShot(true);
    m_noActiveWindow.setInterval(noActiveWindowSettleMs);
    connect(&m_noActiveWindow, &QTimer::timeout, this, [this] {
        if (!m_query.activeWindow())
            set(false);
    });
    // The first state is announced once whoever listens is connected.
    QTimer::singleShot(0, this, &X11FullscreenSource::activeWindowChanged);
}

X11FullscreenSource::~X11FullscreenSource() = default;

void X11FullscreenSource::processPendingEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_x->connection())) {
        handle(event);
        std::free(event);
    }
    if (m_x->hasError() && m_notifier->isEnabled()) {
        qCDebug(lcPlatform) << "the fullscreen source lost the X server";
        m_notifier->setEnabled(false);
        m_noActiveWindow.stop();
    }
}

void X11FullscreenSource::handle(const xcb_generic_event_t *event)
{
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return;
    const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    if (property->window == m_x->root() && property->atom == m_x->ewmh()->_NET_ACTIVE_WINDOW)
        activeWindowChanged();
    else if (property->window == m_watched && property->atom == m_x->ewmh()->_NET_WM_STATE)
        set(!m_watchedIsOwn && isFullscreen(m_watched));
}

void X11FullscreenSource::activeWindowChanged()
{
    const std::optional<xcb_window_t> active = m_query.activeWindow();
    watch(active.value_or(XCB_WINDOW_NONE));
    if (!active) {
        if (!m_noActiveWindow.isActive())
            m_noActiveWindow.start();
        return;
    }
    m_noActiveWindow.stop();
    const std::optional<uint32_t> pid = m_query.processId(*active);
    m_watchedIsOwn = pid && *pid == uint32_t(getpid());
    set(!m_watchedIsOwn && isFullscreen(*active));
    // Replies read above may have queued events the socket will not announce again.
    QTimer::singleShot(0, this, &X11FullscreenSource::processPendingEvents);
}

void X11FullscreenSource::watch(xcb_window_t window)
{
    if (window == m_watched)
        return;
    // A window that is already gone answers BadWindow, which changes nothing here.
    const uint32_t none = 0, states = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (m_watched != XCB_WINDOW_NONE)
        xcb_change_window_attributes(m_x->connection(), m_watched, XCB_CW_EVENT_MASK, &none);
    if (window != XCB_WINDOW_NONE)
        xcb_change_window_attributes(m_x->connection(), window, XCB_CW_EVENT_MASK, &states);
    xcb_flush(m_x->connection());
    m_watched = window;
}

bool X11FullscreenSource::isFullscreen(xcb_window_t window) const
{
    xcb_connection_t *c = m_x->connection();
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, m_x->ewmh()->_NET_WM_STATE, XCB_ATOM_ATOM, 0, mostStates),
        nullptr);
    if (reply == nullptr)
        return false;
    bool fullscreen = false;
    if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        // Counted from the reply's own length, never from what the client claims.
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        const int bytes = std::min(xcb_get_property_value_length(reply), int(reply->length) * 4);
        const int count = bytes / int(sizeof(xcb_atom_t));
        for (int i = 0; i < count && !fullscreen; ++i)
            fullscreen = atoms[i] == m_x->ewmh()->_NET_WM_STATE_FULLSCREEN;
    }
    std::free(reply);
    return fullscreen;
}

void X11FullscreenSource::set(bool fullscreen)
{
    if (fullscreen == m_fullscreen)
        return;
    m_fullscreen = fullscreen;
    emit conditionChanged(PresenceCondition::Fullscreen, fullscreen, m_clock.now());
}

} // namespace nudgewatch
