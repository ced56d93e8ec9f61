#pragma once

// A D-Bus daemon of the test's own, with peers that own names, send signals
// and leave, and a way to wait until what they sent has reached a connection.
// Its configuration names no service folder: a bus started with the machine's
// session configuration would start the machine's own services (a desktop's
// notification daemon) in place of the peers a test brings.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

namespace nudgewatch::fakes {

class PrivateBus {
public:
    PrivateBus()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        QFile config(m_folder.filePath(QStringLiteral("bus.conf")));
        if (!m_folder.isValid() || !config.open(QIODevice::WriteOnly))
            return;
        config.write("<busconfig><type>session</type><listen>unix:dir=" +
                     QFile::encodeName(m_folder.path()) +
                     "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config.fileName(),
                        QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : std::as_const(m_connections))
            QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

    // A connection of its own under `name`, closed with the bus unless dropped.
    QDBusConnection connect(const QString &name)
    {
        m_connections.append(name);
        return QDBusConnection::connectToBus(m_address, name);
    }
    // Ends the connection once no copy of it is held any longer: the bus then
    // releases every name it owned.
    void drop(const QString &name)
    {
        m_connections.removeAll(name);
        QDBusConnection::disconnectFromBus(name);
    }

    // Returns once the bus has handled what `sender` sent and passed on to
    // `receiver` what it had for it (each answers a call in order).
    static void settle(QDBusConnection sender, QDBusConnection receiver)
    {
        for (QDBusConnection *bus : {&sender, &receiver})
            bus->call(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
    }
    // Lets calls, signals and answers travel both ways between two connections
    // and be handled.
    static void pump(QDBusConnection a, QDBusConnection b)
    {
        for (int i = 0; i < 10; ++i) {
            settle(a, b);
            settle(b, a);
            QCoreApplication::processEvents();
        }
    }

private:
    QTemporaryDir m_folder; // the configuration and the socket
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

// The connection under test and a peer's on a bus of their own.
struct BusPeers {
    PrivateBus bus;
    QDBusConnection own = bus.connect(QStringLiteral("own"));
    QDBusConnection peer = bus.connect(QStringLiteral("peer"));

    void pump() { PrivateBus::pump(own, peer.isConnected() ? peer : own); }
    // The peer's connection ends: the bus releases every name it owned.
    void leave()
    {
        peer = QDBusConnection(QStringLiteral("gone")); // the last hold on it
        bus.drop(QStringLiteral("peer"));
    }
};

} // namespace nudgewatch::fakes
