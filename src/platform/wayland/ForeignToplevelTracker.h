#pragma once

#include "core/FrontmostApplicationTracker.h"
#include "platform/ActivationFilter.h"
#include "platform/wayland/ToplevelFocus.h"

#include <memory>

struct wl_seat;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

namespace nudgewatch {

class DesktopEntryRegistry;
class WaylandConnection;

// The front application on compositors with foreign-toplevel management
// (sway, Hyprland, labwc, river, …), over the program's own Wayland connection:
// native windows name their app id, Xwayland ones their WM_CLASS class, and
// either is matched to a desktop entry as an X11 window would be. Decides after
// each batch of events and announces one activation per change of application.
// The program's own windows (on Xwayland) are the program itself.
class ForeignToplevelTracker final : public FrontmostApplicationTracker {
    Q_OBJECT
public:
    // Null, with the reason in `whyNot`, when the compositor does not offer the
    // protocol.
    static std::unique_ptr<ForeignToplevelTracker>
    create(WaylandConnection &wayland, const DesktopEntryRegistry &entries, QString *whyNot);
    ~ForeignToplevelTracker() override;

    std::optional<RunningApplication> frontmostApplication() const override { return m_front; }
    TrackerStatus status() const override;
    bool reportsFullscreen() const override { return true; }
    // Asks the compositor to activate the window of the entry at the standard
    // path given that was in front last; false when it has none.
    bool raiseWindowOf(const QString &entryPath);

private:
    ForeignToplevelTracker(WaylandConnection &wayland, zwlr_foreign_toplevel_manager_v1 *manager,
                           const DesktopEntryRegistry &entries);
    void listen(zwlr_foreign_toplevel_handle_v1 *handle);
    void decide(bool announce);
    RunningApplication applicationOf(const QString &appId) const;
    void stop();

    WaylandConnection &m_wayland;
    zwlr_foreign_toplevel_manager_v1 *m_manager;
    wl_seat *m_seat = nullptr;
    const DesktopEntryRegistry &m_entries;
    ToplevelFocus m_focus;
    ActivationFilter m_filter;
    std::optional<RunningApplication> m_front;
    bool m_fullscreen = false;

    friend struct ForeignToplevelListeners;
};

} // namespace nudgewatch
