#include "platform/appearance/XSettingsWatcher.h"

#include "core/CReply.h"
#include "platform/appearance/XSettingsData.h"
#include "platform/xcb/XcbConnection.h"

namespace nudgewatch {

XSettingsWatcher::XSettingsWatcher(QObject *parent) : QObject(parent)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    m_x = XcbConnection::ofApplication();
    if (!m_x)
        m_x = XcbConnection::open();
    if (!m_x)
        return;
    m_selection = m_x->internAtom("_XSETTINGS_S" + QByteArray::number(m_x->screenNumber()));
    m_property = m_x->internAtom("_XSETTINGS_SETTINGS");
    m_manager = m_x->internAtom("MANAGER");
    // A manager that starts later announces itself on the root window.
    m_x->selectEvents(m_x->root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    connect(m_x.get(), &XcbConnection::eventArrived, this, &XSettingsWatcher::handle);
    findManager();
    m_x->dispatchSoon();
}

XSettingsWatcher::~XSettingsWatcher() = default;

void XSettingsWatcher::findManager()
{
    xcb_connection_t *c = m_x->connection();
    const auto owner =
        owned(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_selection), nullptr));
    m_owner = owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
    if (m_owner != XCB_WINDOW_NONE)
        m_x->selectEvents(m_owner,
                          XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    readSettings();
}

void XSettingsWatcher::readSettings()
{
    QHash<QString, QVariant> settings;
    if (m_owner != XCB_WINDOW_NONE) {
        xcb_connection_t *c = m_x->connection();
        const auto reply = owned(xcb_get_property_reply(
            c, xcb_get_property(c, 0, m_owner, m_property, m_property, 0, maximumBytes / 4),
            nullptr));
        // A property larger than any real one is no settings at all.
        if (reply && reply->format == 8 && reply->bytes_after == 0)
            settings = parseXSettings(
                QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get())));
    }
    if (settings == m_settings)
        return;
    m_settings = std::move(settings);
    emit changed();
}

void XSettingsWatcher::handle(const xcb_generic_event_t *event)
{
    switch (event->response_type & 0x7f) {
    case XCB_PROPERTY_NOTIFY: {
        const auto *e = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (e->window == m_owner && e->atom == m_property)
            m_read.request();
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window == m_owner)
            findManager();
        break;
    case XCB_CLIENT_MESSAGE: {
        const auto *e = reinterpret_cast<const xcb_client_message_event_t *>(event);
        if (e->type == m_manager && e->data.data32[1] == m_selection)
            findManager();
        break;
    }
    default:
        break;
    }
}

} // namespace nudgewatch
