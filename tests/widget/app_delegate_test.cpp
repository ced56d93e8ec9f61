// The program's start, lifecycle and tray menu over fakes.
#include "app/AppDelegate.h"
#include "app/TrayIcon.h"
#include "fakes/Fakes.h"
#include "notch/NotchPanel.h"
#include "platform/linux/AutostartEntry.h"
#include "settings/MainWindow.h"
#include "widget/settings_fakes.h"

#include <QIcon>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

class AppDelegateTest : public QObject {
    Q_OBJECT
private slots:
    void startsInOrderAndKeepsRunningWithTheWindowClosed()
    {
        StoreFixture fixture;
        FakeApplicationCatalog catalog;
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({"Alpha"}));
        fixture.defaults.values.insert(defaultsKeys::idleThreshold, 2.0);
        AppDelegate delegate(AppServices{fixture.workspace.tracker,
                                         fixture.workspace.opener,
                                         fixture.workspace.icons,
                                         fixture.bundleInfo,
                                         fixture.fileSystem,
                                         catalog,
                                         fixture.defaults,
                                         fixture.clock,
                                         fixture.scheduler,
                                         {}});
        QCOMPARE(delegate.store().trackedApps().size(), std::size_t(1)); // loaded, nothing runs
        QCOMPARE(fixture.scheduler.activeTimers(), 0);
        delegate.start();
        QVERIFY(delegate.settingsWindow()->isVisible());
        // Panel and monitoring wait until launching has finished.
        QVERIFY(!delegate.panel());
        QCoreApplication::processEvents();
        QVERIFY(delegate.panel());
        QCOMPARE(fixture.scheduler.activeTimers(), 1); // the monitor

        QVERIFY(delegate.settingsWindow()->close());
        fixture.scheduler.advance(3);
        QVERIFY(delegate.store().isPanelExpanded());
        fixture.scheduler.advance(1);
        QVERIFY(delegate.panel()->frameHeight() > 1);
        delegate.showSettings(); // a second launch, or the tray
        QVERIFY(delegate.settingsWindow()->isVisible());
    }

    void trayMenu()
    {
        QTemporaryDir dir;
        AutostartEntry autostart(dir.path() + "/autostart", "/usr/bin/nudgewatch");
        TrayIcon tray(autostart, QIcon());
        QSignalSpy settings(&tray, &TrayIcon::settingsRequested);
        QSignalSpy quit(&tray, &TrayIcon::quitRequested);
        tray.startAtLoginAction()->trigger();
        QVERIFY(autostart.isEnabled());
        QVERIFY(tray.startAtLoginAction()->isChecked());
        tray.startAtLoginAction()->trigger();
        QVERIFY(!autostart.isEnabled());
        // Switched on elsewhere: the menu shows it when it opens.
        QVERIFY(autostart.setEnabled(true));
        emit tray.menu().aboutToShow();
        QVERIFY(tray.startAtLoginAction()->isChecked());
        tray.settingsAction()->trigger();
        tray.quitAction()->trigger();
        QCOMPARE(settings.size(), 1);
        QCOMPARE(quit.size(), 1);
        // When the entry cannot be written (its folder is a file) the menu shows the truth.
        QFile blocker(dir.path() + "/blocked");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        AutostartEntry blocked(blocker.fileName(), "/usr/bin/nudgewatch");
        TrayIcon failing(blocked, QIcon());
        failing.startAtLoginAction()->trigger();
        QVERIFY(!failing.startAtLoginAction()->isChecked());
    }
};

QTEST_MAIN(AppDelegateTest)
#include "app_delegate_test.moc"
