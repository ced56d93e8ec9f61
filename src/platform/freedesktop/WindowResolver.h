#pragma once

#include "core/RunningApplication.h"
#include "platform/freedesktop/DesktopEntryIndex.h"

#include <QList>
#include <QString>

namespace nudgewatch {

// What a window says about the application that owns it. Empty strings are
// properties the window does not have.
struct WindowFacts {
    QString wmInstance; // WM_CLASS, first string
    QString wmClass;    // WM_CLASS, second string
    QString gtkApplicationId;
    QString kdeDesktopFile;
    QString executable; // canonical path of /proc/<_NET_WM_PID>/exe
    // The desktop file the process was started from, as GIO's launch recorded
    // it in the environment of the process (or of the script that started it).
    QString launchedEntry = {};

    friend bool operator==(const WindowFacts &, const WindowFacts &) = default;
};

// Canonical path of a local process's executable; empty when it is gone or hidden.
QString executableOfProcess(qint64 pid);

// What a window's local process says of the application it is: its executable
// and the entry its launch recorded. Nothing for a process gone or not ours.
void addProcessFacts(WindowFacts &facts, qint64 pid);
inline WindowFacts processOf(qint64 pid)
{
    WindowFacts facts;
    addProcessFacts(facts, pid);
    return facts;
}

// The desktop file named by GIO_LAUNCHED_DESKTOP_FILE in a process's
// environment (NUL-separated), when GIO_LAUNCHED_DESKTOP_FILE_PID names that
// process or its parent: the variables are inherited by everything it starts.
QString launchedEntryOf(QByteArrayView environment, qint64 pid, qint64 parentPid);

// The desktop entry a window belongs to, first hit wins: _GTK_APPLICATION_ID,
// _KDE_NET_WM_DESKTOP_FILE; then the names exactly (WM_CLASS instance then class
// against StartupWMClass, then as a desktop ID); then the same names in any case
// (lower-cased with spaces as '-' for IDs); then the entry the process was
// launched from; last the executable against TryExec/Exec, where the
// application's own entry is taken among those that run it, or for a window
// with no process, its names against the file names of those programs. None
// when nothing matches.
const DesktopEntry *resolveEntry(const DesktopEntryIndex &index, const WindowFacts &window);

// The running application of a window. `chain` is the window followed by the
// windows it is transient for, nearest first; a dialog without facts of its own
// belongs to its parent's application. The name is the entry's, else the
// window's WM_CLASS class; the bundle path is the entry's path.
RunningApplication resolveRunningApplication(const DesktopEntryIndex &index,
                                             const QList<WindowFacts> &chain);

} // namespace nudgewatch
