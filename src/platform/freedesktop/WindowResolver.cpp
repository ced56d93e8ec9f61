#include "platform/freedesktop/WindowResolver.h"

#include <QFileInfo>

namespace nudgewatch {

namespace {

const QString desktopSuffix = QStringLiteral(".desktop");

QString withDesktopSuffix(const QString &name)
{
    return name.endsWith(desktopSuffix) ? name : name + desktopSuffix;
}

QString normalizedId(const QString &name)
{
    QString id = name.toLower();
    id.replace(QLatin1Char(' '), QLatin1Char('-'));
    return withDesktopSuffix(id);
}

const DesktopEntry *byDesktopFile(const DesktopEntryIndex &index, const QString &value)
{
    if (value.isEmpty())
        return nullptr;
    if (value.startsWith(QLatin1Char('/')))
        return index.byPath(value);
    return index.byId(withDesktopSuffix(value));
}

const DesktopEntry *byClassAsId(const DesktopEntryIndex &index, const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    if (const DesktopEntry *entry = index.byId(withDesktopSuffix(name)))
        return entry;
    return index.byId(normalizedId(name));
}

} // namespace

QString executableOfProcess(qint64 pid)
{
    return pid > 0 ? QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath()
                   : QString();
}

const DesktopEntry *resolveEntry(const DesktopEntryIndex &index, const WindowFacts &window)
{
    if (const DesktopEntry *entry = byDesktopFile(index, window.gtkApplicationId))
        return entry;
    if (const DesktopEntry *entry = byDesktopFile(index, window.kdeDesktopFile))
        return entry;
    for (const QString &name : {window.wmInstance, window.wmClass}) {
        if (!name.isEmpty())
            if (const DesktopEntry *entry = index.byStartupWMClass(name))
                return entry;
    }
    for (const QString &name : {window.wmInstance, window.wmClass}) {
        if (const DesktopEntry *entry = byClassAsId(index, name))
            return entry;
    }
    if (!window.executable.isEmpty())
        return index.byProgram(window.executable);
    return nullptr;
}

RunningApplication resolveRunningApplication(const DesktopEntryIndex &index,
                                             const QList<WindowFacts> &chain)
{
    for (const WindowFacts &window : chain) {
        if (const DesktopEntry *entry = resolveEntry(index, window))
            return {entry->localizedName, entry->path};
    }
    for (const WindowFacts &window : chain) {
        if (!window.wmClass.isEmpty())
            return {window.wmClass, std::nullopt};
    }
    return {};
}

} // namespace nudgewatch
