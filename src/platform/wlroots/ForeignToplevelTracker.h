#pragma once

#include "core/FrontmostApplicationTracker.h"
#include "core/WindowRaiser.h"
#include "platform/session/ActivationFilter.h"
#include "platform/wlroots/ToplevelFocus.h"

#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

struct wl_output;
struct wl_seat;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

namespace nudgewatch {

class DesktopEntryIndex;
class DesktopEntryRegistry;
class WaylandConnection;

// The application of a toplevel with that app id (empty when it had none
// usable): an unknown one, the program itself, or the entry it resolves to.
RunningApplication toplevelApplication(const DesktopEntryIndex &index, const QString &appId);

// The front application on compositors with foreign-toplevel management
// (sway, Hyprland, labwc, river, …), over the program's own Wayland connection:
// native windows name their app id, Xwayland ones their WM_CLASS class, and
// either is matched to a desktop entry as an X11 window would be. Decides after
// each batch of events and announces one activation per change of application.
// The program's own windows (on Xwayland) are the program itself. When the
// connection breaks, status() says so and it connects again, waiting longer
// after each failed attempt.
class ForeignToplevelTracker final : public FrontmostApplicationTracker, public WindowRaiser {
    Q_OBJECT
public:
    using Connect = std::function<std::unique_ptr<WaylandConnection>()>;

    // Null, with the reason in `whyNot`, when there is no compositor or it
    // does not offer the protocol.
    static std::unique_ptr<ForeignToplevelTracker>
    create(Connect connect, const DesktopEntryRegistry &entries, QString *whyNot);
    ~ForeignToplevelTracker() override;

    std::optional<RunningApplication> frontmostApplication() const override { return m_front; }
    TrackerStatus status() const override;
    bool reportsFullscreen() const override { return true; }
    // Asks the compositor to activate the window of the entry at the standard
    // path given that was in front last; false when it has none.
    bool raiseWindowOf(const QString &entryPath) override;
    // The name of the output that shows the window in front.
    FrontWindowPlace frontWindowPlace() const override;

private:
    ForeignToplevelTracker(Connect connect, const DesktopEntryRegistry &entries);
    // Binds the protocol over a new connection and reads the windows open.
    bool attach(std::unique_ptr<WaylandConnection> wayland, QString *whyNot);
    // Lets go of everything bound over the connection, and hands it back.
    std::unique_ptr<WaylandConnection> detach();
    void lost();
    void reconnect();
    void listen(zwlr_foreign_toplevel_handle_v1 *handle);
    void decide(bool announce);
    RunningApplication applicationOf(const QString &appId) const;
    void stop();

    Connect m_connect;
    std::unique_ptr<WaylandConnection> m_wayland;
    zwlr_foreign_toplevel_manager_v1 *m_manager = nullptr;
    wl_seat *m_seat = nullptr;
    // The compositor's outputs and their names (wl_output version 4 names them).
    std::vector<std::pair<wl_output *, QString>> m_outputs;
    const DesktopEntryRegistry &m_entries;
    ToplevelFocus m_focus;
    ActivationFilter m_filter;
    std::optional<RunningApplication> m_front;
    bool m_fullscreen = false;
    // While the connection is broken: why, and the attempts since.
    QString m_lossReason;
    int m_attempts = 0;
    std::chrono::steady_clock::time_point m_attachedAt;
    QTimer m_retry;

    friend struct ForeignToplevelListeners;
};

// How long to wait before connecting again after `failures` failed attempts
// (or quick losses): at once at first, then 0.5 s, doubling up to 16 s, then
// half a minute.
std::chrono::milliseconds reconnectDelay(int failures);

} // namespace nudgewatch
