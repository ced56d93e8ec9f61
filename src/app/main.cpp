#include "app/AppDelegate.h"
#include "app/PlatformChoice.h"
#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/TrayHosts.h"
#include "app/TrayIcon.h"
#include "platform/DesktopPlatform.h"
#include "platform/PresenceSources.h"
#include "platform/SessionTable.h"
#include "platform/appearance/SystemAppearance.h"
#include "platform/freedesktop/AutostartEntry.h"
#include "platform/freedesktop/DesktopNotifier.h"
#include "platform/null/NullWindowSystem.h"
#include "platform/qt/QtScheduler.h"
#include "platform/qt/SettingsDefaults.h"
#include "platform/qt/SystemClock.h"
#include "platform/x11/X11TraySelection.h"
#include "platform/x11/X11WindowSystem.h"
#include "settings/ReminderActions.h"
#include "tracking/AppTrackerStore.h"
#include "tracking/NotificationCenter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSessionManager>
#include <QSvgRenderer>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include <malloc.h>

using namespace nudgewatch;

namespace {

// The application icon at the sizes window lists and trays use, rendered from
// its SVG here: left to the SVG icon engine, the window system's request for a
// 128-pixel rendering also starts worker threads that then stay around idle.
QIcon applicationIcon()
{
    QSvgRenderer svg(QStringLiteral(":/app/nudgewatch.svg"));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(std::move(image)));
    }
    return icon;
}

} // namespace

int main(int argc, char *argv[])
{
    useRunningSessionBusOnly();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const PlatformChoice platform =
        choosePlatform(isWaylandSession(SessionFacts::fromEnvironment(
                           QProcessEnvironment::systemEnvironment(), {})),
                       !qEnvironmentVariableIsEmpty("DISPLAY"), arguments);
    const std::optional<QByteArray> userPlatform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
                                                       ? std::optional(qgetenv("QT_QPA_PLATFORM"))
                                                       : std::nullopt;
    if (!platform.pinned.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.pinned);
    QApplication app(argc, argv);
    // The applications it opens choose their own, as the user set it.
    if (!platform.pinned.isEmpty()) {
        if (userPlatform)
            qputenv("QT_QPA_PLATFORM", *userPlatform);
        else
            qunsetenv("QT_QPA_PLATFORM");
    }
    QApplication::setApplicationName(QStringLiteral("Nudgewatch"));
    QApplication::setOrganizationName(QStringLiteral("Nudgewatch"));
    QApplication::setApplicationVersion(QStringLiteral(NUDGEWATCH_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("nudgewatch"));
    // Closing the settings window leaves the reminders running.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reminds you of the applications you mean to use."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption atLogin(
        QLatin1String(autostartOption),
        QStringLiteral("Start quietly, without the settings window, as at login."));
    parser.addOption(atLogin);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(2);

    // A second launch shows the running instance's settings window and ends.
    SingleInstance instance;
    if (instance.start() == SingleInstance::Role::Secondary)
        return 0;

    // A logout's SIGTERM, Ctrl+C or a closed terminal: ended as by Quit, so
    // that everything the program set up in the desktop is taken down again.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &app, [](int signalNumber) {
        std::fprintf(stderr, "nudgewatch: ending on signal %d (%s)\n", signalNumber,
                     strsignal(signalNumber));
        QCoreApplication::quit();
    });

    SettingsDefaults defaults;
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const SessionFacts facts =
        SessionFacts::fromEnvironment(environment, QGuiApplication::platformName());
    const std::unique_ptr<DesktopPlatform> desktop = DesktopPlatform::create(facts);
    // Without the X server nothing can be tracked; quit without touching the settings.
    QObject::connect(desktop.get(), &DesktopPlatform::connectionLost, &app,
                     [] { QCoreApplication::exit(1); });
    SystemClock clock;
    QtScheduler scheduler;
    NotificationCenter notifications;
    // Each source reports its first state on a later turn of the event loop.
    PresenceSourceList presenceSources = createPresenceSources(
        desktop->session(), facts, PresenceSetup::fromEnvironment(environment), clock);
    PresenceSources presence;
    for (const auto &source : presenceSources)
        presence.push_back(*source);
    std::fprintf(stderr, "nudgewatch: presence sources: %s\n",
                 qPrintable(ReminderHold::describe(presence)));
    if (const QString note = desktop->sessionNote(); !note.isEmpty())
        std::fprintf(stderr, "nudgewatch: %s\n", qPrintable(note));
    // Without the card, reminders come as the desktop's notifications.
    const QString notifierReason = notificationReason(QGuiApplication::platformName(), platform);
    std::unique_ptr<DesktopNotifier> notifier;
    if (!notifierReason.isEmpty()) {
        std::fprintf(stderr, "nudgewatch: %s\n", qPrintable(notifierReason));
        notifier = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus());
    }
    SystemAppearance appearance(QDBusConnection::sessionBus(), AppearanceFiles::forSession(facts));
    std::unique_ptr<WindowSystem> windowSystem;
    if (std::unique_ptr<X11WindowSystem> x11 = X11WindowSystem::open())
        windowSystem = desktop->session().windowSystem(std::move(x11), scheduler);
    else
        windowSystem = std::make_unique<NullWindowSystem>();
    AppDelegate delegate({{desktop->tracker(),
                           desktop->opener(),
                           desktop->icons(),
                           desktop->bundleInfo(),
                           desktop->fileSystem(),
                           defaults,
                           clock,
                           scheduler,
                           notifications,
                           {},
                           presence},
                          desktop->catalog(),
                          *windowSystem,
                          desktop->compositorCheck(),
                          &appearance,
                          notifier.get(),
                          notifierReason.isEmpty() ? desktop->sessionNote() : notifierReason,
                          desktop->frontWindowLocator()});
    QObject::connect(&delegate, &AppDelegate::quitRequested, &app, &QCoreApplication::quit);
    // The desktop's index of entries learns which the user tracks: windows of
    // those outside the applications folders are recognised, and a tracked
    // launcher stands for the application it starts.
    const auto tellTracked = [&store = delegate.store(), &desktop] {
        desktop->trackedEntries().setTrackedEntries(store.trackedPaths());
    };
    tellTracked();
    QObject::connect(&delegate.store(), &AppTrackerStore::trackedAppsReloaded, desktop.get(),
                     tellTracked);
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate,
                     &AppDelegate::showSettings);

    // A session manager that saved the programs running at logout starts them
    // again at login with "-session ID" (taken by Qt): as quiet as a start from
    // the autostart entry.
    delegate.start(parser.isSet(atLogin) || app.isSessionRestored() ? AppDelegate::Launch::AtLogin
                                                                    : AppDelegate::Launch::ByUser);

    // Nothing depends on the tray, and asking whether one exists takes a D-Bus
    // round trip: set it up once the window is on its way, too. The same goes
    // for the icon: rendering it would otherwise come before the window maps.
    AutostartEntry autostart = AutostartEntry::forCurrentUser();
    // Where the autostart entry starts the program at login, the session
    // manager restarting it as well would make two starts of one login.
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &app,
                     [&autostart](QSessionManager &manager) {
                         if (autostart.isEnabled())
                             manager.setRestartHint(QSessionManager::RestartNever);
                     });
    std::unique_ptr<TrayIcon> tray;
    QTimer::singleShot(0, &delegate, [&] {
        const QIcon appIcon = applicationIcon();
        QApplication::setWindowIcon(appIcon);
        tray = std::make_unique<TrayIcon>(
            autostart, delegate.store().reminderHold(), appIcon,
            std::make_unique<TrayHosts>(QDBusConnection::sessionBus(),
                                        QGuiApplication::platformName() == QLatin1String("xcb")
                                            ? X11TraySelection::open()
                                            : nullptr));
        new ReminderMenuEntries(delegate.store(), tray->menu(), tray.get());
        QObject::connect(tray.get(), &TrayIcon::settingsRequested, &delegate,
                         &AppDelegate::showSettings);
        QObject::connect(tray.get(), &TrayIcon::quitRequested, &app, &QCoreApplication::quit);
        // Start-up is over: the heap it used and freed goes back to the system,
        // as the program then rests in the background for hours.
        QTimer::singleShot(0, &delegate, [] { malloc_trim(0); });
    });
    return app.exec();
}
