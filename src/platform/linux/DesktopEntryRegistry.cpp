#include "platform/linux/DesktopEntryRegistry.h"

#include "platform/linux/DesktopEntryScanner.h"

#include <QDirIterator>
#include <QFileInfo>

namespace nudgewatch {

DesktopEntryRegistry::DesktopEntryRegistry(QStringList applicationFolders)
    : m_folders(std::move(applicationFolders))
{
}

std::vector<DesktopEntryRegistry::FolderStamp> DesktopEntryRegistry::folderStamps() const
{
    std::vector<FolderStamp> stamps;
    for (const QString &folder : m_folders) {
        const QFileInfo info(folder);
        stamps.push_back({folder, info.isDir() ? info.lastModified() : QDateTime()});
        if (!info.isDir())
            continue;
        // Entries in subfolders count too ("kde/tool.desktop"); a new subfolder
        // changes the stamp of its parent.
        QDirIterator below(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (below.hasNext()) {
            below.next();
            stamps.push_back({below.filePath(), below.fileInfo().lastModified()});
        }
    }
    return stamps;
}

bool DesktopEntryRegistry::foldersChanged() const
{
    // Checking the known folders is a handful of stat calls per look-up.
    for (const FolderStamp &stamp : m_stamps) {
        const QFileInfo info(stamp.path);
        const QDateTime modified = info.isDir() ? info.lastModified() : QDateTime();
        if (modified != stamp.modified)
            return true;
    }
    return false;
}

const DesktopEntryIndex &DesktopEntryRegistry::index() const
{
    if (!m_index || foldersChanged()) {
        // Stamped before reading: a change during the read is seen next time.
        m_stamps = folderStamps();
        m_index = DesktopEntryIndex(scanDesktopEntries(m_folders));
    }
    return *m_index;
}

void DesktopEntryRegistry::reload()
{
    m_index.reset();
}

} // namespace nudgewatch
