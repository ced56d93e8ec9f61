#include "platform/appearance/TrayIconChoice.h"

#include <QDBusConnectionInterface>

namespace nudgewatch {

QIcon trayIcon(const QDBusConnection &sessionBus, const QIcon &icon)
{
    if (!sessionBus.isConnected() || !sessionBus.interface())
        return icon;
    const bool hosted = sessionBus.interface()->isServiceRegistered(
        QStringLiteral("org.kde.StatusNotifierWatcher"));
    const QIcon symbolic = QIcon::fromTheme(QStringLiteral("nudgewatch-symbolic"));
    // Not installed (run from the build tree): the full-colour one is still right.
    return hosted && !symbolic.isNull() ? symbolic : icon;
}

} // namespace nudgewatch
