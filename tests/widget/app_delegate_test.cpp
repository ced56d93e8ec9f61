// The program's start, lifecycle and tray menu over fakes.
#include "app/AppDelegate.h"
#include "app/TrayIcon.h"
#include "fakes/Fakes.h"
#include "notch/NotchPanel.h"
#include "platform/freedesktop/AutostartEntry.h"
#include "settings/AppsSection.h"
#include "settings/HoldNotice.h"
#include "settings/MainWindow.h"
#include "settings/PauseMenu.h"
#include "widget/settings_fakes.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

// The program over fakes, tracking Alpha with a 2-second threshold; reminding
// through `notifier`, for the reason `why`, where given.
struct Program {
    explicit Program(ReminderNotifier *notifier = nullptr, const QString &why = {})
    {
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"Alpha"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 2.0);
        delegate.emplace(
            AppServices{f.services(), catalog, f.windowSystem, {}, nullptr, notifier, why});
    }
    StoreFixture f;
    FakeApplicationCatalog catalog;
    std::optional<AppDelegate> delegate;
};

} // namespace

class AppDelegateTest : public QObject {
    Q_OBJECT
private slots:
    // Started by the user the window shows at once; at login nothing shows.
    // Either way the reminders run, with the window closed, until it is asked for.
    void startsInOrderAndKeepsRunningWithTheWindowClosed_data()
    {
        QTest::addColumn<AppDelegate::Launch>("launch");
        QTest::newRow("by the user") << AppDelegate::Launch::ByUser;
        QTest::newRow("at login") << AppDelegate::Launch::AtLogin;
    }
    void startsInOrderAndKeepsRunningWithTheWindowClosed()
    {
        QFETCH(AppDelegate::Launch, launch);
        const bool byUser = launch == AppDelegate::Launch::ByUser;
        Program p;
        AppDelegate &delegate = *p.delegate;
        QCOMPARE(delegate.store().trackedApps().size(), std::size_t(1)); // loaded, nothing runs
        QCOMPARE(p.f.scheduler.activeTimers(), 0);
        delegate.start(launch);
        QVERIFY(!delegate.panel()); // panel and monitoring wait until launching has finished
        QCoreApplication::processEvents();
        QVERIFY(delegate.panel());
        QCOMPARE(p.f.scheduler.activeTimers(), 1); // the monitor
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(),
                                       [](QWidget *w) { return qobject_cast<MainWindow *>(w); }),
                 byUser ? 1 : 0); // at login, none is even built
        QVERIFY(!byUser || delegate.settingsWindow()->isVisible());

        // A closed window is freed; the next one opens where it was.
        QPoint placed;
        if (byUser) {
            delegate.settingsWindow()->move(delegate.settingsWindow()->pos() + QPoint(30, 20));
            placed = delegate.settingsWindow()->pos();
            QPointer<MainWindow> closed = delegate.settingsWindow();
            QVERIFY(closed->close());
            QVERIFY(!delegate.settingsWindow());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!closed);
        }
        p.f.scheduler.advance(4);
        QVERIFY(delegate.panel()->frameHeight() > 1); // reminders go on without it
        delegate.showSettings();                      // a second launch, or the tray
        QVERIFY(delegate.settingsWindow()->isVisible());
        QCOMPARE(delegate.settingsWindow()->appsSection()->rows().size(), std::size_t(1));
        // Where it was, not where a new window goes (30 + 20 px away); a platform may
        // shift a restored window by a few pixels of frame (Qt 6.8's offscreen: 3).
        if (byUser)
            QCOMPARE_LE((delegate.settingsWindow()->pos() - placed).manhattanLength(), 4);
    }

    // The window manager's second close request, for a window not yet deleted,
    // leaves the one opened since alone.
    void aSecondCloseBeforeTheWindowIsGoneIsHarmless()
    {
        Program p;
        AppDelegate &delegate = *p.delegate;
        delegate.start();
        QPointer<MainWindow> first = delegate.settingsWindow();
        for (int close = 0; close < 2; ++close) {
            QCloseEvent event;
            QCoreApplication::sendEvent(first, &event);
            if (close == 0)
                delegate.showSettings();
        }
        MainWindow *current = delegate.settingsWindow();
        QVERIFY(current && current != first);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QCOMPARE(delegate.settingsWindow(), current);
        QVERIFY(current->isVisible());
    }

    void withoutTheCardRemindersComeAsDesktopNotifications()
    {
        struct Notifier final : ReminderNotifier {
            void show(const QString &path, const QString &title, const QString &) override
            {
                shown.append(path + ' ' + title);
            }
            void withdraw() override { ++withdrawn; }
            QStringList shown;
            int withdrawn = 0;
        } notifier;
        Program p(&notifier, "Why.");
        StoreFixture &f = p.f;
        AppDelegate &delegate = *p.delegate;
        const QStringList alpha{appPath("Alpha")};
        delegate.start();
        QVERIFY(delegate.settingsWindow()->holdNotice()->isVisible());
        QCOMPARE(delegate.settingsWindow()->holdNotice()->noteLabel()->text(), "Why.");
        const auto advance = [&](double seconds) {
            f.scheduler.advance(seconds);
            QCoreApplication::processEvents();
        };
        advance(0);
        QVERIFY(!delegate.panel());
        advance(40); // the store's reminder hides and comes back: one notification
        QCOMPARE(notifier.shown, QStringList{alpha[0] + " Alpha"});
        emit notifier.openRequested(alpha[0]);
        QCOMPARE(f.workspace.opener.opened, alpha);
        f.workspace.activate({"Alpha", alpha[0]});
        advance(1);
        QCOMPARE(notifier.withdrawn, 1);
        f.workspace.activate({"Other", {}});
        advance(4); // idle again: told again
        QCOMPARE(notifier.shown.size(), 2);
        emit notifier.snoozeRequested(alpha[0]);
        advance(1);
        QCOMPARE(notifier.withdrawn, 2);
        QCOMPARE_LT(delegate.store().trackedApps().front().idleSeconds, 2);
        // No server: said in the window, and tried again, until a reminder shows.
        advance(4);
        QCOMPARE(notifier.shown.size(), 3);
        QLabel *note = delegate.settingsWindow()->holdNotice()->noteLabel();
        emit notifier.trouble("No server.");
        QCOMPARE(note->text(), "Why.\nThe last reminder could not be shown: No server.");
        advance(40);
        QCOMPARE(notifier.shown.size(), 4);
        emit notifier.trouble({});
        QCOMPARE(note->text(), "Why.");
    }

    void trayMenu()
    {
        QTemporaryDir dir;
        AutostartEntry autostart(dir.path() + "/autostart", "/usr/bin/nudgewatch");
        StoreFixture f;
        ReminderHold hold(f.workspace.tracker, {}, f.clock, f.scheduler);
        TrayIcon tray(autostart, hold, QIcon());
        QSignalSpy settings(&tray, &TrayIcon::settingsRequested);
        QSignalSpy quit(&tray, &TrayIcon::quitRequested);
        tray.startAtLoginAction()->trigger();
        QVERIFY(autostart.isEnabled());
        tray.startAtLoginAction()->trigger();
        QVERIFY(!autostart.isEnabled());
        QVERIFY(autostart.setEnabled(true)); // switched on elsewhere: shown when the menu opens
        emit tray.menu().aboutToShow();
        QVERIFY(tray.startAtLoginAction()->isChecked());
        tray.settingsAction()->trigger();
        tray.quitAction()->trigger();
        QCOMPARE(settings.size(), 1);
        QCOMPARE(quit.size(), 1);
        QVERIFY(!tray.resumeAction()->isVisible()); // offered only while paused
        tray.pauseMenu()->longPauseAction()->trigger();
        QVERIFY(hold.state().pausedByUser() && tray.resumeAction()->isVisible());
        tray.resumeAction()->trigger();
        QVERIFY(!hold.isHeld() && !tray.resumeAction()->isVisible());
        // When the entry cannot be written (its folder is a file: the entry above) the menu
        // shows the truth.
        AutostartEntry blocked(autostart.filePath(), "/usr/bin/nudgewatch");
        TrayIcon failing(blocked, hold, QIcon());
        failing.startAtLoginAction()->trigger();
        QVERIFY(!failing.startAtLoginAction()->isChecked());
    }
};

QTEST_MAIN(AppDelegateTest)
#include "app_delegate_test.moc"
