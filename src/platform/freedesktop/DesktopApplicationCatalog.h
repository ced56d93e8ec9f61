#pragma once

#include "core/ApplicationCatalog.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"

#include <functional>
#include <optional>

namespace nudgewatch {

// The applications menus list, one per desktop ID: the installed entries GIO
// shows in menus (see DesktopEntry::shownInMenus), by name. Listed on first
// use, not at start-up; `changed` tells of every change to the entries.
class DesktopApplicationCatalog final : public ApplicationCatalog {
    Q_OBJECT
public:
    // Lists the entries of the program's one index.
    explicit DesktopApplicationCatalog(const DesktopEntryRegistry &entries,
                                       QObject *parent = nullptr);

    QList<InstalledApplication> installedApplications() const override;

    // Decides again which entries are offered, before the list is made: a
    // desktop's own launcher entries stand for the applications they start.
    using EntryFilter = std::function<void(std::vector<DesktopEntry> &entries)>;
    void setEntryFilter(EntryFilter filter) { m_filter = std::move(filter); }

private:
    const DesktopEntryRegistry &m_entries;
    EntryFilter m_filter;
    mutable std::optional<QList<InstalledApplication>> m_cache;
};

} // namespace nudgewatch
