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
    // The entry whose StartupWMClass is this name.
    const DesktopEntry *byStartupWMClass(const QString &wmClass) const;
    // The one entry whose StartupWMClass differs from this name only in case:
    // Wayland compositors name an Xwayland window by either half of WM_CLASS
    // ("xterm" or "XTerm"), KWin lower-cases it.
    const DesktopEntry *byFoldedStartupWMClass(const QString &wmClass) const;
    // The application's own entry among those that run this program (see
    // ownEntry); `names` are what the window or the caller knows it by.
    const DesktopEntry *byProgram(const QString &canonicalPath, const QStringList &names) const;
    // The same among the entries whose program has this file name: a window
    // with no process to read (a Wayland app id) may name only its program.
    const DesktopEntry *byProgramName(const QString &fileName, const QStringList &names) const;

    // Tracked launchers that stand in for the application they start (Xfce's
    // "Terminal Emulator" starts the preferred terminal): the launched entry's
    // path to the launcher's. That entry's windows count as the launcher's.
    void setStandIns(QHash<QString, QString> launcherFor)
    {
        m_launcherFor = std::move(launcherFor);
    }
    // The entry path a window of the entry at `path` counts as.
    QString trackedPath(const QString &path) const { return m_launcherFor.value(path, path); }
    // The entry a tracked launcher at `path` stands in for, whose windows are
    // the ones to raise; `path` itself for any other entry.
    QString launchedPath(const QString &path) const { return m_launcherFor.key(path, path); }

private:
    const DesktopEntry *at(const QHash<QString, qsizetype> &map, const QString &key) const;
    const DesktopEntry *own(const QList<qsizetype> &indexes, const QStringList &names) const;

    std::vector<DesktopEntry> m_entries;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, qsizetype> m_byPath;
    QHash<QString, qsizetype> m_byWMClass;
    QHash<QString, qsizetype> m_byFoldedWMClass;
    QHash<QString, QList<qsizetype>> m_byProgram;
    QHash<QString, QList<qsizetype>> m_byProgramName;
    QHash<QString, QString> m_launcherFor;
};

// Of several entries that run one program, the application's own: never one
// with NoDisplay, a settings dialog only where no other is left; the one left,
// else the one whose desktop ID (or its last dotted part) or StartupWMClass is
// one of `names` in any case. None when that does not single one out: a shared
// interpreter or wrapper says nothing about which application a window is.
const DesktopEntry *ownEntry(const QList<const DesktopEntry *> &candidates,
                             const QStringList &names);

} // namespace nudgewatch
