#pragma once

#include "core/ApplicationCatalog.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace nudgewatch {

// The applications menus list, one per desktop ID: the effective entry by XDG
// precedence, shown in menus (see DesktopEntry::shownInMenus). Read from the
// applications folders by the program itself, so what is no regular file of
// sane size (a FIFO named *.desktop, a huge file) is skipped, never waited on.
// Read on first use, not at start-up; from then on the folders are watched
// and `changed` announces every change.
class DesktopApplicationCatalog final : public ApplicationCatalog {
    Q_OBJECT
public:
    // Lists the entries of the program's one index.
    explicit DesktopApplicationCatalog(const DesktopEntryRegistry &entries,
                                       QObject *parent = nullptr);
    // Over an index of its own: the folders are read in order, the first
    // holding a desktop ID wins.
    explicit DesktopApplicationCatalog(QStringList applicationFolders, QObject *parent = nullptr);
    // The XDG applications folders of the program's environment.
    explicit DesktopApplicationCatalog(QObject *parent = nullptr);

    QList<InstalledApplication> installedApplications() const override;

    // Decides again which entries are offered, before the list is made: a
    // desktop's own launcher entries stand for the applications they start.
    using EntryFilter = std::function<void(std::vector<DesktopEntry> &entries)>;
    void setEntryFilter(EntryFilter filter) { m_filter = std::move(filter); }

private:
    DesktopApplicationCatalog(std::unique_ptr<DesktopEntryRegistry> own, QObject *parent);

    std::unique_ptr<DesktopEntryRegistry> m_own;
    const DesktopEntryRegistry &m_entries;
    EntryFilter m_filter;
    mutable std::optional<QList<InstalledApplication>> m_cache;
};

} // namespace nudgewatch
