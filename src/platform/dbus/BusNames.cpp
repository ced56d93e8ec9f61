// GIO first: its headers name a member "signals", which Qt defines as a keyword.
#include <gio/gio.h>

#include "platform/dbus/BusNames.h"

namespace nudgewatch {

bool isWellKnownBusName(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    return g_dbus_is_name(utf8.constData()) && !g_dbus_is_unique_name(utf8.constData());
}

bool isUniqueBusName(const QString &name)
{
    return g_dbus_is_unique_name(name.toUtf8().constData());
}

QString dbusAddressValue(const QString &value)
{
    g_autofree gchar *escaped = g_dbus_address_escape_value(value.toUtf8().constData());
    return QString::fromUtf8(escaped);
}

} // namespace nudgewatch
