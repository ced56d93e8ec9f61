#include "platform/freedesktop/DesktopApplicationCatalog.h"

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

QList<InstalledApplication> DesktopApplicationCatalog::installedApplications() const
{
    if (m_cache)
        return *m_cache;
    QList<InstalledApplication> applications;
    std::vector<DesktopEntry> entries = m_entries.installedEntries();
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
