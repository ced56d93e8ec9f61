#pragma once

#include <QString>

namespace nudgewatch {

// Starts the application of a desktop entry through GIO, which honours the Exec
// field codes, Terminal and D-Bus activation and runs the program directly,
// never through a shell.
class GioLauncher {
public:
    virtual ~GioLauncher() = default;
    // False (and a debug message) when the entry cannot be read or started.
    virtual bool launch(const QString &entryPath) const;
};

} // namespace nudgewatch
