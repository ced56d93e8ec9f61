#pragma once

#include "platform/freedesktop/DesktopEntry.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace nudgewatch {

// Menu entries whose windows are another application's: a launcher that starts
// whichever application the user prefers for a kind of task. Tracking the
// launcher itself would never see it in front, so the application it starts
// stands in for it.
class LauncherEntries {
public:
    virtual ~LauncherEntries() = default;

    // Hides each launcher entry and shows the entry of the application it
    // launches in its place, found among `entries`.
    virtual void offerLaunchedApplications(std::vector<DesktopEntry> &entries) const = 0;
    // For the tracked launcher entries among `trackedPaths`: the path of the
    // entry each launches, found among `entries`, to the launcher's path.
    virtual QHash<QString, QString> standIns(const QStringList &trackedPaths,
                                             const std::vector<DesktopEntry> &entries) const = 0;
};

} // namespace nudgewatch
