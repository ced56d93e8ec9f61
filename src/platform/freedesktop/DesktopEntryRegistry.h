#pragma once

#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QDateTime>

#include <optional>
#include <vector>

namespace nudgewatch {

// The entries of a set of applications folders, and the tracked entries that
// lie elsewhere. The folders are read on first use, not at start-up, and read
// again when a folder (or a folder below one) has changed since, or on request
// (the installed applications changed).
class DesktopEntryRegistry {
public:
    explicit DesktopEntryRegistry(QStringList applicationFolders);

    const DesktopEntryIndex &index() const;
    // The next index() reads the folders again.
    void reload();
    // The entries the user tracks. Those the folders do not hold (picked from
    // anywhere with "Browse…") are read too and come first: a window that
    // names one (its StartupWMClass, file ID or program) resolves to it.
    void setTrackedEntries(const QStringList &paths);

private:
    struct FolderStamp {
        QString path;
        QDateTime modified; // invalid while the folder does not exist
        friend bool operator==(const FolderStamp &, const FolderStamp &) = default;
    };
    std::vector<FolderStamp> folderStamps() const;
    bool foldersChanged() const;

    QStringList m_folders;
    QStringList m_tracked;
    mutable std::vector<FolderStamp> m_stamps;
    // Read from the folders; kept while they are unchanged.
    mutable std::optional<std::vector<DesktopEntry>> m_folderEntries;
    mutable std::optional<DesktopEntryIndex> m_index;
};

} // namespace nudgewatch
