#pragma once

#include "core/FrontWindowPlace.h"
#include "core/RunningApplication.h"
#include "platform/freedesktop/WindowResolver.h"

#include <QDBusMessage>
#include <QList>
#include <QVariant>

#include <optional>

namespace nudgewatch {

// What the program's GNOME Shell extension says is in front: the shell's
// application id ("<desktop id>.desktop", or "window:<n>" for a window without
// a desktop entry; empty while nothing has the focus), its name and the
// focused window's process.
struct ShellFocus {
    QString appId;
    QString name;
    qint64 pid = -1;

    friend bool operator==(const ShellFocus &, const ShellFocus &) = default;
};

// The focus from the arguments of FocusChanged or GetFocus, or none when they
// are not (string, string, int32) or the id is not one the shell makes. The
// name is cut to what is ever shown.
std::optional<ShellFocus> focusFromArguments(const QList<QVariant> &arguments);

// The running application of a focus: none while nothing has the focus; the
// program itself for its own process; else the desktop entry of the id, or of
// its `process` (see addProcessFacts), named after the entry, else after the
// shell's name.
std::optional<RunningApplication> applicationForFocus(const DesktopEntryIndex &index,
                                                      const ShellFocus &focus, qint64 ownPid,
                                                      const WindowFacts &process);

// Where the extension's GetMonitor reply says the focused window is: the
// connector when one of the program's screens has it, and the monitor's
// geometry; empty for an error, any other signature or an empty geometry.
FrontWindowPlace placeFromMonitorReply(const QDBusMessage &reply);

} // namespace nudgewatch
