#include "app/AppDelegate.h"
#include "platform/linux/AutostartEntry.h"
#include "app/TrayIcon.h"
#include "fakes/Fakes.h"
#include "notch/NotchPanel.h"
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

    struct Setup {
        StoreFixture fixture;
        FakeApplicationCatalog catalog;
        std::unique_ptr<AppDelegate> delegate;

        explicit Setup(const QStringList &tracked = {})
        {
            QStringList paths = fixture.install(tracked);
            fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, paths);
            delegate = std::make_unique<AppDelegate>(
                AppServices{fixture.workspace, fixture.bundleInfo, fixture.fileSystem, catalog,
                            fixture.defaults, fixture.clock, fixture.scheduler});
        }
    };

private slots:
    void startsInOrder()
    {
        Setup s({"Alpha"});
        // The store exists and has loaded; nothing runs yet.
        QCOMPARE(s.delegate->store().trackedApps().size(), std::size_t(1));
        QCOMPARE(s.fixture.scheduler.activeTimers(), 0);
        QVERIFY(!s.delegate->settingsWindow());

        s.delegate->start();
        QVERIFY(s.delegate->settingsWindow()->isVisible());
        QCOMPARE(s.delegate->settingsWindow()->size(), QSize(520, 560));
        // Panel and monitoring wait until launching has finished.
        QVERIFY(!s.delegate->panel());
        QCOMPARE(s.fixture.scheduler.activeTimers(), 0);

        QCoreApplication::processEvents();
        QVERIFY(s.delegate->panel());
        QCOMPARE(s.fixture.scheduler.activeTimers(), 1); // the monitor
    }

    void noSavedApplicationsStillStartsEverything()
    {
        Setup s;
        s.delegate->start();
        QCoreApplication::processEvents();
        QVERIFY(s.delegate->panel());
        QCOMPARE(s.fixture.scheduler.activeTimers(), 1);
        QVERIFY(!s.delegate->panel()->isVisible()); // nothing to show
    }

    void closingTheWindowKeepsEverythingRunning()
    {
        Setup s({"Alpha"});
        s.delegate->start();
        QCoreApplication::processEvents();
        NotchPanel *panel = s.delegate->panel();
        QVERIFY(s.delegate->settingsWindow()->close());
        QCoreApplication::processEvents();
        QCOMPARE(s.delegate->panel(), panel);
        QCOMPARE(s.fixture.scheduler.activeTimers(), 1);
        s.fixture.scheduler.advance(5);
        QCOMPARE(s.delegate->store().trackedApps()[0].idleSeconds, 5.0);

        s.delegate->showSettings(); // a second launch, or the tray
        QVERIFY(s.delegate->settingsWindow()->isVisible());
    }

    void reminderStillDropsWithTheWindowClosed()
    {
        Setup s({"Alpha"});
        s.fixture.defaults.values.insert(defaultsKeys::idleThreshold, 2.0);
        s.delegate = std::make_unique<AppDelegate>(
            AppServices{s.fixture.workspace, s.fixture.bundleInfo, s.fixture.fileSystem, s.catalog,
                        s.fixture.defaults, s.fixture.clock, s.fixture.scheduler});
        s.delegate->start();
        QCoreApplication::processEvents();
        s.delegate->settingsWindow()->close();
        s.fixture.scheduler.advance(3);
        QVERIFY(s.delegate->store().isPanelExpanded());
        s.fixture.scheduler.advance(1);
        QVERIFY(s.delegate->panel()->frameHeight() > 1);
    }

    void ctrlQInTheWindowAsksToQuit()
    {
        Setup s;
        QSignalSpy quit(s.delegate.get(), &AppDelegate::quitRequested);
        s.delegate->start();
        QVERIFY(QTest::qWaitForWindowActive(s.delegate->settingsWindow()));
        QTest::keyClick(s.delegate->settingsWindow(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 1);
    }

    void trayMenu()
    {
        QTemporaryDir dir;
        AutostartEntry autostart(dir.path() + "/autostart", "/usr/bin/nudgewatch");
        TrayIcon tray(autostart, QIcon());
        QSignalSpy settings(&tray, &TrayIcon::settingsRequested);
        QSignalSpy quit(&tray, &TrayIcon::quitRequested);
        QCOMPARE(tray.settingsAction()->text(), QStringLiteral("Settings\u2026"));
        QCOMPARE(tray.quitAction()->text(), "Quit");
        QVERIFY(!tray.startAtLoginAction()->isChecked());

        tray.startAtLoginAction()->trigger();
        QVERIFY(autostart.isEnabled());
        QVERIFY(tray.startAtLoginAction()->isChecked());
        tray.startAtLoginAction()->trigger();
        QVERIFY(!autostart.isEnabled());
        QVERIFY(!tray.startAtLoginAction()->isChecked());

        // Switched on elsewhere: the menu shows it when it opens.
        QVERIFY(autostart.setEnabled(true));
        emit tray.menu().aboutToShow();
        QVERIFY(tray.startAtLoginAction()->isChecked());

        tray.settingsAction()->trigger();
        tray.quitAction()->trigger();
        QCOMPARE(settings.size(), 1);
        QCOMPARE(quit.size(), 1);
    }

    void trayShowsTheTruthWhenWritingFails()
    {
        QTemporaryDir dir;
        QFile blocker(dir.path() + "/autostart");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        AutostartEntry autostart(dir.path() + "/autostart", "/usr/bin/nudgewatch");
        TrayIcon tray(autostart, QIcon());
        tray.startAtLoginAction()->trigger();
        QVERIFY(!tray.startAtLoginAction()->isChecked());
    }
};

QTEST_MAIN(AppDelegateTest)
#include "app_delegate_test.moc"
