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

    // `themeName` and the XDG folders that hold themes and pixmaps.
    static IconLookup forDesktop(const QString &themeName);
};

} // namespace nudgewatch
