#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"
#include "platform/x11/X11WindowQuery.h"
#include "platform/x11/XcbConnection.h"

#include <QSocketNotifier>
#include <QTimer>

#include <memory>

namespace nudgewatch {

// Busy in an X11 session: the active window (_NET_ACTIVE_WINDOW) is in
// fullscreen state (_NET_WM_STATE_FULLSCREEN). Both are followed through
// PropertyNotify events. Window managers pass through "no active window"
// between two windows, so that state is only believed after a short quiet
// spell. The program's own windows never count as fullscreen.
class X11FullscreenSource final : public PresenceSource {
    Q_OBJECT
public:
    X11FullscreenSource(std::unique_ptr<XcbConnection> connection, const Clock &clock,
                        QObject *parent = nullptr);
    ~X11FullscreenSource() override;

    QString name() const override { return QStringLiteral("X11 fullscreen"); }

    // Reads the events that have arrived; the socket notifier calls it.
    void processPendingEvents();

private:
    void handle(const xcb_generic_event_t *event);
    void activeWindowChanged();
    void watch(xcb_window_t window);
    bool isFullscreen(xcb_window_t window) const;
    void set(bool fullscreen);

    std::unique_ptr<XcbConnection> m_x;
    X11WindowQuery m_query;
    const Clock &m_clock;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_noActiveWindow;
    xcb_window_t m_watched = XCB_WINDOW_NONE;
    bool m_watchedIsOwn = false;
    bool m_fullscreen = false;
};

} // namespace nudgewatch
