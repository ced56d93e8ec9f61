#pragma once

#include <QDBusMessage>
#include <QVariantList>

#include <optional>

namespace nudgewatch {

// A call of org.freedesktop.DBus.Properties.Get for one property.
QDBusMessage propertyGetCall(const QString &service, const QString &path, const QString &interface,
                             const QString &property);

// The arguments of a D-Bus message as plain Qt values: variants unwrapped,
// dictionaries as QVariantMap, string arrays as QStringList. Anything else is
// left as QtDBus gave it, which the readers below then reject: every peer is
// untrusted, so each reads only the exact types it expects.
QVariantList plainArguments(const QDBusMessage &message);

// A signal or reply whose first argument is a boolean (ActiveChanged(b),
// PrepareForSleep(b), a property's value); none for any other type.
std::optional<bool> booleanArgument(const QVariantList &arguments);

// PropertiesChanged(s interface, a{sv} changed, as invalidated): the new value
// of one boolean property, when it is among the changes with the right type.
std::optional<bool> changedBoolean(const QVariantList &arguments, const QString &interface,
                                   const QString &property);
// Whether the same signal names the property as changed without its value.
bool invalidates(const QVariantList &arguments, const QString &interface, const QString &property);

} // namespace nudgewatch
