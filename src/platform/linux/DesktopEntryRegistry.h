#pragma once

#include "platform/linux/DesktopEntry.h"

namespace nudgewatch {

// The entries of a set of applications folders, read again on request (when the
// installed applications change).
class DesktopEntryRegistry {
public:
    explicit DesktopEntryRegistry(QStringList applicationFolders);

    const DesktopEntryIndex &index() const { return m_index; }
    void reload();

private:
    QStringList m_folders;
    DesktopEntryIndex m_index;
};

} // namespace nudgewatch
