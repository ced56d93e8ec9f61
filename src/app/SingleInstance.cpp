#include "app/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace nudgewatch {

namespace {
constexpr int askTimeoutMs = 3000;
const QByteArray activateRequest = QByteArrayLiteral("activate\n");
} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        m_bus = bus;
    else
        m_socketName = defaultSocketName();
}

SingleInstance::SingleInstance(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

SingleInstance::SingleInstance(const QString &socketName, QObject *parent)
    : QObject(parent), m_socketName(socketName)
{
}

SingleInstance::~SingleInstance()
{
    if (m_bus && m_bus->isConnected()) {
        m_bus->unregisterObject(QLatin1String(objectPath));
        m_bus->unregisterService(QLatin1String(serviceName));
    }
}

QString SingleInstance::defaultSocketName()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/nudgewatch.socket");
    return QStringLiteral("nudgewatch-%1").arg(getuid());
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
    QLocalSocket probe;
    probe.connectToServer(m_socketName);
    if (probe.waitForConnected(askTimeoutMs / 3)) {
        probe.write(activateRequest);
        probe.waitForBytesWritten(askTimeoutMs);
        probe.disconnectFromServer();
        return Role::Secondary;
    }
    // Nobody answers: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(m_socketName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketName)) {
        qWarning("nudgewatch: cannot listen on %s: %s", qPrintable(m_socketName),
                 qPrintable(m_server->errorString()));
        return Role::Primary;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                while (client->canReadLine()) {
                    if (client->readLine(64) == activateRequest)
                        emit activationRequested();
                }
                // Anything longer than a request is not from this program.
                if (client->bytesAvailable() > 64)
                    client->abort();
            });
        }
    });
    return Role::Primary;
}

} // namespace nudgewatch
