#include "app/LocalActivationSocket.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

const QByteArray activateRequest = QByteArrayLiteral("activate\n");
// Anything longer than a request is not from this program.
constexpr qsizetype longestRequest = 64;

bool socketAddress(const QString &path, sockaddr_un *address)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (encoded.isEmpty() || std::size_t(encoded.size()) >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, encoded.constData(), std::size_t(encoded.size()));
    return true;
}

} // namespace

struct LocalActivationSocket::Client {
    std::unique_ptr<QSocketNotifier> notifier;
    QByteArray pending;
};

LocalActivationSocket::LocalActivationSocket(const QString &name, QObject *parent)
    : QObject(parent),
      m_path(name.startsWith(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name)
{
}

LocalActivationSocket::~LocalActivationSocket()
{
    while (!m_clients.empty())
        closeClient(m_clients.begin()->first);
    if (m_listener >= 0) {
        m_listenerNotifier.reset();
        ::close(m_listener);
        ::unlink(QFile::encodeName(m_path).constData());
    }
}

bool LocalActivationSocket::sendActivation(int timeoutMs) const
{
    sockaddr_un address;
    if (!socketAddress(m_path, &address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (!connected && (errno == EAGAIN || errno == EINPROGRESS)) {
        // The listener's backlog is full: wait a little for room.
        pollfd writable{fd, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        connected = ::poll(&writable, 1, timeoutMs) == 1 &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    bool sent = false;
    if (connected) {
        pollfd writable{fd, POLLOUT, 0};
        sent = ::poll(&writable, 1, timeoutMs) == 1 &&
               ::send(fd, activateRequest.constData(), std::size_t(activateRequest.size()),
                      MSG_NOSIGNAL) == activateRequest.size();
    }
    ::close(fd);
    return sent;
}

bool LocalActivationSocket::listen(QString *error)
{
    sockaddr_un address;
    if (!socketAddress(m_path, &address)) {
        *error = QStringLiteral("the socket path is too long");
        return false;
    }
    const QByteArray encoded = QFile::encodeName(m_path);
    // Nobody answered on it: a socket file left by a crashed instance is stale.
    ::unlink(encoded.constData());
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const bool listening =
        m_listener >= 0 &&
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::chmod(encoded.constData(), S_IRUSR | S_IWUSR) == 0 && ::listen(m_listener, 8) == 0;
    if (!listening) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return false;
    }
    m_listenerNotifier = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
    connect(m_listenerNotifier.get(), &QSocketNotifier::activated, this,
            &LocalActivationSocket::acceptClients);
    return true;
}

void LocalActivationSocket::acceptClients()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        auto client = std::make_unique<Client>();
        client->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(client->notifier.get(), &QSocketNotifier::activated, this,
                [this, fd] { readClient(fd); });
        m_clients[fd] = std::move(client);
    }
}

void LocalActivationSocket::readClient(int fd)
{
    const auto it = m_clients.find(fd);
    if (it == m_clients.end())
        return;
    QByteArray &pending = it->second->pending;
    char buffer[256];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            pending.append(buffer, qsizetype(got));
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const bool request = pending.left(end + 1) == activateRequest;
                pending.remove(0, end + 1);
                if (request)
                    emit activationRequested();
            }
            if (pending.size() > longestRequest) {
                closeClient(fd);
                return;
            }
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        closeClient(fd); // the sender is done, or the connection failed
        return;
    }
}

void LocalActivationSocket::closeClient(int fd)
{
    const auto it = m_clients.find(fd);
    if (it == m_clients.end())
        return;
    it->second->notifier.reset();
    m_clients.erase(it);
    ::close(fd);
}

} // namespace nudgewatch
