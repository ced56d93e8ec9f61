#include "app/PlatformChoice.h"

#include <QCoreApplication>

namespace nudgewatch {

PlatformChoice choosePlatform(bool waylandSession, bool hasX11Display, const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform") ||
            argument.startsWith(QLatin1String("-platform=")) ||
            argument.startsWith(QLatin1String("--platform=")))
            return {};
    }
    if (!waylandSession)
        return {};
    // A DISPLAY left over from an Xwayland that is gone: Qt goes on to the next.
    return {hasX11Display ? QByteArray("xcb;wayland") : QByteArray("wayland")};
}

QString notificationReason(const QString &qtPlatform, const PlatformChoice &choice)
{
    if (!qtPlatform.startsWith(QLatin1String("wayland")))
        return {};
    if (!choice.pinned.isEmpty())
        return QCoreApplication::translate("nudgewatch::PlatformChoice",
                                           "Reminders come as desktop notifications because "
                                           "this session has no X server for the reminder card.");
    return QCoreApplication::translate(
        "nudgewatch::PlatformChoice",
        "Reminders come as desktop notifications because Nudgewatch was started on Wayland "
        "itself, where the reminder card could not stay above other windows without taking "
        "the focus.");
}

} // namespace nudgewatch
