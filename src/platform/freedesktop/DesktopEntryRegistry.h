#pragma once

#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>

#include <optional>
#include <vector>

namespace nudgewatch {

// The one index of desktop entries the program keeps: the entries of the
// applications folders and the tracked entries that lie elsewhere. The menus'
// catalog, names, icons and window resolution all read it. The folders are
// read on first use, not at start-up; from then on one watcher follows them,
// and `changed` announces every change to the entries they hold.
class DesktopEntryRegistry final : public QObject {
    Q_OBJECT
public:
    // The folders are read in order, the first holding a desktop ID wins.
    explicit DesktopEntryRegistry(QStringList applicationFolders, QObject *parent = nullptr);

    // Tracked entries outside the folders first, then the folders'.
    const DesktopEntryIndex &index() const;
    // The folders' effective entries alone, in precedence order.
    const std::vector<DesktopEntry> &folderEntries() const;
    // The entry in the file at `path`: the index's once the folders were read,
    // else the file read alone (asked before that, picked from elsewhere, or
    // masked by another file's ID). None when it is no application entry.
    std::optional<DesktopEntry> entryAt(const QString &path) const;
    // The entries the user tracks. Those the folders do not hold (picked from
    // anywhere with "Browse…") are read too and come first: a window that
    // names one (its StartupWMClass, file ID or program) resolves to it.
    void setTrackedEntries(const QStringList &paths);

signals:
    void changed();

private:
    void watch() const;
    void folderChanged(const QString &folder);

    QStringList m_folders;
    QStringList m_tracked;
    mutable QFileSystemWatcher m_watcher;
    // Parents watched only to see a missing applications folder appear.
    mutable QStringList m_parentsOfMissing;
    mutable std::optional<std::vector<DesktopEntry>> m_folderEntries;
    mutable std::optional<DesktopEntryIndex> m_index;
};

} // namespace nudgewatch
