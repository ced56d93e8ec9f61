#pragma once

#include "platform/freedesktop/DesktopEntry.h"

#include <QHash>

#include <vector>

namespace nudgewatch {

// The effective entries, one per desktop ID, with the look-ups resolution uses.
class DesktopEntryIndex {
public:
    DesktopEntryIndex() = default;
    // Entries in precedence order; the first entry of a desktop ID wins.
    explicit DesktopEntryIndex(std::vector<DesktopEntry> entries);

    const std::vector<DesktopEntry> &entries() const { return m_entries; }
    const DesktopEntry *byId(const QString &desktopId) const;
    const DesktopEntry *byPath(const QString &path) const;
    // The entry whose StartupWMClass is this name; failing that, the one entry
    // whose StartupWMClass differs from it only in case: Wayland compositors name
    // an Xwayland window by either half of WM_CLASS ("xterm" or "XTerm").
    const DesktopEntry *byStartupWMClass(const QString &wmClass) const;
    // Only when exactly one entry runs this program: a shared interpreter or
    // wrapper says nothing about which application a window belongs to.
    const DesktopEntry *byProgram(const QString &canonicalPath) const;

private:
    const DesktopEntry *at(const QHash<QString, qsizetype> &map, const QString &key) const;

    std::vector<DesktopEntry> m_entries;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, qsizetype> m_byPath;
    QHash<QString, qsizetype> m_byWMClass;
    QHash<QString, qsizetype> m_byFoldedWMClass;
    QHash<QString, qsizetype> m_byProgram;
};

} // namespace nudgewatch
