#pragma once

#include "core/FrontmostApplicationTracker.h"
#include "core/WindowRaiser.h"
#include "platform/ActivationFilter.h"
#include "platform/x11/X11WindowQuery.h"
#include "platform/x11/XcbConnection.h"

#include <QSocketNotifier>

#include <memory>

namespace nudgewatch {

class DesktopEntryRegistry;

// The front application of an X11 session with an EWMH window manager. Follows
// _NET_ACTIVE_WINDOW through PropertyNotify events on the root window (no
// polling) on its own connection, and announces one activation per change of
// application. A window of this process (_NET_WM_PID) is the program itself.
class X11FrontmostTracker final : public FrontmostApplicationTracker, public WindowRaiser {
    Q_OBJECT
public:
    X11FrontmostTracker(std::unique_ptr<XcbConnection> connection,
                        const DesktopEntryRegistry &entries, QObject *parent = nullptr);
    ~X11FrontmostTracker() override;

    std::optional<RunningApplication> frontmostApplication() const override;
    // Asks the window manager to activate the topmost window of the entry at
    // the standard path given; false when it has none.
    bool raiseWindowOf(const QString &entryPath) override;

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
    const DesktopEntryRegistry &m_entries;
    X11WindowQuery m_inspector;
    ActivationFilter m_filter;
    std::unique_ptr<QSocketNotifier> m_notifier;
    xcb_timestamp_t m_lastEventTime = XCB_CURRENT_TIME;
    bool m_lost = false;
};

} // namespace nudgewatch
