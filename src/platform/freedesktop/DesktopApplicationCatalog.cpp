#include "platform/freedesktop/DesktopApplicationCatalog.h"

#include <QStandardPaths>

#include <algorithm>

namespace nudgewatch {

DesktopApplicationCatalog::DesktopApplicationCatalog(const DesktopEntryRegistry &entries,
                                                     QObject *parent)
    : ApplicationCatalog(parent), m_entries(entries)
{
    connect(&entries, &DesktopEntryRegistry::changed, this, [this] {
        m_cache.reset();
        emit changed();
    });
}

DesktopApplicationCatalog::DesktopApplicationCatalog(std::unique_ptr<DesktopEntryRegistry> own,
                                                     QObject *parent)
    : DesktopApplicationCatalog(*own, parent)
{
    m_own = std::move(own);
}

DesktopApplicationCatalog::DesktopApplicationCatalog(QStringList applicationFolders,
                                                     QObject *parent)
    : DesktopApplicationCatalog(
          std::make_unique<DesktopEntryRegistry>(std::move(applicationFolders)), parent)
{
}

DesktopApplicationCatalog::DesktopApplicationCatalog(QObject *parent)
    : DesktopApplicationCatalog(
          QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation), parent)
{
}

QList<InstalledApplication> DesktopApplicationCatalog::installedApplications() const
{
    if (m_cache)
        return *m_cache;
    QList<InstalledApplication> applications;
    std::vector<DesktopEntry> entries = m_entries.folderEntries();
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
