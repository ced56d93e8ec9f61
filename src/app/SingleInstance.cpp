#include "app/SingleInstance.h"

#include "app/LocalActivationSocket.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>

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
        m_socketFolder = defaultSocketFolder();
        m_createFolder = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
    }
}

QString dbusAddressPath(const QString &path)
{
    // Bytes outside this set are written as %XX in a D-Bus address.
    static const QByteArray plain =
        QByteArrayLiteral("-_/.*0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString escaped;
    for (const char byte : path.toUtf8()) {
        if (plain.contains(byte))
            escaped += QLatin1Char(byte);
        else
            escaped +=
                QLatin1Char('%') + QStringLiteral("%1").arg(uchar(byte), 2, 16, QLatin1Char('0'));
    }
    return escaped;
}

void useRunningSessionBusOnly()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    const QString address = !runtime.isEmpty() && QFileInfo(socket).exists()
                                ? QStringLiteral("unix:path=") + dbusAddressPath(socket)
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

SingleInstance::SingleInstance(const QString &socketFolder, bool create, QObject *parent)
    : QObject(parent), m_socketFolder(socketFolder), m_createFolder(create)
{
}

SingleInstance::~SingleInstance()
{
    if (m_bus && m_bus->isConnected()) {
        m_bus->unregisterObject(QLatin1String(objectPath));
        m_bus->unregisterService(QLatin1String(serviceName));
    }
}

QString SingleInstance::defaultSocketFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime;
    return QDir::tempPath() + QStringLiteral("/nudgewatch-%1").arg(::geteuid());
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
    m_socket = new LocalActivationSocket(m_socketFolder, this);
    QString error;
    switch (m_socket->elect(m_createFolder, &error)) {
    case LocalActivationSocket::Election::Lost:
        // The lock holder is running: a second instance would track everything twice.
        if (!m_socket->sendActivation(askTimeoutMs))
            qWarning("nudgewatch: another instance runs but did not answer on %s",
                     qPrintable(m_socket->path()));
        return Role::Secondary;
    case LocalActivationSocket::Election::Failed:
        qWarning("nudgewatch: %s; running without the single-instance check", qPrintable(error));
        delete m_socket;
        m_socket = nullptr;
        return Role::Primary;
    case LocalActivationSocket::Election::Won:
        break;
    }
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
