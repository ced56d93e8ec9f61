#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"
#include "platform/x11/X11WindowQuery.h"

#include <QTimer>

namespace nudgewatch {

class X11ActiveWindow;

// Busy in an X11 session: the active window is in fullscreen state
// (_NET_WM_STATE_FULLSCREEN), followed through PropertyNotify events on it.
// Window managers pass through "no active window" between two windows, so that
// state is only believed after a short quiet spell. The program's own windows
// never count as fullscreen.
class X11FullscreenSource final : public PresenceSource {
    Q_OBJECT
public:
    X11FullscreenSource(XcbConnection &connection, X11ActiveWindow &active, const Clock &clock,
                        QObject *parent = nullptr);

    QString name() const override { return QStringLiteral("X11 fullscreen"); }

private:
    void handle(const xcb_generic_event_t *event);
    void activeWindowChanged();
    void watch(xcb_window_t window);
    bool isFullscreen(xcb_window_t window) const;
    void set(bool fullscreen);

    XcbConnection &m_x;
    X11ActiveWindow &m_active;
    X11WindowQuery m_query;
    const Clock &m_clock;
    QTimer m_noActiveWindow;
    xcb_window_t m_watched = XCB_WINDOW_NONE;
    bool m_watchedIsOwn = false;
};

} // namespace nudgewatch
