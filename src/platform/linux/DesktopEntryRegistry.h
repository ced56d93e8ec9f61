#pragma once

#include "platform/linux/DesktopEntry.h"

#include <QDateTime>

#include <optional>
#include <vector>

namespace nudgewatch {

// The entries of a set of applications folders. They are read on first use,
// not at start-up, and read again when a folder (or a folder below one) has
// changed since, or on request (the installed applications changed).
class DesktopEntryRegistry {
public:
    explicit DesktopEntryRegistry(QStringList applicationFolders);

    const DesktopEntryIndex &index() const;
    // The next index() reads the folders again.
    void reload();

private:
    struct FolderStamp {
        QString path;
        QDateTime modified; // invalid while the folder does not exist
        friend bool operator==(const FolderStamp &, const FolderStamp &) = default;
    };
    std::vector<FolderStamp> folderStamps() const;
    bool foldersChanged() const;

    QStringList m_folders;
    mutable std::vector<FolderStamp> m_stamps;
    mutable std::optional<DesktopEntryIndex> m_index;
};

} // namespace nudgewatch
