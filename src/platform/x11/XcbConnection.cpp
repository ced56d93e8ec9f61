#include "platform/x11/XcbConnection.h"

#include <cstdlib>
#include <cstring>

namespace nudgewatch {

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (reply == nullptr)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

std::unique_ptr<XcbConnection> XcbConnection::open(const QByteArray &displayName)
{
    int screen = 0;
    xcb_connection_t *connection =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screen);
    std::unique_ptr<XcbConnection> result(new XcbConnection(connection, screen));
    if (!result->initialize())
        return nullptr;
    return result;
}

XcbConnection::XcbConnection(xcb_connection_t *connection, int screen)
    : m_connection(connection), m_screen(screen)
{
}

XcbConnection::~XcbConnection()
{
    if (m_ewmhReady)
        xcb_ewmh_connection_wipe(&m_ewmh);
    xcb_disconnect(m_connection);
}

bool XcbConnection::initialize()
{
    if (m_connection == nullptr || hasError())
        return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < m_screen && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return false;
    m_root = screens.data->root;
    xcb_intern_atom_cookie_t *cookies = xcb_ewmh_init_atoms(m_connection, &m_ewmh);
    m_ewmhReady = xcb_ewmh_init_atoms_replies(&m_ewmh, cookies, nullptr) != 0;
    if (!m_ewmhReady)
        return false;
    gtkApplicationId = internAtom(m_connection, "_GTK_APPLICATION_ID");
    kdeDesktopFile = internAtom(m_connection, "_KDE_NET_WM_DESKTOP_FILE");
    return !hasError();
}

} // namespace nudgewatch
