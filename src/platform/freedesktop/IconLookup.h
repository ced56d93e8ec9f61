#pragma once

#include <QString>
#include <QStringList>

namespace nudgewatch {

// Where icons are looked up: the desktop's icon theme and the folders that hold
// themes and plain pixmaps.
struct IconLookup {
    QString themeName; // the desktop's theme; empty when it says none
    QStringList themeSearchPaths;
    QStringList pixmapDirs;

    // The desktop's, from its settings files and the XDG folders.
    static IconLookup forDesktop();
};

// The icon theme the desktop settings name: GTK 3 then GTK 4 settings.ini, then
// KDE's kdeglobals, each searched through `configDirs` in order.
QString desktopIconTheme(const QStringList &configDirs);

} // namespace nudgewatch
