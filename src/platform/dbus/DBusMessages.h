#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantList>

#include <optional>

namespace nudgewatch {

// Calls a method and hands the reply, an error one too, to `done`; nothing
// once `context` is gone.
template <typename Done>
void callAsync(QObject *context, const QDBusConnection &bus, const QDBusMessage &call, Done done,
               int timeoutMs = -1)
{
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->reply());
                     });
}

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
