// Sets up the program's GNOME Shell extension the way its setup button does,
// and prints the status that follows: "<tracking> <setup action>|<explanation>".
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/gnome/GnomeShellTracker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

using namespace nudgewatch;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const DesktopEntryRegistry entries;
    GnomeShellTracker tracker(entries, QDBusConnection::sessionBus(),
                              ShellExtensionFiles(ShellExtensionFiles::userExtensionsFolder()));
    // Until the extension's first answer, or its absence, is known the status only waits.
    QEventLoop settled;
    QObject::connect(&tracker, &FrontmostApplicationTracker::statusChanged, &settled,
                     &QEventLoop::quit);
    QTimer::singleShot(10000, &settled, &QEventLoop::quit);
    settled.exec();
    tracker.runSetup();
    const TrackerStatus status = tracker.status();
    std::printf("%d %s|%s\n", int(status.tracking), qPrintable(status.setupAction),
                qPrintable(status.explanation));
    return 0;
}
