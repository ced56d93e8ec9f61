#include "platform/linux/GioSymbols.h"

#include "platform/linux/GioLauncher.h"
#include "platform/linux/KeyFile.h"
#include "platform/linux/PlatformLog.h"
#include "platform/linux/RegularFile.h"

#include <QFile>

namespace nudgewatch {

bool GioLauncher::launch(const QString &entryPath) const
{
    if (!isReadableRegularFile(entryPath, maximumEntrySize)) {
        qCDebug(lcPlatform) << "not a desktop entry file:" << entryPath;
        return false;
    }
    const GioSymbols *gio = gioSymbols();
    if (gio == nullptr)
        return false;
    GDesktopAppInfo *info =
        gio->desktopAppInfoNewFromFilename(QFile::encodeName(entryPath).constData());
    if (info == nullptr) {
        qCDebug(lcPlatform) << "not a launchable desktop entry:" << entryPath;
        return false;
    }
    GAppLaunchContext *context = gio->appLaunchContextNew();
    GError *error = nullptr;
    const bool launched =
        gio->appInfoLaunch(reinterpret_cast<GAppInfo *>(info), nullptr, context, &error);
    if (!launched) {
        qCDebug(lcPlatform) << "could not launch" << entryPath << ":"
                            << (error != nullptr ? error->message : "unknown error");
        g_clear_error(&error);
    }
    gio->objectUnref(context);
    gio->objectUnref(info);
    return launched;
}

} // namespace nudgewatch
