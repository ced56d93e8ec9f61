#include "platform/freedesktop/DesktopEntryIndex.h"

namespace nudgewatch {

namespace {
constexpr qsizetype ambiguous = -1;
}

DesktopEntryIndex::DesktopEntryIndex(std::vector<DesktopEntry> entries)
{
    m_entries.reserve(entries.size());
    for (DesktopEntry &entry : entries) {
        if (m_byId.contains(entry.desktopId))
            continue;
        const qsizetype index = qsizetype(m_entries.size());
        m_byId.insert(entry.desktopId, index);
        m_byPath.insert(entry.path, index);
        if (!entry.startupWMClass.isEmpty() && !m_byWMClass.contains(entry.startupWMClass))
            m_byWMClass.insert(entry.startupWMClass, index);
        if (!entry.startupWMClass.isEmpty()) {
            const QString folded = entry.startupWMClass.toCaseFolded();
            const auto existing = m_byFoldedWMClass.constFind(folded);
            if (existing == m_byFoldedWMClass.cend())
                m_byFoldedWMClass.insert(folded, index);
            else if (existing.value() != index)
                m_byFoldedWMClass.insert(folded, ambiguous);
        }
        for (const QString &program : entry.programs) {
            const auto existing = m_byProgram.constFind(program);
            if (existing == m_byProgram.cend())
                m_byProgram.insert(program, index);
            else if (existing.value() != index)
                m_byProgram.insert(program, ambiguous);
        }
        m_entries.push_back(std::move(entry));
    }
}

const DesktopEntry *DesktopEntryIndex::at(const QHash<QString, qsizetype> &map,
                                          const QString &key) const
{
    const qsizetype index = map.value(key, ambiguous);
    return index == ambiguous ? nullptr : &m_entries[std::size_t(index)];
}

const DesktopEntry *DesktopEntryIndex::byId(const QString &desktopId) const
{
    return at(m_byId, desktopId);
}

const DesktopEntry *DesktopEntryIndex::byPath(const QString &path) const
{
    return at(m_byPath, path);
}

const DesktopEntry *DesktopEntryIndex::byStartupWMClass(const QString &wmClass) const
{
    if (const DesktopEntry *entry = at(m_byWMClass, wmClass))
        return entry;
    return at(m_byFoldedWMClass, wmClass.toCaseFolded());
}

const DesktopEntry *DesktopEntryIndex::byProgram(const QString &canonicalPath) const
{
    return at(m_byProgram, canonicalPath);
}

} // namespace nudgewatch
