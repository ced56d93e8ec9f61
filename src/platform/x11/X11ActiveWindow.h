#pragma once

#include "platform/x11/X11WindowQuery.h"
#include "platform/xcb/XcbConnection.h"

#include <QObject>

#include <optional>

namespace nudgewatch {

// The active window of an X11 session with an EWMH window manager, followed
// through PropertyNotify events on the root window: the one follower the
// tracker and the fullscreen source both listen to.
class X11ActiveWindow final : public QObject {
    Q_OBJECT
public:
    explicit X11ActiveWindow(XcbConnection &connection, QObject *parent = nullptr);

    // None for None, the root window or when it cannot be read.
    std::optional<xcb_window_t> current() const { return m_current; }
    // The time of the last change seen on the root window, for requests made
    // on the user's behalf.
    xcb_timestamp_t lastEventTime() const { return m_lastEventTime; }

signals:
    // _NET_ACTIVE_WINDOW was written (a repeat of the same window included),
    // or a window manager left or started.
    void changed();

private:
    void handle(const xcb_generic_event_t *event);
    void logWindowManager() const;

    XcbConnection &m_x;
    X11WindowQuery m_query;
    std::optional<xcb_window_t> m_current;
    xcb_timestamp_t m_lastEventTime = XCB_CURRENT_TIME;
};

} // namespace nudgewatch
