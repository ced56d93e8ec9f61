#pragma once

#include "core/QueuedOnce.h"
#include "core/TrackedEntries.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

typedef struct _GAppInfoMonitor GAppInfoMonitor;

namespace nudgewatch {

// The one index of desktop entries the program keeps: the installed entries
// GIO lists and the tracked entries that lie elsewhere. The menus' catalog,
// names, icons and window resolution all read it. GIO's list is read on first
// use, not at start-up; from then on GIO's monitor of the applications folders
// drops it on every change, and `changed` tells so, once per turn of the event
// loop however many files changed.
class DesktopEntryRegistry final : public QObject, public TrackedEntries {
    Q_OBJECT
public:
    // For the tracked entries among the index's entries: the path of each
    // entry a tracked launcher stands in for, to the launcher's path.
    using StandInFinder = std::function<QHash<QString, QString>(
        const QStringList &tracked, const std::vector<DesktopEntry> &entries)>;

    explicit DesktopEntryRegistry(StandInFinder standIns = {}, QObject *parent = nullptr);
    ~DesktopEntryRegistry() override;

    // Tracked entries outside the applications folders first, then GIO's.
    const DesktopEntryIndex &index() const;
    // The installed entries alone, in precedence order.
    const std::vector<DesktopEntry> &installedEntries() const;
    // The entry in the file at `path`: the index's once GIO's list was read,
    // else the file read alone (asked before that, picked from elsewhere, or
    // masked by another file's ID). None when it is no application entry.
    std::optional<DesktopEntry> entryAt(const QString &path) const;
    // The entries the user tracks. Those GIO does not list (picked from
    // anywhere with "Browse…") are read too and come first: a window that
    // names one (its StartupWMClass, file ID or program) resolves to it.
    void setTrackedEntries(const QStringList &paths) override;

signals:
    void changed();

private:
    void dropInstalled();

    StandInFinder m_standIns;
    QStringList m_tracked;
    mutable QueuedOnce m_dropInstalled{this, [this] {
                                           dropInstalled();
                                       }};
    // GIO's monitor of the applications folders, taken when its list is first read.
    mutable GAppInfoMonitor *m_monitor = nullptr;
    mutable std::optional<std::vector<DesktopEntry>> m_installed;
    mutable std::optional<DesktopEntryIndex> m_index;
};

} // namespace nudgewatch
