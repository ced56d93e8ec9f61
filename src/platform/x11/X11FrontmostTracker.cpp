#include "platform/x11/X11FrontmostTracker.h"

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/x11/X11ActiveWindow.h"

namespace nudgewatch {

X11FrontmostTracker::X11FrontmostTracker(XcbConnection &connection, X11ActiveWindow &active,
                                         const DesktopEntryRegistry &entries, QObject *parent)
    : FrontmostApplicationTracker(parent), m_x(connection), m_active(active), m_entries(entries),
      m_query(connection)
{
    connect(&m_active, &X11ActiveWindow::changed, this, [this] { activeWindowChanged(true); });
    activeWindowChanged(false);
    m_x.dispatchSoon();
}

std::optional<RunningApplication> X11FrontmostTracker::frontmostApplication() const
{
    return m_filter.current();
}

void X11FrontmostTracker::activeWindowChanged(bool announce)
{
    const std::optional<xcb_window_t> window = m_active.current();
    // No active window (every window minimised, an empty desktop): the last
    // application is left.
    RunningApplication application = unknownApplication();
    if (window)
        application = m_query.isOwnWindow(*window) ? ownApplication() : applicationOf(*window);
    const std::optional<RunningApplication> changed = m_filter.observe(application);
    if (changed && announce)
        emit activated(*changed);
}

RunningApplication X11FrontmostTracker::applicationOf(xcb_window_t window) const
{
    const RunningApplication application =
        resolveRunningApplication(m_entries.index(), m_query.factsChain(window));
    // Neither an entry nor WM_CLASS: as unknown as an empty desktop, not a nameless application.
    return application.localizedName || application.bundlePath ? application : unknownApplication();
}

bool X11FrontmostTracker::raiseWindowOf(const QString &entryPath)
{
    if (m_x.hasError())
        return false;
    const QList<xcb_window_t> windows = m_query.clientWindows();
    // Topmost first, so the window the user saw last is the one raised.
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (m_query.isOwnWindow(*it) || applicationOf(*it).bundlePath != entryPath)
            continue;
        // Source indication 2: asked for on the user's behalf, as a pager does.
        xcb_ewmh_request_change_active_window(
            m_x.ewmh(), m_x.screenNumber(), *it, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
            m_active.lastEventTime(), m_active.current().value_or(XCB_WINDOW_NONE));
        xcb_flush(m_x.connection());
        m_x.dispatchSoon();
        return true;
    }
    m_x.dispatchSoon();
    return false;
}

} // namespace nudgewatch
