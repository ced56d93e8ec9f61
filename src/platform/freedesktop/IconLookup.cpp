#include "platform/freedesktop/IconLookup.h"

#include "platform/freedesktop/KeyFile.h"

#include <QDir>
#include <QStandardPaths>

namespace nudgewatch {

QString desktopIconTheme(const QStringList &configDirs)
{
    if (QString theme = readGtkSettings(gtkSettingsFiles(configDirs)).iconThemeName;
        !theme.isEmpty())
        return theme;
    for (const QString &dir : configDirs) {
        const QString theme = kdeConfigValue(dir + QStringLiteral("/kdeglobals"), "Icons", "Theme");
        if (!theme.isEmpty())
            return theme;
    }
    return {};
}

IconLookup IconLookup::forDesktop()
{
    IconLookup lookup;
    lookup.themeName = desktopIconTheme(gtkConfigDirs());
    lookup.themeSearchPaths.append(QDir::homePath() + QStringLiteral("/.icons"));
    for (const QString &dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        lookup.themeSearchPaths.append(dir + QStringLiteral("/icons"));
        lookup.pixmapDirs.append(dir + QStringLiteral("/pixmaps"));
    }
    if (!lookup.pixmapDirs.contains(QStringLiteral("/usr/share/pixmaps")))
        lookup.pixmapDirs.append(QStringLiteral("/usr/share/pixmaps"));
    return lookup;
}

} // namespace nudgewatch
