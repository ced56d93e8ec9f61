// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/InstalledEntries.h"

#include <QSet>

namespace nudgewatch {

DesktopEntryRegistry::DesktopEntryRegistry(StandInFinder standIns, QObject *parent)
    : QObject(parent), m_standIns(std::move(standIns))
{
}

DesktopEntryRegistry::~DesktopEntryRegistry()
{
    if (m_monitor != nullptr) {
        g_signal_handlers_disconnect_by_data(m_monitor, &m_dropInstalled);
        g_object_unref(m_monitor);
    }
}

void DesktopEntryRegistry::dropInstalled()
{
    m_installed.reset();
    m_index.reset();
    emit changed();
}

const std::vector<DesktopEntry> &DesktopEntryRegistry::installedEntries() const
{
    if (!m_installed) {
        // Watched before reading: a change during the read is seen. GIO tells
        // of a change only once its list was read since the last one.
        if (m_monitor == nullptr) {
            m_monitor = g_app_info_monitor_get();
            g_signal_connect_swapped(m_monitor, "changed",
                                     G_CALLBACK(+[](QueuedOnce *drop) { drop->request(); }),
                                     &m_dropInstalled);
        }
        m_installed = installedDesktopEntries();
        m_index.reset();
    }
    return *m_installed;
}

const DesktopEntryIndex &DesktopEntryRegistry::index() const
{
    const std::vector<DesktopEntry> &installed = installedEntries();
    if (!m_index) {
        std::vector<DesktopEntry> entries;
        // A settings file edited by hand may list one path many times.
        QSet<QString> seen;
        for (const DesktopEntry &entry : installed)
            seen.insert(entry.path);
        for (const QString &path : m_tracked) {
            if (seen.contains(path))
                continue;
            seen.insert(path);
            if (auto entry = desktopEntryAt(path))
                entries.push_back(std::move(*entry));
        }
        entries.insert(entries.end(), installed.begin(), installed.end());
        m_index = DesktopEntryIndex(std::move(entries));
        if (m_standIns)
            m_index->setStandIns(m_standIns(m_tracked, m_index->entries()));
    }
    return *m_index;
}

std::optional<DesktopEntry> DesktopEntryRegistry::entryAt(const QString &path) const
{
    // Names and icons asked for before anything needed GIO's list (the first
    // window's tracked applications) do not wait for it to be read.
    if (const DesktopEntry *entry = m_installed ? index().byPath(path) : nullptr)
        return *entry;
    return desktopEntryAt(path);
}

void DesktopEntryRegistry::setTrackedEntries(const QStringList &paths)
{
    if (paths == m_tracked)
        return;
    m_tracked = paths;
    m_index.reset();
}

} // namespace nudgewatch
