#include "platform/x11/X11TraySelection.h"

#include "core/CReply.h"

namespace nudgewatch {

std::unique_ptr<X11TraySelection> X11TraySelection::open()
{
    std::unique_ptr<XcbConnection> x = XcbConnection::ofApplication();
    if (!x)
        x = XcbConnection::open();
    if (!x)
        return nullptr;
    return std::unique_ptr<X11TraySelection>(new X11TraySelection(std::move(x)));
}

X11TraySelection::X11TraySelection(std::unique_ptr<XcbConnection> x)
    : m_x(std::move(x)),
      m_selection(m_x->internAtom("_NET_SYSTEM_TRAY_S" + QByteArray::number(m_x->screenNumber()))),
      m_manager(m_x->internAtom("MANAGER"))
{
    connect(m_x.get(), &XcbConnection::eventArrived, this, &X11TraySelection::read);
    m_x->selectEvents(m_x->root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY);
}

bool X11TraySelection::held() const
{
    xcb_connection_t *c = m_x->connection();
    const auto reply =
        owned(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_selection), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
}

void X11TraySelection::read(const xcb_generic_event_t *event)
{
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return;
    const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
    if (message->type == m_manager && message->format == 32 &&
        message->data.data32[1] == m_selection)
        emit taken();
}

} // namespace nudgewatch
