#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

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
// A path written into a D-Bus address ("unix:path=...").
QString dbusAddressPath(const QString &path);

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
    // Over a lock and a local socket in the given folder, which must be the
    // user's own with mode 0700; `create` makes it when it is missing.
    SingleInstance(const QString &socketFolder, bool create = false, QObject *parent = nullptr);
    ~SingleInstance() override;

    Role start();

    // The folder of the lock and socket used where there is no session bus:
    // XDG_RUNTIME_DIR, else a per-user folder in the temporary folder.
    static QString defaultSocketFolder();

public slots:
    // Called by a later launch.
    Q_SCRIPTABLE void Activate();

signals:
    void activationRequested();

private:
    Role startOnBus();
    Role startOnSocket();

    std::optional<QDBusConnection> m_bus;
    QString m_socketFolder;
    bool m_createFolder = false;
    LocalActivationSocket *m_socket = nullptr;
};

} // namespace nudgewatch
