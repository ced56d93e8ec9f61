#pragma once

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QSocketNotifier;

namespace nudgewatch {

// The single-instance channel where the session has no D-Bus: a Unix socket
// that only the user can reach. The first instance listens; a later one sends
// one "activate" line. Plain POSIX sockets: the program needs no network module
// (and none of its libraries) for this.
class LocalActivationSocket final : public QObject {
    Q_OBJECT
public:
    // `name` is a path, or a file name in the temporary folder.
    explicit LocalActivationSocket(const QString &name, QObject *parent = nullptr);
    ~LocalActivationSocket() override;

    // Asks a listening instance to show itself; false when none answers.
    bool sendActivation(int timeoutMs) const;
    // Listens, replacing a socket file nobody answers on; false on failure.
    bool listen(QString *error);

    const QString &path() const { return m_path; }

signals:
    void activationRequested();

private:
    struct Client;
    void acceptClients();
    void readClient(int fd);
    void closeClient(int fd);

    QString m_path;
    int m_listener = -1;
    std::unique_ptr<QSocketNotifier> m_listenerNotifier;
    std::map<int, std::unique_ptr<Client>> m_clients;
};

} // namespace nudgewatch
