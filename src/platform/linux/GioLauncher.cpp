// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gdesktopappinfo.h>

#include "platform/linux/GioLauncher.h"
#include "platform/linux/KeyFile.h"
#include "platform/linux/PlatformLog.h"

#include <QFile>

namespace nudgewatch {

bool GioLauncher::launch(const QString &entryPath) const
{
    if (!isReadableEntryFile(entryPath)) {
        qCDebug(lcPlatform) << "not a desktop entry file:" << entryPath;
        return false;
    }
    GDesktopAppInfo *info =
        g_desktop_app_info_new_from_filename(QFile::encodeName(entryPath).constData());
    if (info == nullptr) {
        qCDebug(lcPlatform) << "not a launchable desktop entry:" << entryPath;
        return false;
    }
    GAppLaunchContext *context = g_app_launch_context_new();
    GError *error = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(info), nullptr, context, &error);
    if (!launched) {
        qCDebug(lcPlatform) << "could not launch" << entryPath << ":"
                            << (error != nullptr ? error->message : "unknown error");
        g_clear_error(&error);
    }
    g_object_unref(context);
    g_object_unref(info);
    return launched;
}

} // namespace nudgewatch
