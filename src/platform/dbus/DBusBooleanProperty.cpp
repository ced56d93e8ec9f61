#include "platform/dbus/DBusBooleanProperty.h"

#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/PlatformLog.h"

#include <QDBusServiceWatcher>
#include <QTimer>

namespace nudgewatch {

namespace {

const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

DBusBooleanProperty::DBusBooleanProperty(QDBusConnection bus, const QString &service,
                                         const QString &path, const QString &interface,
                                         const QString &property, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)), m_service(service), m_path(path),
      m_interface(interface), m_property(property)
{
    // Once the event loop runs: subscribing waits on the bus for the service's
    // owner, which would hold up the first window.
    QTimer::singleShot(0, this, &DBusBooleanProperty::subscribe);
}

void DBusBooleanProperty::subscribe()
{
    m_watcher = std::make_unique<QDBusServiceWatcher>(m_service, m_bus,
                                                      QDBusServiceWatcher::WatchForOwnerChange);
    // Subscribed before the first read, so no change falls between the two.
    m_bus.connect(m_service, m_path, propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                  SLOT(onPropertiesChanged(QDBusMessage)));
    // The value was the old owner's; a new owner is asked for its own.
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                if (!oldOwner.isEmpty())
                    emit valueChanged(false);
                if (!newOwner.isEmpty())
                    read();
            });
    read();
}

DBusBooleanProperty::~DBusBooleanProperty()
{
    if (!m_watcher)
        return; // never subscribed
    m_bus.disconnect(m_service, m_path, propertiesInterface, QStringLiteral("PropertiesChanged"),
                     this, SLOT(onPropertiesChanged(QDBusMessage)));
}

void DBusBooleanProperty::onPropertiesChanged(const QDBusMessage &message)
{
    const QVariantList arguments = plainArguments(message);
    if (const std::optional<bool> value = changedBoolean(arguments, m_interface, m_property))
        emit valueChanged(*value);
    else if (invalidates(arguments, m_interface, m_property))
        read();
}

void DBusBooleanProperty::read()
{
    QDBusMessage get = propertyGetCall(m_service, m_path, m_interface, m_property);
    // Only a service already running answers: a notification server is not
    // started just to be asked whether it is quiet.
    get.setAutoStartService(false);
    callAsync(this, m_bus, get, [this](const QDBusMessage &reply) {
        if (reply.type() != QDBusMessage::ReplyMessage) {
            qCDebug(lcPlatform) << "no" << m_property << "from" << m_service << reply.errorName();
            return;
        }
        if (const std::optional<bool> value = booleanArgument(plainArguments(reply)))
            emit valueChanged(*value);
    });
}

} // namespace nudgewatch
