#pragma once

// A D-Bus daemon of the test's own, with peers that own names, send signals
// and leave, and a way to wait until what they sent has reached a connection.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace nudgewatch::fakes {

class PrivateBus {
public:
    PrivateBus()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
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

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

} // namespace nudgewatch::fakes
