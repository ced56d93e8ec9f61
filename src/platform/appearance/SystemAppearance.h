#pragma once

#include "core/DesktopAppearance.h"
#include "core/QueuedOnce.h"
#include "platform/appearance/DesktopSettingsFiles.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

namespace nudgewatch {

class PortalSettings;
class SettingsSchema;
class XSettingsWatcher;

struct SessionFacts;

// Where the desktop's look is read besides the portal and XSETTINGS.
struct AppearanceFiles {
    QString currentDesktop{};   // $XDG_CURRENT_DESKTOP
    QString kdeGlobals{};       // KDE's kdeglobals, read on Plasma only
    QStringList gtkSettings{};  // GTK's settings.ini files, the user's first
    bool gnomeSettings = false; // whether GNOME's interface settings are read

    // The user's files, and GNOME's interface settings where GTK reads them
    // itself (Wayland sessions) or GNOME runs. In other X11 sessions the
    // desktop's settings daemon hands the look to every application as
    // XSETTINGS: GNOME's copy may be stale there, and opening it would keep
    // 2 MB of GIO resident for the program's whole day.
    static AppearanceFiles forSession(const SessionFacts &facts);
};

// The desktop's appearance from the sources a Linux desktop offers: the
// portal, GNOME's interface settings, XSETTINGS, KDE's kdeglobals and GTK's
// settings.ini, in the order fontNames::schemeOf and fontOf give. Re-reads
// whenever a watched source changes and says what changed; settings.ini is
// read once, at start, as GTK reads it.
class SystemAppearance final : public DesktopAppearance {
    Q_OBJECT
public:
    // The bus names of the Plasma programs that announce a new font.
    static constexpr const char *plasmaFontAnnouncers[] = {
        "org.kde.systemsettings", "org.kde.kcmshell_kcm_fonts", "org.kde.kcmshell_fonts"};

    SystemAppearance(const QDBusConnection &sessionBus, const AppearanceFiles &files,
                     QObject *parent = nullptr);
    ~SystemAppearance() override;

    ColorScheme colorScheme() const override { return m_scheme; }
    InterfaceFont interfaceFont() const override { return m_font; }

private slots:
    // A source changed: read them all again once this turn of the event loop ends.
    void update();

private:
    void apply();
    QString kdeFont();
    // The toolkit's own reading of the desktop's preference, where it has one.
    static std::optional<ColorScheme> toolkitScheme();

    QString m_desktop;
    QString m_kdeGlobals;
    // What kdeglobals said, and of which version of the file (time and size).
    QString m_kdeFont;
    std::optional<std::pair<QDateTime, qint64>> m_kdeGlobalsRead;
    QueuedOnce m_apply{this, [this] {
                           apply();
                       }};
    GtkSettings m_gtk; // read once, at start
    PortalSettings *m_portal;
    XSettingsWatcher *m_xsettings;
    std::unique_ptr<SettingsSchema> m_gnome; // none unread or not installed
    ColorScheme m_scheme = ColorScheme::Light;
    InterfaceFont m_font;
};

} // namespace nudgewatch
