#pragma once

#include <QByteArray>
#include <QStringList>

namespace nudgewatch {

// Whether the program's own windows are pinned to Xwayland. The reminder card
// sits above every window without taking the focus, which no Wayland client
// may ask for: in a Wayland session the windows go through Xwayland whenever
// it is there, whatever QT_QPA_PLATFORM says (a setting many sway users keep
// for their other applications). Qt's own -platform option still decides.
struct PlatformChoice {
    bool pinToXwayland = false;
};

// `arguments`: the command line as given (Qt reads "-platform" and "--platform").
PlatformChoice choosePlatform(bool waylandSession, bool hasX11Display,
                              const QStringList &arguments);

} // namespace nudgewatch
