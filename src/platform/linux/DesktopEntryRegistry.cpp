#include "platform/linux/DesktopEntryRegistry.h"

#include "platform/linux/DesktopEntryScanner.h"

namespace nudgewatch {

DesktopEntryRegistry::DesktopEntryRegistry(QStringList applicationFolders)
    : m_folders(std::move(applicationFolders))
{
    reload();
}

void DesktopEntryRegistry::reload()
{
    m_index = DesktopEntryIndex(scanDesktopEntries(m_folders));
}

} // namespace nudgewatch
