#pragma once

#include "core/DesktopAppearance.h"

#include <QDBusConnection>

namespace nudgewatch {

class PortalSettings;
class XSettingsWatcher;

// The desktop's appearance from the sources a Linux desktop offers: the
// portal's colour scheme first, then the GTK theme's name; the font from KDE's
// general font on Plasma, else GNOME's font name through the portal, else
// XSETTINGS. Re-reads whenever a source changes and says what changed.
class SystemAppearance final : public DesktopAppearance {
    Q_OBJECT
public:
    // `currentDesktop` is $XDG_CURRENT_DESKTOP; `kdeGlobals` the path of KDE's
    // kdeglobals (read on Plasma only).
    SystemAppearance(const QDBusConnection &sessionBus, const QString &currentDesktop,
                     const QString &kdeGlobals, QObject *parent = nullptr);

    ColorScheme colorScheme() const override { return m_scheme; }
    InterfaceFont interfaceFont() const override { return m_font; }

private:
    void update();

    QString m_desktop;
    QString m_kdeGlobals;
    PortalSettings *m_portal;
    XSettingsWatcher *m_xsettings;
    ColorScheme m_scheme = ColorScheme::Light;
    InterfaceFont m_font;
};

} // namespace nudgewatch
