#include "platform/freedesktop/DesktopEntryRegistry.h"

#include "platform/freedesktop/DesktopEntryScanner.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

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
    if (!m_folderEntries || foldersChanged()) {
        // Stamped before reading: a change during the read is seen next time.
        m_stamps = folderStamps();
        m_folderEntries = scanDesktopEntries(m_folders);
        m_index.reset();
    }
    if (!m_index) {
        std::vector<DesktopEntry> entries;
        for (const QString &path : m_tracked) {
            const bool inFolders =
                std::any_of(m_folderEntries->begin(), m_folderEntries->end(),
                            [&](const DesktopEntry &entry) { return entry.path == path; });
            if (inFolders)
                continue;
            if (auto entry = readDesktopEntry(path, QFileInfo(path).fileName()))
                entries.push_back(std::move(*entry));
        }
        entries.insert(entries.end(), m_folderEntries->begin(), m_folderEntries->end());
        m_index = DesktopEntryIndex(std::move(entries));
    }
    return *m_index;
}

void DesktopEntryRegistry::reload()
{
    m_folderEntries.reset();
}

void DesktopEntryRegistry::setTrackedEntries(const QStringList &paths)
{
    if (paths == m_tracked)
        return;
    m_tracked = paths;
    m_index.reset();
}

} // namespace nudgewatch
