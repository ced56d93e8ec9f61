#pragma once

#include <QDBusConnection>
#include <QIcon>

namespace nudgewatch {

// The tray's icon: where the panel hosts StatusNotifierItems (GNOME's
// AppIndicator, Plasma, Xfce's and wlroots' panels) it draws symbolic icons
// by name, so the installed monochrome "nudgewatch-symbolic" goes by name;
// elsewhere (an XEmbed tray) the full-colour `icon`.
QIcon trayIcon(const QDBusConnection &sessionBus, const QIcon &icon);

} // namespace nudgewatch
