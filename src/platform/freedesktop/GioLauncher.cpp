// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gdesktopappinfo.h>

#include "platform/dbus/BusNames.h"
#include "platform/freedesktop/GioLauncher.h"
#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/freedesktop/RegularFile.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFile>
#include <QFileInfo>

namespace nudgewatch {

bool GioLauncher::launch(const QString &entryPath) const
{
    if (!isReadableRegularFile(entryPath, maximumEntrySize)) {
        qCDebug(lcPlatform) << "not a desktop entry file:" << entryPath;
        return false;
    }
    g_autoptr(GDesktopAppInfo) info = nullptr;
    const KeyFilePtr entry = loadKeyFile(entryPath);
    const char *group = G_KEY_FILE_DESKTOP_GROUP;
    if (entry && g_key_file_get_boolean(entry.get(), group, "DBusActivatable", nullptr) &&
        !busCanReach(activationServiceName(entryPath))) {
        qCDebug(lcPlatform) << "no D-Bus service for" << entryPath << "; starting its Exec line";
        g_key_file_set_boolean(entry.get(), group, "DBusActivatable", FALSE);
        info = g_desktop_app_info_new_from_keyfile(entry.get());
    } else {
        info = g_desktop_app_info_new_from_filename(QFile::encodeName(entryPath).constData());
    }
    if (info == nullptr) {
        qCDebug(lcPlatform) << "not a launchable desktop entry:" << entryPath;
        return false;
    }
    g_autoptr(GAppLaunchContext) context = g_app_launch_context_new();
    // GIO records the entry only for one it read from its file; the copy read
    // above is recorded too, so its windows are known by their launch.
    g_app_launch_context_setenv(context, "GIO_LAUNCHED_DESKTOP_FILE",
                                QFile::encodeName(entryPath).constData());
    GError *error = nullptr;
    const bool launched =
        g_app_info_launch(reinterpret_cast<GAppInfo *>(info), nullptr, context, &error);
    if (!launched) {
        qCDebug(lcPlatform) << "could not launch" << entryPath << ":"
                            << (error != nullptr ? error->message : "unknown error");
        g_clear_error(&error);
    }
    return launched;
}

QString activationServiceName(const QString &entryPath)
{
    QString name = QFileInfo(entryPath).fileName();
    if (!name.endsWith(QLatin1String(".desktop")))
        return {};
    name.chop(8);
    return isWellKnownBusName(name) ? name : QString();
}

bool GioLauncher::busCanReach(const QString &serviceName) const
{
    if (serviceName.isEmpty())
        return false;
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    if (bus == nullptr)
        return false; // GIO then starts the Exec line itself
    if (bus->isServiceRegistered(serviceName))
        return true;
    const QDBusReply<QStringList> activatable = bus->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(serviceName);
}

} // namespace nudgewatch
