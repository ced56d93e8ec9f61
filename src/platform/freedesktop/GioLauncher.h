#pragma once

#include <QString>

namespace nudgewatch {

// Starts the application of a desktop entry through GIO, which honours the Exec
// field codes, Terminal and D-Bus activation and runs the program directly,
// never through a shell. GIO reports a D-Bus activation as done before the bus
// answers, so an entry whose service the bus cannot start would open nothing,
// silently: such an entry is started from its Exec line instead, as the
// desktop entry format allows.
class GioLauncher {
public:
    // False (and a debug message) when the entry cannot be read or started.
    bool launch(const QString &entryPath) const;

private:
    // Whether the session bus has, or can start, the service of that name.
    bool busCanReach(const QString &serviceName) const;
};

// The D-Bus name an entry file is activated under (its file name without
// ".desktop"); empty when that is no valid well-known bus name.
QString activationServiceName(const QString &entryPath);

} // namespace nudgewatch
