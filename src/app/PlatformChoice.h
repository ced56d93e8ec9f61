#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace nudgewatch {

// The platform the program's own windows are pinned to. The reminder card
// sits above every window without taking the focus, which no Wayland client
// may ask for: in a Wayland session the windows go through Xwayland whenever
// it is there, whatever QT_QPA_PLATFORM says (a setting many sway users keep
// for their other applications), and natively where it is not. Qt's own
// -platform option still decides.
struct PlatformChoice {
    // For QT_QPA_PLATFORM while the application starts; empty: Qt's own choice.
    QByteArray pinned;
};

// `arguments`: the command line as given (Qt reads "-platform" and "--platform").
PlatformChoice choosePlatform(bool waylandSession, bool hasX11Display,
                              const QStringList &arguments);

// Why reminders come as desktop notifications instead of the card, for the
// settings window; empty when the card can show them. `qtPlatform`: the one
// the windows run on.
QString notificationReason(const QString &qtPlatform, const PlatformChoice &choice);

} // namespace nudgewatch
