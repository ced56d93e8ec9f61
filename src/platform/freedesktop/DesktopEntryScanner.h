#pragma once

#include "platform/freedesktop/DesktopEntry.h"

#include <QStringList>

#include <optional>

namespace nudgewatch {

// "kde/org.kde.Tool.desktop" below an applications folder is "kde-org.kde.Tool.desktop".
QString desktopIdForRelativePath(const QString &relativePath);

// Parses one file; none when it is unreadable, not an application, or hidden.
std::optional<DesktopEntry> readDesktopEntry(const QString &path, const QString &desktopId);

// Every effective application entry below the folders, first folder first. A
// desktop ID is taken by the first file that has it, even one that is hidden or
// broken, so a user's entry masks the system one as the desktop does.
std::vector<DesktopEntry> scanDesktopEntries(const QStringList &applicationFolders);

} // namespace nudgewatch
