#include "app/SingleInstance.h"

#include "app/LocalActivationSocket.h"
#include "platform/dbus/BusNames.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace nudgewatch {

namespace {
constexpr int askTimeoutMs = 3000;
} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent)
{
    if (std::optional<QDBusConnection> bus = runningSessionBus())
        m_bus = *bus;
    else {
        m_socketFolders = defaultSocketFolders();
        m_createFolder = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
    }
}

void useRunningSessionBusOnly()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    const QString address = !runtime.isEmpty() && QFileInfo(socket).exists()
                                ? QStringLiteral("unix:path=") + dbusAddressValue(socket)
                                : QStringLiteral("disabled:");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
}

std::optional<QDBusConnection> runningSessionBus()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty() || address == "disabled:")
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() ? std::optional(bus) : std::nullopt;
}

SingleInstance::SingleInstance(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

SingleInstance::SingleInstance(const QStringList &socketFolders, bool create, QObject *parent)
    : QObject(parent), m_socketFolders(socketFolders), m_createFolder(create)
{
}

SingleInstance::~SingleInstance()
{
    if (m_bus && m_bus->isConnected()) {
        m_bus->unregisterObject(QLatin1String(objectPath));
        m_bus->unregisterService(QLatin1String(serviceName));
    }
}

QStringList SingleInstance::defaultSocketFolders()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return {runtime};
    const QString name = QStringLiteral("/nudgewatch-%1").arg(::geteuid());
    // Anyone may take a name in the temporary folder first; nobody else can
    // in the user's own cache folder, whose file system may lack sockets.
    return {QDir::tempPath() + name,
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + name};
}

SingleInstance::Role SingleInstance::start()
{
    return m_bus ? startOnBus() : startOnSocket();
}

void SingleInstance::Activate()
{
    emit activationRequested();
}

SingleInstance::Role SingleInstance::startOnBus()
{
    // The object is there before the name, so a caller that sees the name can call it.
    m_bus->registerObject(QLatin1String(objectPath), this, QDBusConnection::ExportScriptableSlots);
    const auto reply = m_bus->interface()->registerService(
        QLatin1String(serviceName), QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return Role::Primary;
    m_bus->unregisterObject(QLatin1String(objectPath));
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(serviceName), QLatin1String(objectPath),
                                       QLatin1String(serviceName), QStringLiteral("Activate"));
    const QDBusMessage answer = m_bus->call(call, QDBus::BlockWithGui, askTimeoutMs);
    if (answer.type() == QDBusMessage::ErrorMessage)
        qWarning("nudgewatch: another instance owns %s but did not answer: %s", serviceName,
                 qPrintable(answer.errorMessage()));
    // Either way the name is taken: a second instance would track everything twice.
    m_bus.reset();
    return Role::Secondary;
}

SingleInstance::Role SingleInstance::startOnSocket()
{
    QStringList refused;
    for (const QString &folder : std::as_const(m_socketFolders)) {
        if (m_createFolder)
            QDir().mkpath(QFileInfo(folder).path()); // the cache folder's parents
        m_socket = new LocalActivationSocket(folder, this);
        QString error;
        const LocalActivationSocket::Election election = m_socket->elect(m_createFolder, &error);
        if (election == LocalActivationSocket::Election::Won) {
            if (!refused.isEmpty())
                qWarning("nudgewatch: %s; using %s instead", qPrintable(refused.join("; ")),
                         qPrintable(folder));
            return listenOnSocket();
        }
        if (election == LocalActivationSocket::Election::Lost) {
            // The lock holder is running: a second instance would track everything twice.
            if (!m_socket->sendActivation(askTimeoutMs))
                qWarning("nudgewatch: another instance runs but did not answer on %s",
                         qPrintable(m_socket->path()));
            return Role::Secondary;
        }
        refused.append(error);
        delete m_socket;
        m_socket = nullptr;
    }
    qWarning("nudgewatch: %s; running without the single-instance check",
             qPrintable(refused.join("; ")));
    return Role::Primary;
}

SingleInstance::Role SingleInstance::listenOnSocket()
{
    QString error;
    if (!m_socket->listen(&error)) {
        qWarning("nudgewatch: cannot listen on %s: %s", qPrintable(m_socket->path()),
                 qPrintable(error));
        return Role::Primary;
    }
    connect(m_socket, &LocalActivationSocket::activationRequested, this,
            &SingleInstance::activationRequested);
    return Role::Primary;
}

} // namespace nudgewatch
