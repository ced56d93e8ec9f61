#pragma once

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace nudgewatch {

// The single-instance channel where the session has no D-Bus: a lock file and
// a Unix socket in a folder only the user can enter. The launch that takes the
// lock is the one instance and listens; a later one sends one "activate" line.
// Plain POSIX sockets, by hand on purpose: Qt 6.4's QLocalServer closes itself
// and removes its socket file when accept() fails for want of a descriptor, so
// a burst of connections would silently end single instance and lose the
// waiting activation; this loop keeps listening and answers it.
class LocalActivationSocket final : public QObject {
    Q_OBJECT
public:
    static constexpr int maxClients = 16;
    static constexpr int idleClientMs = 2000;

    enum class Election {
        Won,    // this process holds the lock: the one instance
        Lost,   // another process holds it
        Failed, // the folder is not the user's own and private, or the lock failed
    };

    // `folder` holds the lock and the socket; it must be a directory owned by
    // the user with mode 0700 (not a symlink).
    explicit LocalActivationSocket(const QString &folder, QObject *parent = nullptr);
    ~LocalActivationSocket() override;

    // Creates the folder if `create` and it is missing, checks it, then tries
    // the lock, which is held for the life of this object when won.
    Election elect(bool create, QString *error);
    // After losing: asks the winner to show itself, waiting while it is still
    // setting up. False when no process of this user answers within the time.
    bool sendActivation(int timeoutMs) const;
    // After winning: listens, replacing a socket file left by an ended instance.
    bool listen(QString *error);

    QString path() const;

signals:
    void activationRequested();

private:
    struct Client;
    void acceptClients();
    void readClient(int fd);
    void closeClient(int fd);

    QString m_folder;
    int m_lock = -1;
    int m_listener = -1;
    std::unique_ptr<QSocketNotifier> m_listenerNotifier;
    std::map<int, std::unique_ptr<Client>> m_clients;
    unsigned long m_accepted = 0; // orders clients, oldest first
};

} // namespace nudgewatch
