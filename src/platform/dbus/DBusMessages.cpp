#include "platform/dbus/DBusMessages.h"

#include <QDBusArgument>
#include <QDBusVariant>

namespace nudgewatch {

namespace {

QVariant plain(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return plain(value.value<QDBusVariant>().variant());
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return value;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() == QLatin1String("a{sv}"))
        return qdbus_cast<QVariantMap>(argument);
    if (argument.currentSignature() == QLatin1String("as"))
        return qdbus_cast<QStringList>(argument);
    return value;
}

bool isBoolean(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<bool>();
}

bool isString(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QString>();
}

// PropertiesChanged's interface argument, when the signal has the right shape.
bool propertiesChangedOf(const QVariantList &arguments, const QString &interface)
{
    return arguments.size() >= 2 && isString(arguments[0]) && arguments[0].toString() == interface;
}

} // namespace

QDBusMessage propertyGetCall(const QString &service, const QString &path, const QString &interface,
                             const QString &property)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << interface << property;
    return call;
}

QVariantList plainArguments(const QDBusMessage &message)
{
    QVariantList arguments;
    for (const QVariant &argument : message.arguments())
        arguments.append(plain(argument));
    return arguments;
}

std::optional<bool> booleanArgument(const QVariantList &arguments)
{
    if (arguments.isEmpty() || !isBoolean(arguments[0]))
        return std::nullopt;
    return arguments[0].toBool();
}

std::optional<bool> changedBoolean(const QVariantList &arguments, const QString &interface,
                                   const QString &property)
{
    if (!propertiesChangedOf(arguments, interface) ||
        arguments[1].metaType() != QMetaType::fromType<QVariantMap>())
        return std::nullopt;
    const QVariantMap changed = arguments[1].toMap();
    const auto value = changed.constFind(property);
    if (value == changed.constEnd() || !isBoolean(*value))
        return std::nullopt;
    return value->toBool();
}

bool invalidates(const QVariantList &arguments, const QString &interface, const QString &property)
{
    return propertiesChangedOf(arguments, interface) && arguments.size() >= 3 &&
           arguments[2].metaType() == QMetaType::fromType<QStringList>() &&
           arguments[2].toStringList().contains(property);
}

} // namespace nudgewatch
