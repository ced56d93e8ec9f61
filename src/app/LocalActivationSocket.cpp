#include "app/LocalActivationSocket.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

const QByteArray activateRequest = QByteArrayLiteral("activate\n");
// Anything longer than a request is not from this program.
constexpr qsizetype longestRequest = 64;
// How long accepting pauses when the process has no descriptor to spare.
constexpr int noDescriptorPauseMs = 200;
// How often a later launch retries while the instance is still binding.
constexpr int connectRetryMs = 10;

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

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Timeouts for a blocking socket's connect and send.
void setSendTimeout(int fd, int ms)
{
    const timeval timeout{ms / 1000, (ms % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

} // namespace

struct LocalActivationSocket::Client {
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> idle;
    QByteArray pending;
    unsigned long order = 0;
};

LocalActivationSocket::LocalActivationSocket(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder)
{
}

LocalActivationSocket::~LocalActivationSocket()
{
    while (!m_clients.empty())
        closeClient(m_clients.begin()->first);
    if (m_listener >= 0) {
        m_listenerNotifier.reset();
        ::close(m_listener);
        ::unlink(QFile::encodeName(path()).constData()); // still holding the lock
    }
    if (m_lock >= 0)
        ::close(m_lock);
}

QString LocalActivationSocket::path() const
{
    return m_folder + QStringLiteral("/nudgewatch.socket");
}

LocalActivationSocket::Election LocalActivationSocket::elect(bool create, QString *error)
{
    const QByteArray folder = QFile::encodeName(m_folder);
    if (create && ::mkdir(folder.constData(), S_IRWXU) != 0 && errno != EEXIST) {
        *error = QStringLiteral("cannot create %1: %2").arg(m_folder, systemError());
        return Election::Failed;
    }
    // Another user's folder, or a link to one, would let that user answer for us.
    struct stat info;
    if (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || (info.st_mode & 07777) != S_IRWXU) {
        *error =
            QStringLiteral("%1 is not a folder of this user's alone (mode 0700)").arg(m_folder);
        return Election::Failed;
    }
    const QByteArray lock = folder + "/nudgewatch.lock";
    m_lock = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (m_lock < 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(QFile::decodeName(lock), systemError());
        return Election::Failed;
    }
    if (::flock(m_lock, LOCK_EX | LOCK_NB) == 0)
        return Election::Won;
    const bool held = errno == EWOULDBLOCK;
    if (!held)
        *error = QStringLiteral("cannot lock %1: %2").arg(QFile::decodeName(lock), systemError());
    ::close(m_lock);
    m_lock = -1;
    return held ? Election::Lost : Election::Failed;
}

bool LocalActivationSocket::sendActivation(int timeoutMs) const
{
    sockaddr_un address;
    if (!socketAddress(path(), &address))
        return false;
    const QByteArray encoded = QFile::encodeName(path());
    const uid_t user = ::geteuid();
    for (int waited = 0;; waited += connectRetryMs) {
        // Only a socket of this user's, and only a listener run by this user.
        struct stat info;
        const bool exists = ::lstat(encoded.constData(), &info) == 0;
        if (exists && (!S_ISSOCK(info.st_mode) || info.st_uid != user))
            return false;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        // A full backlog makes connect wait for room, up to this.
        setSendTimeout(fd, std::max(timeoutMs - waited, 1));
        if (exists && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
            ucred peer{};
            socklen_t length = sizeof peer;
            const bool sent =
                ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
                peer.uid == user &&
                ::send(fd, activateRequest.constData(), std::size_t(activateRequest.size()),
                       MSG_NOSIGNAL) == activateRequest.size();
            ::close(fd);
            return sent;
        }
        const int failure = exists ? errno : ENOENT;
        ::close(fd);
        // Not there yet, or not listening yet: the instance is still binding.
        if ((failure != ENOENT && failure != ECONNREFUSED) || waited >= timeoutMs)
            return false;
        ::poll(nullptr, 0, connectRetryMs);
    }
}

bool LocalActivationSocket::listen(QString *error)
{
    sockaddr_un address;
    if (!socketAddress(path(), &address)) {
        *error = QStringLiteral("the socket path is too long");
        return false;
    }
    const QByteArray encoded = QFile::encodeName(path());
    // This process holds the lock: a socket file there is left by an ended instance.
    ::unlink(encoded.constData());
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const bool listening =
        m_listener >= 0 &&
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::chmod(encoded.constData(), S_IRUSR | S_IWUSR) == 0 &&
        ::listen(m_listener, SOMAXCONN) == 0;
    if (!listening) {
        *error = systemError();
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
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // The connection stays queued; asking again at once would only spin.
                m_listenerNotifier->setEnabled(false);
                QTimer::singleShot(noDescriptorPauseMs, this,
                                   [this] { m_listenerNotifier->setEnabled(true); });
            }
            return;
        }
        // A request comes right after connecting: the oldest, idle connection makes room.
        if (m_clients.size() >= std::size_t(maxClients)) {
            const auto oldest = std::min_element(
                m_clients.begin(), m_clients.end(),
                [](const auto &a, const auto &b) { return a.second->order < b.second->order; });
            closeClient(oldest->first);
        }
        auto client = std::make_unique<Client>();
        client->order = m_accepted++;
        client->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(client->notifier.get(), &QSocketNotifier::activated, this,
                [this, fd] { readClient(fd); });
        client->idle = std::make_unique<QTimer>();
        client->idle->setSingleShot(true);
        connect(client->idle.get(), &QTimer::timeout, this, [this, fd] { closeClient(fd); });
        client->idle->start(idleClientMs);
        m_clients[fd] = std::move(client);
        readClient(fd);
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
    const std::unique_ptr<Client> client = std::move(it->second);
    m_clients.erase(it);
    client->notifier.reset();
    ::close(fd);
}

} // namespace nudgewatch
