// Sets up the program's GNOME Shell extension the way its setup button does,
// and prints the status that follows: "<tracking> <setup action>|<explanation>".
#include "platform/gnome/GnomeShellTracker.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"

#include <QCoreApplication>

#include <cstdio>

using namespace nudgewatch;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const DesktopEntryRegistry entries({});
    GnomeShellTracker tracker(entries, QDBusConnection::sessionBus(),
                              ShellExtensionFiles(ShellExtensionFiles::userExtensionsFolder()));
    tracker.runSetup();
    const TrackerStatus status = tracker.status();
    std::printf("%d %s|%s\n", int(status.tracking), qPrintable(status.setupAction),
                qPrintable(status.explanation));
    return 0;
}
