#include "platform/NullWorkspace.h"
#include "platform/linux/DesktopEntryBundleInfo.h"
#include "platform/qt/LocalFileSystem.h"
#include "platform/qt/QtScheduler.h"
#include "platform/qt/SettingsDefaults.h"
#include "tracking/AppTrackerStore.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace nudgewatch;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nudgewatch"));
    QApplication::setOrganizationName(QStringLiteral("Nudgewatch"));
    QApplication::setApplicationVersion(QStringLiteral(NUDGEWATCH_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reminds you of the applications you mean to use."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(2);

    SettingsDefaults defaults;
    LocalFileSystem fileSystem;
    DesktopEntryBundleInfo bundleInfo;
    SystemClock clock;
    QtScheduler scheduler;
    NotificationCenter notifications;
    NullWorkspace workspace(QStringLiteral("no desktop backend yet"));
    AppTrackerStore store(
        {workspace, bundleInfo, fileSystem, defaults, clock, scheduler, notifications, {}});
    store.startMonitoring();
    return app.exec();
}
