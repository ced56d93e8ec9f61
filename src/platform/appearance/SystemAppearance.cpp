#include "platform/appearance/SystemAppearance.h"

#include "platform/appearance/FontNames.h"
#include "platform/appearance/PortalSettings.h"
#include "platform/appearance/XSettingsWatcher.h"

#include <QFile>

namespace nudgewatch {

namespace {

// KDE's general font from kdeglobals' [General] group, by hand: QSettings would
// split the comma-separated value into a list.
QString kdeGeneralFont(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inGeneral = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QChar('[')))
            inGeneral = line == QStringLiteral("[General]");
        else if (inGeneral && line.startsWith(QStringLiteral("font=")))
            return line.mid(5);
    }
    return {};
}

} // namespace

SystemAppearance::SystemAppearance(const QDBusConnection &sessionBus, const QString &currentDesktop,
                                   const QString &kdeGlobals, QObject *parent)
    : DesktopAppearance(parent), m_desktop(currentDesktop), m_kdeGlobals(kdeGlobals),
      m_portal(new PortalSettings(sessionBus, this)), m_xsettings(new XSettingsWatcher(this))
{
    connect(m_portal, &PortalSettings::changed, this, &SystemAppearance::update);
    connect(m_xsettings, &XSettingsWatcher::changed, this, &SystemAppearance::update);
    update();
}

void SystemAppearance::update()
{
    const QString theme = m_xsettings->settings().value(QStringLiteral("Net/ThemeName")).toString();
    ColorScheme scheme = fontNames::schemeOfThemeName(theme);
    if (const auto portal = m_portal->colorScheme(); portal && *portal != 0)
        scheme = *portal == 1 ? ColorScheme::Dark : ColorScheme::Light;

    InterfaceFont font;
    if (m_desktop.contains(QStringLiteral("KDE"), Qt::CaseInsensitive))
        font = fontNames::fromQtString(kdeGeneralFont(m_kdeGlobals));
    if (font.family.isEmpty() && !m_portal->fontName().isEmpty()) {
        font = fontNames::fromPango(m_portal->fontName());
        font.pointSize *= m_portal->textScalingFactor();
    }
    if (font.family.isEmpty())
        font = fontNames::fromPango(
            m_xsettings->settings().value(QStringLiteral("Gtk/FontName")).toString());
    if (!font.family.isEmpty())
        font.defaultPointSize = fontNames::defaultPointSize(m_desktop);

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
