#include "platform/x11/X11FrontmostTracker.h"

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/PlatformLog.h"

#include <QTimer>

#include <cstdlib>
#include <unistd.h>

namespace nudgewatch {

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};

} // namespace

X11FrontmostTracker::X11FrontmostTracker(std::unique_ptr<XcbConnection> connection,
                                         const DesktopEntryRegistry &entries, QObject *parent)
    : FrontmostApplicationTracker(parent), m_x(std::move(connection)), m_entries(entries),
      m_inspector(*m_x)
{
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_x->connection(), m_x->root(), XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_x->connection());
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_x->connection()),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this,
            &X11FrontmostTracker::processPendingEvents);
    logWindowManager();
    activeWindowChanged(false);
    // Replies read above may have queued events the socket will not announce again.
    QTimer::singleShot(0, this, &X11FrontmostTracker::processPendingEvents);
}

X11FrontmostTracker::~X11FrontmostTracker() = default;

std::optional<RunningApplication> X11FrontmostTracker::frontmostApplication() const
{
    return m_filter.current();
}

void X11FrontmostTracker::processPendingEvents()
{
    if (m_lost)
        return;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_x->connection())) {
        const std::unique_ptr<xcb_generic_event_t, FreeDeleter> owned(event);
        handle(event);
    }
    checkConnection();
}

void X11FrontmostTracker::handle(const xcb_generic_event_t *event)
{
    if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
        return;
    const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    if (property->window != m_x->root())
        return;
    m_lastEventTime = property->time;
    if (property->atom == m_x->ewmh()->_NET_ACTIVE_WINDOW) {
        activeWindowChanged(true);
    } else if (property->atom == m_x->ewmh()->_NET_SUPPORTING_WM_CHECK) {
        // A window manager left or (re)started: the new one sets the active
        // window afresh, and the selection on the root window stays.
        logWindowManager();
        activeWindowChanged(true);
    }
}

void X11FrontmostTracker::activeWindowChanged(bool announce)
{
    const std::optional<xcb_window_t> window = m_inspector.activeWindow();
    // No active window (every window minimised, an empty desktop): the last
    // application is left.
    std::optional<RunningApplication> application = unknownApplication();
    if (window)
        application = isOwnWindow(*window) ? ownApplication() : applicationOf(*window);
    const std::optional<RunningApplication> changed = m_filter.observe(application);
    if (changed && announce)
        emit activated(*changed);
}

std::optional<RunningApplication> X11FrontmostTracker::applicationOf(xcb_window_t window) const
{
    return resolveRunningApplication(m_entries.index(), m_inspector.factsChain(window));
}

bool X11FrontmostTracker::isOwnWindow(xcb_window_t window) const
{
    const std::optional<uint32_t> pid = m_inspector.processId(window);
    return pid && *pid == uint32_t(getpid());
}

std::optional<xcb_window_t> X11FrontmostTracker::windowOfEntry(const QString &entryPath) const
{
    const QList<xcb_window_t> windows = m_inspector.clientWindows();
    // Topmost first, so the window the user saw last is the one raised.
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (isOwnWindow(*it))
            continue;
        const std::optional<RunningApplication> application = applicationOf(*it);
        if (application && application->bundlePath == entryPath)
            return *it;
    }
    return std::nullopt;
}

bool X11FrontmostTracker::raiseWindowOf(const QString &entryPath)
{
    if (m_lost)
        return false;
    const std::optional<xcb_window_t> window = windowOfEntry(entryPath);
    if (window) {
        const xcb_window_t active = m_inspector.activeWindow().value_or(XCB_WINDOW_NONE);
        // Source indication 2: asked for on the user's behalf, as a pager does.
        xcb_ewmh_request_change_active_window(m_x->ewmh(), m_x->screenNumber(), *window,
                                              XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, m_lastEventTime,
                                              active);
        xcb_flush(m_x->connection());
    }
    // Replies read above may have queued events the socket will not announce again.
    QTimer::singleShot(0, this, &X11FrontmostTracker::processPendingEvents);
    return window.has_value();
}

void X11FrontmostTracker::logWindowManager() const
{
    xcb_window_t check = XCB_WINDOW_NONE;
    auto *ewmh = m_x->ewmh();
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, m_x->root()), &check, nullptr)) {
        qCDebug(lcPlatform) << "no EWMH window manager is running";
        return;
    }
    xcb_ewmh_get_utf8_strings_reply_t name;
    if (xcb_ewmh_get_wm_name_reply(ewmh, xcb_ewmh_get_wm_name(ewmh, check), &name, nullptr)) {
        qCDebug(lcPlatform) << "window manager:"
                            << QString::fromUtf8(name.strings, int(name.strings_len));
        xcb_ewmh_get_utf8_strings_reply_wipe(&name);
    }
}

void X11FrontmostTracker::checkConnection()
{
    if (m_lost || !m_x->hasError())
        return;
    m_lost = true;
    m_notifier->setEnabled(false);
    qCDebug(lcPlatform) << "the connection to the X server was lost";
    emit connectionLost();
}

} // namespace nudgewatch
