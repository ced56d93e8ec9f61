#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace nudgewatch {

class LocalActivationSocket;

// Where DBUS_SESSION_BUS_ADDRESS is unset, points it at the user bus socket in
// XDG_RUNTIME_DIR if there is one, else disables the bus. Without this, libdbus
// (the tray, accessibility, this class) would "autolaunch" a private bus daemon
// that outlives the program. Call before the application object exists.
void useRunningSessionBusOnly();
// The session bus, if the session has one and it answers.
std::optional<QDBusConnection> runningSessionBus();

// Keeps the program to one instance per user session. The first instance owns
// a name on the session bus (or, without a bus, listens on a local socket); a
// later launch asks it to show its settings window and then ends.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.nudgewatch.Nudgewatch")
public:
    static constexpr const char *serviceName = "org.nudgewatch.Nudgewatch";
    static constexpr const char *objectPath = "/org/nudgewatch/Nudgewatch";

    enum class Role {
        Primary,   // this process is the one instance
        Secondary, // another instance runs and was asked to show its window
    };

    // Over the session bus when there is one, otherwise over the local socket.
    explicit SingleInstance(QObject *parent = nullptr);
    // Over the given bus connection.
    SingleInstance(const QDBusConnection &bus, QObject *parent = nullptr);
    // Over a lock and a local socket in the first of the given folders that is
    // the user's own with mode 0700; `create` makes one when it is missing.
    SingleInstance(const QStringList &socketFolders, bool create = false,
                   QObject *parent = nullptr);
    SingleInstance(const QString &socketFolder, bool create = false, QObject *parent = nullptr)
        : SingleInstance(QStringList{socketFolder}, create, parent)
    {
    }
    ~SingleInstance() override;

    Role start();

    // The folders for the lock and socket where there is no session bus:
    // XDG_RUNTIME_DIR, else a per-user folder in the temporary folder, then
    // (where another user took that name first) one in the user's cache folder.
    static QStringList defaultSocketFolders();

public slots:
    // Called by a later launch.
    Q_SCRIPTABLE void Activate();

signals:
    void activationRequested();

private:
    Role startOnBus();
    Role startOnSocket();
    Role listenOnSocket();

    std::optional<QDBusConnection> m_bus;
    QStringList m_socketFolders;
    bool m_createFolder = false;
    LocalActivationSocket *m_socket = nullptr;
};

} // namespace nudgewatch
