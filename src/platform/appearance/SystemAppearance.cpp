#include "platform/appearance/SystemAppearance.h"

#include "platform/appearance/FontNames.h"
#include "platform/appearance/PortalSettings.h"
#include "platform/appearance/XSettingsWatcher.h"
#include "platform/freedesktop/SettingsSchema.h"
#include "platform/session/SessionFacts.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QStyleHints>

namespace nudgewatch {

AppearanceFiles AppearanceFiles::forSession(const SessionFacts &facts)
{
    return {
        facts.currentDesktop,
        QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QStringLiteral("kdeglobals")),
        gtkSettingsFiles(gtkConfigDirs()),
        isWaylandSession(facts) || sessionDesktopIs(facts, QLatin1String("GNOME"))};
}

SystemAppearance::SystemAppearance(const QDBusConnection &sessionBus, const AppearanceFiles &files,
                                   QObject *parent)
    : DesktopAppearance(parent), m_desktop(files.currentDesktop), m_kdeGlobals(files.kdeGlobals),
      m_gtk(readGtkSettings(files.gtkSettings)), m_portal(new PortalSettings(sessionBus, this)),
      m_xsettings(new XSettingsWatcher(this)),
      m_gnome(files.gnomeSettings ? SettingsSchema::open("org.gnome.desktop.interface") : nullptr)
{
    // Plasma's font settings announce a new font as KDE's own Qt theme hears it,
    // from System Settings or the fonts page opened alone. Taken from those only:
    // the bus passes on only what their names' current owners send, so anyone
    // else's flood of the signal never arrives here.
    if (currentDesktopIs(m_desktop, QLatin1String("KDE")))
        for (const char *sender : plasmaFontAnnouncers)
            QDBusConnection(sessionBus)
                .connect(QLatin1String(sender), QStringLiteral("/KDEPlatformTheme"),
                         QStringLiteral("org.kde.KDEPlatformTheme"), QStringLiteral("refreshFonts"),
                         this, SLOT(update()));
    if (m_gnome)
        connect(m_gnome.get(), &SettingsSchema::changed, this, &SystemAppearance::update);
    connect(m_portal, &PortalSettings::changed, this, &SystemAppearance::update);
    connect(m_xsettings, &XSettingsWatcher::changed, this, &SystemAppearance::update);
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this,
                &SystemAppearance::update);
#endif
    apply();
}

SystemAppearance::~SystemAppearance() = default;

void SystemAppearance::update()
{
    m_apply.request();
}

QString SystemAppearance::kdeFont()
{
    // Read again only once the file changed: a signal repeated many times
    // must not parse the whole file each time.
    const QFileInfo file(m_kdeGlobals);
    const std::pair version(file.lastModified(), file.size());
    if (m_kdeGlobalsRead != version) {
        m_kdeGlobalsRead = version;
        m_kdeFont = kdeConfigValue(m_kdeGlobals, "General", "font");
    }
    return m_kdeFont;
}

std::optional<ColorScheme> SystemAppearance::toolkitScheme()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        switch (QGuiApplication::styleHints()->colorScheme()) {
        case Qt::ColorScheme::Dark:
            return ColorScheme::Dark;
        case Qt::ColorScheme::Light:
            return ColorScheme::Light;
        default:
            break;
        }
    }
#endif
    // Qt 6.4 has no colour-scheme API, and a later Qt may know no preference:
    // then the sources are read here.
    return std::nullopt;
}

void SystemAppearance::apply()
{
    fontNames::AppearanceSources sources;
    sources.currentDesktop = m_desktop;
    sources.portalScheme = m_portal->colorScheme();
    sources.portalFont = m_portal->fontName();
    sources.portalTextScaling = m_portal->textScalingFactor();
    if (m_gnome) {
        sources.gnomeScheme = m_gnome->string("color-scheme").value_or(QString());
        sources.gnomeTheme = m_gnome->string("gtk-theme").value_or(QString());
        sources.gnomeFont = m_gnome->string("font-name").value_or(QString());
        sources.gnomeTextScaling = m_gnome->number("text-scaling-factor").value_or(1.0);
    }
    const QHash<QString, QVariant> &xsettings = m_xsettings->settings();
    sources.xsettingsTheme = xsettings.value(QStringLiteral("Net/ThemeName")).toString();
    sources.xsettingsFont = xsettings.value(QStringLiteral("Gtk/FontName")).toString();
    sources.gtkPrefersDark = m_gtk.prefersDark.value_or(false);
    sources.gtkTheme = m_gtk.themeName;
    sources.gtkFont = m_gtk.fontName;
    if (currentDesktopIs(m_desktop, QLatin1String("KDE")))
        sources.kdeFont = kdeFont();

    const ColorScheme scheme = toolkitScheme().value_or(fontNames::schemeOf(sources));
    const InterfaceFont font = fontNames::fontOf(sources);
    if (scheme != m_scheme) {
        m_scheme = scheme;
        emit colorSchemeChanged(scheme);
    }
    if (!(font == m_font)) {
        m_font = font;
        emit interfaceFontChanged(font);
    }
}

} // namespace nudgewatch
