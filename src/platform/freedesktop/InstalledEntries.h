#pragma once

#include "platform/freedesktop/DesktopEntry.h"

#include <optional>
#include <vector>

namespace nudgewatch {

// The installed application entries as GIO reads the XDG applications folders
// (their locations are read once per process): one per desktop ID, the file
// that takes precedence, NoDisplay ones too; none that is hidden or whose
// TryExec or Exec program is not installed. Listed by folder precedence, then
// path, so where two entries claim one window class the user's wins, and
// always the same one.
std::vector<DesktopEntry> installedDesktopEntries();

// The entry in the file at `path`, read alone (picked with "Browse…", or kept
// as tracked); none when it is no launchable application entry, or hidden.
std::optional<DesktopEntry> desktopEntryAt(const QString &path);

} // namespace nudgewatch
