#include "platform/x11/XcbConnection.h"

#include "platform/freedesktop/WindowResolver.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

// The process that listens at the other end of a local socket; 0 when unknown.
pid_t listenerOf(int socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 ? peer.pid : 0;
}

// A local socket, closed when it goes.
struct LocalSocket {
    LocalSocket() = default;
    LocalSocket(const LocalSocket &) = delete;
    LocalSocket &operator=(const LocalSocket &) = delete;
    ~LocalSocket()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
};

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

bool XcbConnection::servedByXwayland() const
{
    return servedByXwayland(xcb_get_file_descriptor(m_connection),
                            qEnvironmentVariable("XDG_RUNTIME_DIR"));
}

bool XcbConnection::servedByXwayland(int xSocket, const QString &runtimeFolder)
{
    // Xwayland 22.1 names itself in no reply (no extension of its own, the
    // vendor of any X.Org server). But the process listening for X clients is
    // Xwayland itself, or the compositor that started it and also listens for
    // Wayland clients (sway, KWin, GNOME Shell hand it their sockets).
    const pid_t server = listenerOf(xSocket);
    if (server <= 0)
        return false;
    if (QFileInfo(executableOfProcess(server)).fileName() == QLatin1String("Xwayland"))
        return true;
    const QDir folder(runtimeFolder);
    for (const QString &name : folder.entryList({QStringLiteral("wayland-*")}, QDir::System)) {
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        sockaddr_un address{};
        if (size_t(path.size()) >= sizeof address.sun_path)
            continue;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const LocalSocket wayland;
        if (::connect(wayland.fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) ==
                0 &&
            listenerOf(wayland.fd) == server)
            return true;
    }
    return false;
}

} // namespace nudgewatch
