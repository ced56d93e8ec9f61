#pragma once

#include "app/Services.h"
#include "platform/x11/ActivationFilter.h"
#include "platform/x11/X11WindowQuery.h"
#include "platform/x11/XcbConnection.h"

#include <QSocketNotifier>

#include <memory>

namespace nudgewatch {

class DesktopEntryRegistry;
class DesktopIcons;
class GioLauncher;

struct X11WorkspaceServices {
    const DesktopEntryRegistry &entries;
    const DesktopIcons &icons;
    const GioLauncher &launcher;
};

// The workspace of an X11 session with an EWMH window manager. Follows
// _NET_ACTIVE_WINDOW through PropertyNotify events on the root window (no
// polling) on its own connection, and announces one activation per change of
// application. Windows of this process (_NET_WM_PID) never count as another
// application. Opening activates an existing window of the entry through the
// window manager, else launches the entry.
class X11Workspace final : public Workspace {
    Q_OBJECT
public:
    X11Workspace(std::unique_ptr<XcbConnection> connection, X11WorkspaceServices services,
                 QObject *parent = nullptr);
    ~X11Workspace() override;

    std::optional<RunningApplication> frontmostApplication() const override;
    bool openApplication(const QString &bundlePath) override;
    QImage iconForFile(const QString &path) const override;

    // Reads the events that have arrived; the socket notifier calls it, and
    // callers that wait for an event (tests, benchmarks) may too.
    void processPendingEvents();

signals:
    // The X server went away. Emitted once; nothing is tracked afterwards.
    void connectionLost();

private:
    void handle(const xcb_generic_event_t *event);
    void activeWindowChanged(bool announce);
    std::optional<RunningApplication> applicationOf(xcb_window_t window) const;
    bool isOwnWindow(xcb_window_t window) const;
    std::optional<xcb_window_t> windowOfEntry(const QString &entryPath) const;
    void logWindowManager() const;
    void checkConnection();

    std::unique_ptr<XcbConnection> m_x;
    X11WorkspaceServices m_services;
    X11WindowQuery m_inspector;
    ActivationFilter m_filter;
    std::unique_ptr<QSocketNotifier> m_notifier;
    xcb_timestamp_t m_lastEventTime = XCB_CURRENT_TIME;
    bool m_lost = false;
};

} // namespace nudgewatch
