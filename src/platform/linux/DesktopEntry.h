#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace nudgewatch {

// What window resolution needs to know of one desktop entry.
struct DesktopEntry {
    QString desktopId;     // "org.example.Tool.desktop", vendor folders joined with '-'
    QString path;          // absolute path of the file
    QString localizedName; // Name[<locale>], else Name, else the file name without .desktop
    QString startupWMClass;
    QString icon;
    // Canonical paths of the TryExec and Exec programs that could be found.
    QStringList programs;
};

} // namespace nudgewatch
