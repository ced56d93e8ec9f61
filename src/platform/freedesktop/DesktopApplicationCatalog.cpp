#include "platform/freedesktop/DesktopApplicationCatalog.h"

#include "platform/freedesktop/DesktopEntryScanner.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace nudgewatch {

DesktopApplicationCatalog::DesktopApplicationCatalog(QStringList applicationFolders,
                                                     QObject *parent)
    : ApplicationCatalog(parent), m_folders(std::move(applicationFolders))
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        m_cache.reset();
        emit changed();
    });
}

DesktopApplicationCatalog::DesktopApplicationCatalog(QObject *parent)
    : DesktopApplicationCatalog(
          QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation), parent)
{
}

void DesktopApplicationCatalog::watch() const
{
    // Every folder below, and the parent of each, so a folder made later is seen.
    QStringList folders;
    for (const QString &folder : m_folders) {
        folders.append(QFileInfo(folder).absolutePath());
        if (!QFileInfo(folder).isDir())
            continue;
        folders.append(folder);
        QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            folders.append(it.next());
    }
    folders.removeIf([](const QString &folder) { return !QFileInfo(folder).isDir(); });
    const QStringList watched = m_watcher.directories();
    for (const QString &folder : folders)
        if (!watched.contains(folder))
            m_watcher.addPath(folder);
}

QList<InstalledApplication> DesktopApplicationCatalog::installedApplications() const
{
    if (m_cache)
        return *m_cache;
    watch();
    QList<InstalledApplication> applications;
    std::vector<DesktopEntry> entries = scanDesktopEntries(m_folders);
    if (m_filter)
        m_filter(entries);
    for (const DesktopEntry &entry : entries)
        if (entry.shownInMenus)
            applications.append({entry.desktopId, entry.localizedName, entry.path, entry.comment});
    std::sort(applications.begin(), applications.end(), [](const auto &a, const auto &b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.desktopId < b.desktopId;
    });
    m_cache = applications;
    return applications;
}

} // namespace nudgewatch
