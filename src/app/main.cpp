#include "platform/DesktopPlatform.h"
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
    const std::unique_ptr<DesktopPlatform> desktop = DesktopPlatform::create();
    // Without the X server nothing can be tracked; quit without touching the settings.
    QObject::connect(desktop.get(), &DesktopPlatform::connectionLost, &app,
                     [] { QCoreApplication::exit(1); });
    SystemClock clock;
    QtScheduler scheduler;
    NotificationCenter notifications;
    AppTrackerStore store({desktop->workspace(),
                           desktop->bundleInfo(),
                           desktop->fileSystem(),
                           defaults,
                           clock,
                           scheduler,
                           notifications,
                           {}});
    store.startMonitoring();
    return app.exec();
}
