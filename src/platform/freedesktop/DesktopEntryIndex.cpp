#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QSet>

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
            for (QList<qsizetype> *runners :
                 {&m_byProgram[program], &m_byProgramName[program.section(QLatin1Char('/'), -1)]})
                if (!runners->contains(index))
                    runners->append(index);
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
    return at(m_byWMClass, wmClass);
}

const DesktopEntry *DesktopEntryIndex::byFoldedStartupWMClass(const QString &wmClass) const
{
    return at(m_byFoldedWMClass, wmClass.toCaseFolded());
}

const DesktopEntry *DesktopEntryIndex::own(const QList<qsizetype> &indexes,
                                           const QStringList &names) const
{
    QList<const DesktopEntry *> runners;
    for (const qsizetype index : indexes)
        runners.append(&m_entries[std::size_t(index)]);
    return ownEntry(runners, names);
}

const DesktopEntry *DesktopEntryIndex::byProgram(const QString &canonicalPath,
                                                 const QStringList &names) const
{
    return own(m_byProgram.value(canonicalPath), names);
}

const DesktopEntry *DesktopEntryIndex::byProgramName(const QString &fileName,
                                                     const QStringList &names) const
{
    return fileName.isEmpty() ? nullptr : own(m_byProgramName.value(fileName), names);
}

const DesktopEntry *ownEntry(const QList<const DesktopEntry *> &candidates,
                             const QStringList &names)
{
    QList<const DesktopEntry *> left;
    for (const bool settings : {false, true}) {
        for (const DesktopEntry *entry : candidates)
            if (!entry->noDisplay && entry->settings == settings)
                left.append(entry);
        if (!left.isEmpty())
            break;
    }
    if (left.size() == 1)
        return left.first();
    QSet<QString> folded;
    for (const QString &name : names)
        if (!name.isEmpty())
            folded.insert(name.toCaseFolded());
    const auto named = [&](const DesktopEntry *entry) {
        QString id = entry->desktopId;
        id.chop(id.endsWith(QLatin1String(".desktop")) ? 8 : 0);
        const QString lastPart = id.section(QLatin1Char('.'), -1);
        return folded.contains(id.toCaseFolded()) || folded.contains(lastPart.toCaseFolded()) ||
               (!entry->startupWMClass.isEmpty() &&
                folded.contains(entry->startupWMClass.toCaseFolded()));
    };
    const DesktopEntry *found = nullptr;
    for (const DesktopEntry *entry : left) {
        if (!named(entry))
            continue;
        if (found)
            return nullptr;
        found = entry;
    }
    return found;
}

} // namespace nudgewatch
