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

    friend bool operator==(const WindowFacts &, const WindowFacts &) = default;
};

// Canonical path of a local process's executable; empty when it is gone or hidden.
QString executableOfProcess(qint64 pid);

// The desktop entry a window belongs to, first hit wins: _GTK_APPLICATION_ID,
// _KDE_NET_WM_DESKTOP_FILE, WM_CLASS instance then class against StartupWMClass,
// WM_CLASS instance then class as a desktop ID (as is, then lower-cased with
// spaces as '-'), the executable against TryExec/Exec. None when nothing matches.
const DesktopEntry *resolveEntry(const DesktopEntryIndex &index, const WindowFacts &window);

// The running application of a window. `chain` is the window followed by the
// windows it is transient for, nearest first; a dialog without facts of its own
// belongs to its parent's application. The name is the entry's, else the
// window's WM_CLASS class; the bundle path is the entry's path.
RunningApplication resolveRunningApplication(const DesktopEntryIndex &index,
                                             const QList<WindowFacts> &chain);

} // namespace nudgewatch
