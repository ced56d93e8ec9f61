#include "platform/xcb/XcbConnection.h"

#include "core/CReply.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/freedesktop/WindowResolver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>

#include <cstdlib>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

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

std::unique_ptr<XcbConnection> XcbConnection::ofApplication()
{
    // Checked, not cast: a command-line tool's application is no QGuiApplication.
    auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return nullptr;
    // Qt's default screen, as it parsed it from $DISPLAY.
    int screen = 0;
    char *host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) != 0)
        std::free(host);
    std::unique_ptr<XcbConnection> result(new XcbConnection(x11->connection(), screen, Owner::Qt));
    if (!result->initialize())
        return nullptr;
    return result;
}

XcbConnection::XcbConnection(xcb_connection_t *connection, int screen, Owner owner)
    : m_connection(connection), m_screen(screen), m_owner(owner)
{
}

XcbConnection::~XcbConnection()
{
    m_notifier.reset();
    if (m_ewmhReady)
        xcb_ewmh_connection_wipe(&m_ewmh);
    if (m_owner == Owner::Own)
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
    gtkApplicationId = internAtom("_GTK_APPLICATION_ID");
    kdeDesktopFile = internAtom("_KDE_NET_WM_DESKTOP_FILE");
    if (m_owner == Owner::Qt) {
        // Removed again by the filter's own destructor.
        QCoreApplication::instance()->installNativeEventFilter(this);
        return !hasError();
    }
    m_notifier.emplace(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(&*m_notifier, &QSocketNotifier::activated, this, &XcbConnection::dispatch);
    return !hasError();
}

xcb_atom_t XcbConnection::internAtom(const QByteArray &name) const
{
    const auto reply = owned(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void XcbConnection::selectEvents(xcb_window_t window, uint32_t mask)
{
    // A connection has one event mask per window: on Qt's, what Qt selects
    // stays selected, or its own windows and the root would go deaf.
    if (m_owner == Owner::Qt) {
        const auto attributes = owned(xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
        if (!attributes)
            return;
        mask |= attributes->your_event_mask;
    }
    // A window that is already gone answers BadWindow, which changes nothing here.
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

bool XcbConnection::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType == "xcb_generic_event_t")
        emit eventArrived(static_cast<const xcb_generic_event_t *>(message));
    return false;
}

void XcbConnection::dispatchSoon()
{
    // Qt reads the events of its own connection, queued ones too.
    if (m_dispatchQueued || m_owner == Owner::Qt)
        return;
    m_dispatchQueued = true;
    QTimer::singleShot(0, this, &XcbConnection::dispatch);
}

void XcbConnection::dispatch()
{
    m_dispatchQueued = false;
    if (!m_notifier->isEnabled())
        return;
    // Handlers may read replies, which queue further events: the loop takes those too.
    while (const auto event = owned(xcb_poll_for_event(m_connection)))
        emit eventArrived(event.get());
    xcb_flush(m_connection);
    if (hasError()) {
        m_notifier->setEnabled(false);
        qCDebug(lcPlatform) << "the connection to the X server was lost";
        emit lost();
    }
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
    if (runtimeFolder.isEmpty())
        return false;
    const QDir folder(runtimeFolder);
    // Matched by hand: a name filter compiles a regular expression, whose
    // engine would then stay in memory for the life of the program.
    for (const QString &name : folder.entryList(QDir::System)) {
        if (!name.startsWith(QLatin1String("wayland-")))
            continue;
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
