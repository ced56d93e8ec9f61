#include "platform/x11/X11ActiveWindow.h"

#include "platform/freedesktop/PlatformLog.h"

namespace nudgewatch {

X11ActiveWindow::X11ActiveWindow(XcbConnection &connection, QObject *parent)
    : QObject(parent), m_x(connection), m_query(connection)
{
    m_x.selectEvents(m_x.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
    connect(&m_x, &XcbConnection::eventArrived, this, &X11ActiveWindow::handle);
    logWindowManager();
    m_current = m_query.activeWindow();
    m_x.dispatchSoon();
}

void X11ActiveWindow::handle(const xcb_generic_event_t *event)
{
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return;
    const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    if (property->window != m_x.root())
        return;
    m_lastEventTime = property->time;
    const bool managerChanged = property->atom == m_x.ewmh()->_NET_SUPPORTING_WM_CHECK;
    if (property->atom != m_x.ewmh()->_NET_ACTIVE_WINDOW && !managerChanged)
        return;
    // A new window manager sets the active window afresh, and the selection on
    // the root window stays.
    if (managerChanged)
        logWindowManager();
    m_current = m_query.activeWindow();
    emit changed();
}

void X11ActiveWindow::logWindowManager() const
{
    xcb_window_t check = XCB_WINDOW_NONE;
    auto *ewmh = m_x.ewmh();
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, m_x.root()), &check, nullptr)) {
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

} // namespace nudgewatch
