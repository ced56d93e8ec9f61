#include "platform/appearance/XSettingsWatcher.h"

#include "platform/appearance/XSettingsData.h"
#include "platform/x11/XcbConnection.h"

#include <QSocketNotifier>

#include <cstdlib>

namespace nudgewatch {

namespace {

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t internAtom(xcb_connection_t *c, const QByteArray &name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

XSettingsWatcher::XSettingsWatcher(QObject *parent) : QObject(parent)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    m_x = XcbConnection::open();
    if (!m_x)
        return;
    xcb_connection_t *c = m_x->connection();
    m_selection = internAtom(c, "_XSETTINGS_S" + QByteArray::number(m_x->screenNumber()));
    m_property = internAtom(c, "_XSETTINGS_SETTINGS");
    m_manager = internAtom(c, "MANAGER");
    // A manager that starts later announces itself on the root window.
    const uint32_t rootMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, m_x->root(), XCB_CW_EVENT_MASK, &rootMask);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &XSettingsWatcher::handleEvents);
    findManager();
    xcb_flush(c);
}

XSettingsWatcher::~XSettingsWatcher() = default;

void XSettingsWatcher::findManager()
{
    xcb_connection_t *c = m_x->connection();
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_selection), nullptr));
    m_owner = owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
    if (m_owner != XCB_WINDOW_NONE) {
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, m_owner, XCB_CW_EVENT_MASK, &mask);
    }
    readSettings();
}

void XSettingsWatcher::readSettings()
{
    QHash<QString, QVariant> settings;
    if (m_owner != XCB_WINDOW_NONE) {
        xcb_connection_t *c = m_x->connection();
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, m_owner, m_property, m_property, 0, 1 << 20), nullptr));
        if (reply && reply->format == 8)
            settings = parseXSettings(
                QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get())));
    }
    if (settings == m_settings)
        return;
    m_settings = std::move(settings);
    emit changed();
}

void XSettingsWatcher::handleEvents()
{
    xcb_connection_t *c = m_x->connection();
    bool reread = false, refind = false;
    while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
        switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto *e = reinterpret_cast<xcb_property_notify_event_t *>(event.get());
            reread |= e->window == m_owner && e->atom == m_property;
            break;
        }
        case XCB_DESTROY_NOTIFY:
            refind |=
                reinterpret_cast<xcb_destroy_notify_event_t *>(event.get())->window == m_owner;
            break;
        case XCB_CLIENT_MESSAGE: {
            const auto *e = reinterpret_cast<xcb_client_message_event_t *>(event.get());
            refind |= e->type == m_manager && e->data.data32[1] == m_selection;
            break;
        }
        default:
            break;
        }
    }
    if (m_x->hasError()) {
        m_notifier->setEnabled(false); // the server went away: what was read stays
        return;
    }
    if (refind)
        findManager();
    else if (reread)
        readSettings();
    xcb_flush(c);
}

} // namespace nudgewatch
