#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QLocalServer;

namespace nudgewatch {

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
    // Over a local socket of the given name or path.
    SingleInstance(const QString &socketName, QObject *parent = nullptr);
    ~SingleInstance() override;

    Role start();

    // The socket used where there is no session bus: in the user's runtime
    // folder, else a per-user name in the temporary folder.
    static QString defaultSocketName();

public slots:
    // Called by a later launch.
    Q_SCRIPTABLE void Activate();

signals:
    void activationRequested();

private:
    Role startOnBus();
    Role startOnSocket();

    std::optional<QDBusConnection> m_bus;
    QString m_socketName;
    QLocalServer *m_server = nullptr;
};

} // namespace nudgewatch
