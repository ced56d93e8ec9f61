#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <memory>
#include <optional>

namespace nudgewatch {

// A connection to the X server, with the EWMH atoms and the few others window
// resolution reads. Each event read is handed to whoever connected to
// eventArrived(), so the parts sharing it never read one another's events.
class XcbConnection final : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // A connection of the program's own, its events read by one socket
    // notifier. None when no X server can be reached (an empty name means
    // $DISPLAY).
    static std::unique_ptr<XcbConnection> open(const QByteArray &displayName = {});
    // The one Qt opened, where Qt runs on an X server: its events arrive
    // through Qt, events are only ever added to those Qt selects on a window,
    // and it stays open when this goes. None elsewhere.
    static std::unique_ptr<XcbConnection> ofApplication();
    ~XcbConnection() override;

    xcb_connection_t *connection() const { return m_connection; }
    xcb_ewmh_connection_t *ewmh() { return &m_ewmh; }
    xcb_window_t root() const { return m_root; }
    int screenNumber() const { return m_screen; }
    bool hasError() const { return xcb_connection_has_error(m_connection) != 0; }
    xcb_atom_t internAtom(const QByteArray &name) const;
    // The events this connection asks of `window` from now on (0 for none).
    void selectEvents(xcb_window_t window, uint32_t mask);
    // Whether the server is Xwayland, which shows the program X11 windows only.
    bool servedByXwayland() const;
    // The same for the server at the other end of `xSocket`, given the
    // folder of the session's Wayland sockets.
    static bool servedByXwayland(int xSocket, const QString &runtimeFolder);

    // A reply read outside an event may have queued events the socket will not
    // announce again: whoever read one calls this to have them handed out.
    void dispatchSoon();

    xcb_atom_t gtkApplicationId = XCB_ATOM_NONE;
    xcb_atom_t kdeDesktopFile = XCB_ATOM_NONE;

signals:
    // Each event (or error) read, owned by the connection for the call's length.
    void eventArrived(const xcb_generic_event_t *event);
    // The X server went away. Emitted once; nothing arrives afterwards.
    void lost();

private:
    enum class Owner { Own, Qt };
    XcbConnection(xcb_connection_t *connection, int screen, Owner owner = Owner::Own);
    bool initialize();
    void dispatch();
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override;

    xcb_connection_t *m_connection;
    int m_screen;
    Owner m_owner;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_ewmh_connection_t m_ewmh{};
    bool m_ewmhReady = false;
    std::optional<QSocketNotifier> m_notifier;
    bool m_dispatchQueued = false;
};

} // namespace nudgewatch
