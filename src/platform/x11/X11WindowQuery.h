#pragma once

#include "platform/freedesktop/WindowResolver.h"
#include "platform/xcb/XcbConnection.h"

#include <QByteArrayView>
#include <QList>

#include <optional>

namespace nudgewatch {

// Reads what windows say about their owners from the X server.
class X11WindowQuery {
public:
    explicit X11WindowQuery(XcbConnection &connection) : m_x(connection) {}

    // The window, then the windows it is transient for, nearest first.
    QList<WindowFacts> factsChain(xcb_window_t window) const;
    // Whether the window is this process's own (by _NET_WM_PID).
    bool isOwnWindow(xcb_window_t window) const;
    // The active window, none for None or when it cannot be read.
    std::optional<xcb_window_t> activeWindow() const;
    // Client windows bottom to top (stacking order when the manager offers it).
    QList<xcb_window_t> clientWindows() const;

private:
    struct Single {
        WindowFacts facts;
        xcb_window_t transientFor = XCB_WINDOW_NONE;
    };
    Single read(xcb_window_t window) const;
    QString utf8Property(xcb_get_property_cookie_t cookie) const;

    XcbConnection &m_x;
};

// WM_CLASS as (instance, class). Each name ends at its NUL or, where a client
// left the NUL out, at the end of the value read.
std::pair<QString, QString> splitWmClass(QByteArrayView value);

} // namespace nudgewatch
