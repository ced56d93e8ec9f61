#include "platform/freedesktop/WindowResolver.h"

#include <QFile>
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

// Environments are a few KiB; a process may hold megabytes there.
constexpr qint64 longestEnvironment = 256 * 1024;

QByteArray readProcFile(qint64 pid, const char *name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.read(longestEnvironment) : QByteArray();
}

qint64 parentOf(qint64 pid)
{
    for (const QByteArray &line : readProcFile(pid, "status").split('\n'))
        if (line.startsWith("PPid:"))
            return line.mid(5).trimmed().toLongLong();
    return 0;
}

} // namespace

QString executableOfProcess(qint64 pid)
{
    return pid > 0 ? QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath()
                   : QString();
}

QString launchedEntryOf(QByteArrayView environment, qint64 pid, qint64 parentPid)
{
    QByteArrayView file;
    qint64 launchedPid = 0;
    for (QByteArrayView rest = environment; !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\0');
        const QByteArrayView variable = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE="))
            file = variable.sliced(26);
        else if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE_PID="))
            launchedPid = variable.sliced(30).toLongLong();
    }
    const bool ours = launchedPid > 0 && (launchedPid == pid || launchedPid == parentPid);
    return ours && file.startsWith('/') ? QFile::decodeName(file.toByteArray()) : QString();
}

void addProcessFacts(WindowFacts &facts, qint64 pid)
{
    if (pid <= 0)
        return;
    facts.executable = executableOfProcess(pid);
    facts.launchedEntry = launchedEntryOf(readProcFile(pid, "environ"), pid, parentOf(pid));
}

const DesktopEntry *resolveEntry(const DesktopEntryIndex &index, const WindowFacts &window)
{
    if (const DesktopEntry *entry = byDesktopFile(index, window.gtkApplicationId))
        return entry;
    if (const DesktopEntry *entry = byDesktopFile(index, window.kdeDesktopFile))
        return entry;
    // Exact names first: a window started with a class of its own ("xterm -class
    // Foo") belongs to the entry that names Foo, not to the one its instance
    // names in another case.
    const QStringList names = {window.wmInstance, window.wmClass};
    for (const QString &name : names)
        if (const DesktopEntry *entry = index.byStartupWMClass(name))
            return entry;
    for (const QString &name : names)
        if (const DesktopEntry *entry =
                name.isEmpty() ? nullptr : index.byId(withDesktopSuffix(name)))
            return entry;
    for (const QString &name : names)
        if (const DesktopEntry *entry =
                name.isEmpty() ? nullptr : index.byFoldedStartupWMClass(name))
            return entry;
    for (const QString &name : names)
        if (const DesktopEntry *entry = name.isEmpty() ? nullptr : index.byId(normalizedId(name)))
            return entry;
    if (!window.launchedEntry.isEmpty()) {
        if (const DesktopEntry *entry = index.byPath(window.launchedEntry))
            return entry;
        if (const DesktopEntry *entry = index.byId(QFileInfo(window.launchedEntry).fileName()))
            return entry;
    }
    if (!window.executable.isEmpty())
        return index.byProgram(window.executable,
                               names + QStringList{QFileInfo(window.executable).fileName()});
    // No process to read (a native Wayland window): its app id may be its
    // program's name, as GTK makes it for an application without an ID.
    for (const QString &name : names)
        if (const DesktopEntry *entry = index.byProgramName(name, names))
            return entry;
    return nullptr;
}

RunningApplication resolveRunningApplication(const DesktopEntryIndex &index,
                                             const QList<WindowFacts> &chain)
{
    for (const WindowFacts &window : chain) {
        if (const DesktopEntry *entry = resolveEntry(index, window))
            return {entry->localizedName, index.trackedPath(entry->path)};
    }
    for (const WindowFacts &window : chain) {
        if (!window.wmClass.isEmpty())
            return {window.wmClass, std::nullopt};
    }
    return {};
}

} // namespace nudgewatch
