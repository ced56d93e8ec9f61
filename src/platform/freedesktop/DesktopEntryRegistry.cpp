#include "platform/freedesktop/DesktopEntryRegistry.h"

#include "platform/freedesktop/DesktopEntryScanner.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace nudgewatch {

DesktopEntryRegistry::DesktopEntryRegistry(QStringList applicationFolders, QObject *parent)
    : QObject(parent), m_folders(std::move(applicationFolders))
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &DesktopEntryRegistry::folderChanged);
}

void DesktopEntryRegistry::watch() const
{
    // Every folder below too ("kde/tool.desktop"); a folder that does not exist
    // yet is seen appearing in its parent.
    QStringList paths;
    m_parentsOfMissing.clear();
    for (const QString &folder : m_folders) {
        const QFileInfo info(folder);
        if (!info.isDir()) {
            if (QFileInfo(info.absolutePath()).isDir())
                m_parentsOfMissing.append(info.absolutePath());
            continue;
        }
        paths.append(folder);
        QDirIterator below(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (below.hasNext())
            paths.append(below.next());
    }
    paths.append(m_parentsOfMissing);
    // Watched afresh: folders may have gone or come since the last read.
    if (const QStringList watched = m_watcher.directories(); !watched.isEmpty())
        m_watcher.removePaths(watched);
    if (!paths.isEmpty())
        m_watcher.addPaths(paths);
}

void DesktopEntryRegistry::folderChanged(const QString &folder)
{
    // The parent of a missing folder (~/.local/share) changes with all else
    // kept there: only the folder appearing counts.
    const auto appeared = [&](const QString &entryFolder) {
        const QFileInfo info(entryFolder);
        return info.absolutePath() == folder && info.isDir();
    };
    if (m_parentsOfMissing.contains(folder) &&
        std::none_of(m_folders.cbegin(), m_folders.cend(), appeared))
        return;
    m_folderEntries.reset();
    m_index.reset();
    emit changed();
}

const std::vector<DesktopEntry> &DesktopEntryRegistry::folderEntries() const
{
    if (!m_folderEntries) {
        // Watched before reading: a change during the read is seen.
        watch();
        m_folderEntries = scanDesktopEntries(m_folders);
        m_index.reset();
    }
    return *m_folderEntries;
}

const DesktopEntryIndex &DesktopEntryRegistry::index() const
{
    const std::vector<DesktopEntry> &inFolders = folderEntries();
    if (!m_index) {
        std::vector<DesktopEntry> entries;
        // A settings file edited by hand may list one path many times.
        QSet<QString> seen;
        for (const DesktopEntry &entry : inFolders)
            seen.insert(entry.path);
        for (const QString &path : m_tracked) {
            if (seen.contains(path))
                continue;
            seen.insert(path);
            if (auto entry = readDesktopEntry(path, QFileInfo(path).fileName()))
                entries.push_back(std::move(*entry));
        }
        entries.insert(entries.end(), inFolders.begin(), inFolders.end());
        m_index = DesktopEntryIndex(std::move(entries));
    }
    return *m_index;
}

std::optional<DesktopEntry> DesktopEntryRegistry::entryAt(const QString &path) const
{
    // Names and icons asked for before anything needed the folders (the first
    // window's tracked applications) do not wait for them to be read.
    if (const DesktopEntry *entry = m_folderEntries ? index().byPath(path) : nullptr)
        return *entry;
    return readDesktopEntry(path, QFileInfo(path).fileName());
}

void DesktopEntryRegistry::setTrackedEntries(const QStringList &paths)
{
    if (paths == m_tracked)
        return;
    m_tracked = paths;
    m_index.reset();
}

} // namespace nudgewatch
