#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace nudgewatch {

// Where icons are looked up: the desktop's icon theme and the folders that hold
// themes and plain pixmaps.
struct IconLookup {
    QString themeName; // the desktop's theme; empty when it says none
    QStringList themeSearchPaths;
    QStringList pixmapDirs;

    static IconLookup fromEnvironment(const QProcessEnvironment &environment);
};

// The value of `key` in `[group]` of an INI-style text; empty when absent.
QString iniValue(const QString &text, const QString &group, const QString &key);

// The icon theme the desktop settings name: GTK 3 then GTK 4 settings.ini, then
// KDE's kdeglobals, each searched through `configDirs` in order.
QString desktopIconTheme(const QStringList &configDirs);

} // namespace nudgewatch
