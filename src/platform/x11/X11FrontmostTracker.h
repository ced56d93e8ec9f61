#pragma once

#include "core/FrontmostApplicationTracker.h"
#include "core/WindowRaiser.h"
#include "platform/session/ActivationFilter.h"
#include "platform/x11/X11WindowQuery.h"

namespace nudgewatch {

class DesktopEntryRegistry;
class X11ActiveWindow;

// The front application of an X11 session with an EWMH window manager:
// announces one activation per change of application as the active window
// changes. A window of this process (_NET_WM_PID) is the program itself; a
// window that names no application is the unknown one.
class X11FrontmostTracker final : public FrontmostApplicationTracker, public WindowRaiser {
    Q_OBJECT
public:
    X11FrontmostTracker(XcbConnection &connection, X11ActiveWindow &active,
                        const DesktopEntryRegistry &entries, QObject *parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() const override;
    // Asks the window manager to activate the topmost window of the entry at
    // the standard path given; false when it has none.
    bool raiseWindowOf(const QString &entryPath) override;

private:
    void activeWindowChanged(bool announce);
    RunningApplication applicationOf(xcb_window_t window) const;

    XcbConnection &m_x;
    X11ActiveWindow &m_active;
    const DesktopEntryRegistry &m_entries;
    X11WindowQuery m_query;
    ActivationFilter m_filter;
};

} // namespace nudgewatch
