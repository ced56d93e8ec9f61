#include "platform/x11/X11WindowQuery.h"

#include "core/CReply.h"

#include <xcb/xcb_icccm.h>

#include <tuple>
#include <unistd.h>

namespace nudgewatch {

namespace {

// Transient chains are short; the bound guards against loops a client made.
constexpr int maximumChainLength = 8;
constexpr uint32_t longestProperty = 1024;

} // namespace

std::pair<QString, QString> splitWmClass(QByteArrayView value)
{
    const qsizetype nul = value.indexOf('\0');
    const QByteArrayView instance = nul < 0 ? value : value.first(nul);
    const QByteArrayView rest = nul < 0 ? QByteArrayView() : value.sliced(nul + 1);
    const qsizetype classNul = rest.indexOf('\0');
    const QByteArrayView wmClass = classNul < 0 ? rest : rest.first(classNul);
    return {QString::fromUtf8(instance), QString::fromUtf8(wmClass)};
}

QString X11WindowQuery::utf8Property(xcb_get_property_cookie_t cookie) const
{
    const auto reply = owned(xcb_get_property_reply(m_x.connection(), cookie, nullptr));
    if (!reply || reply->format != 8)
        return {};
    QString value =
        QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    // Some clients include the terminating NUL in the length.
    while (value.endsWith(QChar(0)))
        value.chop(1);
    return value;
}

X11WindowQuery::Single X11WindowQuery::read(xcb_window_t window) const
{
    xcb_connection_t *c = m_x.connection();
    const auto classCookie =
        xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, longestProperty);
    const auto transientCookie = xcb_icccm_get_wm_transient_for(c, window);
    const auto pidCookie = xcb_ewmh_get_wm_pid(m_x.ewmh(), window);
    const auto gtkCookie = xcb_get_property(c, 0, window, m_x.gtkApplicationId,
                                            XCB_GET_PROPERTY_TYPE_ANY, 0, longestProperty);
    const auto kdeCookie = xcb_get_property(c, 0, window, m_x.kdeDesktopFile,
                                            XCB_GET_PROPERTY_TYPE_ANY, 0, longestProperty);

    Single single;
    // Read and split here, within the reply's own length: a client may send
    // names longer than was read, or without their terminating NULs.
    if (const auto reply = owned(xcb_get_property_reply(c, classCookie, nullptr));
        reply && reply->format == 8) {
        std::tie(single.facts.wmInstance, single.facts.wmClass) = splitWmClass(
            QByteArrayView(static_cast<const char *>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get())));
    }
    if (!xcb_icccm_get_wm_transient_for_reply(c, transientCookie, &single.transientFor, nullptr))
        single.transientFor = XCB_WINDOW_NONE;
    uint32_t pid = 0;
    if (xcb_ewmh_get_wm_pid_reply(m_x.ewmh(), pidCookie, &pid, nullptr))
        addProcessFacts(single.facts, pid);
    single.facts.gtkApplicationId = utf8Property(gtkCookie);
    single.facts.kdeDesktopFile = utf8Property(kdeCookie);
    return single;
}

QList<WindowFacts> X11WindowQuery::factsChain(xcb_window_t window) const
{
    QList<WindowFacts> chain;
    QList<xcb_window_t> seen;
    while (window != XCB_WINDOW_NONE && chain.size() < maximumChainLength &&
           !seen.contains(window)) {
        seen.append(window);
        const Single single = read(window);
        chain.append(single.facts);
        window =
            single.transientFor == m_x.root() ? xcb_window_t(XCB_WINDOW_NONE) : single.transientFor;
    }
    return chain;
}

bool X11WindowQuery::isOwnWindow(xcb_window_t window) const
{
    uint32_t pid = 0;
    return xcb_ewmh_get_wm_pid_reply(m_x.ewmh(), xcb_ewmh_get_wm_pid(m_x.ewmh(), window), &pid,
                                     nullptr) &&
           pid == uint32_t(getpid());
}

std::optional<xcb_window_t> X11WindowQuery::activeWindow() const
{
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_active_window_reply(
            m_x.ewmh(), xcb_ewmh_get_active_window(m_x.ewmh(), m_x.screenNumber()), &window,
            nullptr))
        return std::nullopt;
    if (window == XCB_WINDOW_NONE || window == m_x.root())
        return std::nullopt;
    return window;
}

QList<xcb_window_t> X11WindowQuery::clientWindows() const
{
    QList<xcb_window_t> windows;
    xcb_ewmh_get_windows_reply_t reply;
    if (xcb_ewmh_get_client_list_stacking_reply(
            m_x.ewmh(), xcb_ewmh_get_client_list_stacking(m_x.ewmh(), m_x.screenNumber()), &reply,
            nullptr) ||
        xcb_ewmh_get_client_list_reply(m_x.ewmh(),
                                       xcb_ewmh_get_client_list(m_x.ewmh(), m_x.screenNumber()),
                                       &reply, nullptr)) {
        for (uint32_t i = 0; i < reply.windows_len; ++i)
            windows.append(reply.windows[i]);
        xcb_ewmh_get_windows_reply_wipe(&reply);
    }
    return windows;
}

} // namespace nudgewatch
