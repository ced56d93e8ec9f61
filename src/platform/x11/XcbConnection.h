#pragma once

#include <QByteArray>
#include <QString>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <memory>

namespace nudgewatch {

// The program's own connection to the X server, with the EWMH atoms and the few
// others window resolution reads.
class XcbConnection {
public:
    // None when no X server can be reached (an empty name means $DISPLAY).
    static std::unique_ptr<XcbConnection> open(const QByteArray &displayName = {});
    ~XcbConnection();
    XcbConnection(const XcbConnection &) = delete;
    XcbConnection &operator=(const XcbConnection &) = delete;

    xcb_connection_t *connection() const { return m_connection; }
    xcb_ewmh_connection_t *ewmh() { return &m_ewmh; }
    xcb_window_t root() const { return m_root; }
    int screenNumber() const { return m_screen; }
    bool hasError() const { return xcb_connection_has_error(m_connection) != 0; }
    // Whether the server is Xwayland, which shows the program X11 windows only.
    bool servedByXwayland() const;
    // The same for the server at the other end of `xSocket`, given the
    // folder of the session's Wayland sockets.
    static bool servedByXwayland(int xSocket, const QString &runtimeFolder);

    xcb_atom_t gtkApplicationId = XCB_ATOM_NONE;
    xcb_atom_t kdeDesktopFile = XCB_ATOM_NONE;

private:
    XcbConnection(xcb_connection_t *connection, int screen);
    bool initialize();

    xcb_connection_t *m_connection;
    int m_screen;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_ewmh_connection_t m_ewmh{};
    bool m_ewmhReady = false;
};

} // namespace nudgewatch
