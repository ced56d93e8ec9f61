#include "platform/freedesktop/IconLookup.h"

#include <QDir>
#include <QStandardPaths>

namespace nudgewatch {

IconLookup IconLookup::forDesktop(const QString &themeName)
{
    IconLookup lookup;
    lookup.themeName = themeName;
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
