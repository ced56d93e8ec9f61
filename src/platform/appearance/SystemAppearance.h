#pragma once

#include "core/DesktopAppearance.h"

#include <QDBusConnection>

#include <memory>

namespace nudgewatch {

class PortalSettings;
class SettingsSchema;
class XSettingsWatcher;

// The desktop's appearance from the sources a Linux desktop offers: the
// portal, GNOME's interface settings, XSETTINGS and KDE's kdeglobals, in the
// order fontNames::schemeOf and fontOf give. Re-reads whenever a source
// changes and says what changed.
class SystemAppearance final : public DesktopAppearance {
    Q_OBJECT
public:
    // `currentDesktop` is $XDG_CURRENT_DESKTOP; `kdeGlobals` the path of KDE's
    // kdeglobals (read on Plasma only).
    SystemAppearance(const QDBusConnection &sessionBus, const QString &currentDesktop,
                     const QString &kdeGlobals, QObject *parent = nullptr);
    ~SystemAppearance() override;

    ColorScheme colorScheme() const override { return m_scheme; }
    InterfaceFont interfaceFont() const override { return m_font; }

private:
    void update();

    QString m_desktop;
    QString m_kdeGlobals;
    PortalSettings *m_portal;
    XSettingsWatcher *m_xsettings;
    std::unique_ptr<SettingsSchema> m_gnome; // none without GNOME's schemas
    ColorScheme m_scheme = ColorScheme::Light;
    InterfaceFont m_font;
};

} // namespace nudgewatch
