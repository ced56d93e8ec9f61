#pragma once

#include "platform/linux/DesktopEntry.h"

#include <QProcessEnvironment>

#include <optional>

namespace nudgewatch {

// XDG data directories in precedence order: XDG_DATA_HOME (~/.local/share when
// unset), then XDG_DATA_DIRS (/usr/local/share:/usr/share when unset).
QStringList xdgDataDirs(const QProcessEnvironment &environment);

// The applications/ folder of each data directory, in the same order.
QStringList applicationDirs(const QStringList &dataDirs);

// "kde/org.kde.Tool.desktop" below an applications folder is "kde-org.kde.Tool.desktop".
QString desktopIdForRelativePath(const QString &relativePath);

// Parses one file; none when it is unreadable, not an application, or hidden.
std::optional<DesktopEntry> readDesktopEntry(const QString &path, const QString &desktopId);

// Every effective application entry below the folders, first folder first. A
// desktop ID is taken by the first file that has it, even one that is hidden or
// broken, so a user's entry masks the system one as the desktop does.
std::vector<DesktopEntry> scanDesktopEntries(const QStringList &applicationFolders);

} // namespace nudgewatch
