#include "fakes/Fakes.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

RunningApplication named(const QString &name, std::optional<QString> path = std::nullopt)
{
    return RunningApplication{name, std::move(path)};
}

QString appPath(const QString &name)
{
    return QStringLiteral("/apps/%1.desktop").arg(name);
}

// Counts the notifications the panel would see.
struct PostLog {
    PostLog(NotificationCenter &center)
    {
        for (const QString &name : {notifications::expand, notifications::collapse})
            center.addObserver(name, &owner, [this, name](const QVariantMap &) { names << name; });
    }
    int count(const QString &name) const { return int(names.count(name)); }
    QObject owner;
    QStringList names;
};

} // namespace

class TestStore : public QObject {
    Q_OBJECT
private slots:
    void thresholdResolution_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<double>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("absent") << QVariant() << 60.0;
        QTest::newRow("zero") << QVariant(0.0) << 60.0;
        QTest::newRow("negative") << QVariant(-5.0) << 60.0;
        QTest::newRow("NaN") << QVariant(std::nan("")) << 60.0;
        QTest::newRow("+inf") << QVariant(inf) << 60.0;
        QTest::newRow("-inf") << QVariant(-inf) << 60.0;
        QTest::newRow("text") << QVariant("soon") << 60.0;
        QTest::newRow("list") << QVariant(QStringList{"1", "2"}) << 60.0;
        QTest::newRow("45.5") << QVariant(45.5) << 45.5;
        QTest::newRow("numeric text") << QVariant("90") << 90.0;
        QTest::newRow("1e308") << QVariant(1e308) << 1e308;
        QTest::newRow("tiny") << QVariant(1e-300) << 1e-300;
    }
    void thresholdResolution()
    {
        QFETCH(QVariant, stored);
        QFETCH(double, expected);
        StoreFixture f;
        if (stored.isValid())
            f.defaults.values.insert(defaultsKeys::idleThreshold, stored);
        auto store = f.makeStore();
        QCOMPARE(store->idleThresholdSeconds(), expected);
        // The resolved value is written back, so the key exists from now on.
        QCOMPARE(f.defaults.values.value(defaultsKeys::idleThreshold).toDouble(), expected);
    }

    void loadBuildsRecordsFromSavedPaths_data()
    {
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<QStringList>("expectedNames");
        QTest::newRow("in order") << QStringList{appPath("B"), appPath("A")}
                                  << QStringList{"B", "A"};
        QTest::newRow("missing skipped")
            << QStringList{appPath("A"), "/gone.desktop", appPath("B")} << QStringList{"A", "B"};
        QTest::newRow("empty and relative skipped")
            << QStringList{"", "A.desktop", appPath("A")} << QStringList{"A"};
        QTest::newRow("duplicate listed twice")
            << QStringList{appPath("A"), appPath("A")} << QStringList{"A", "A"};
    }
    void loadBuildsRecordsFromSavedPaths()
    {
        QFETCH(QStringList, saved);
        QFETCH(QStringList, expectedNames);
        StoreFixture f;
        f.install({"A", "B"});
        f.fileSystem.existing.insert("A.desktop");
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, saved);
        auto store = f.makeStore();
        QStringList names;
        for (const TrackedApp &app : store->trackedApps()) {
            names << app.name;
            QCOMPARE(app.idleSeconds, 0.0);
            QVERIFY(!app.isCurrentlyFocused);
            QCOMPARE(app.lastUsed, f.clock.now());
            QVERIFY(!app.icon.isNull());
        }
        QCOMPARE(names, expectedNames);
        // Loading never rewrites the saved list, missing entries included.
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(), saved);
    }

    void displayName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<BundleNames>("names");
        QTest::addColumn<QString>("expected");
        QTest::newRow("localized first")
            << "/a/x.desktop" << BundleNames{"Notizen", "Notes"} << "Notizen";
        QTest::newRow("plain name")
            << "/a/x.desktop" << BundleNames{std::nullopt, "Notes"} << "Notes";
        QTest::newRow("file name") << "/a/Some Tool.desktop" << BundleNames{} << "Some Tool";
        QTest::newRow("dotted file name")
            << "/a/org.example.Tool.desktop" << BundleNames{} << "org.example.Tool";
    }
    void displayName()
    {
        QFETCH(QString, path);
        QFETCH(BundleNames, names);
        QFETCH(QString, expected);
        StoreFixture f;
        f.fileSystem.existing.insert(path);
        f.bundleInfo.names.insert(path, names);
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, QStringList{path});
        auto store = f.makeStore();
        QCOMPARE(store->trackedApps().size(), 1u);
        QCOMPARE(store->trackedApps().front().name, expected);
    }

    void addApp_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QStringList>("expectedSaved");
        const QString a = appPath("A");
        const QString b = appPath("B");
        QTest::newRow("appends") << QUrl::fromLocalFile(b) << QStringList{a, b};
        QTest::newRow("dot segments standardized")
            << QUrl::fromLocalFile("/apps/./sub/../B.desktop") << QStringList{a, b};
        QTest::newRow("already saved") << QUrl::fromLocalFile("/apps//A.desktop") << QStringList{a};
        QTest::newRow("nothing there") << QUrl::fromLocalFile("/apps/C.desktop") << QStringList{a};
        QTest::newRow("not a file URL") << QUrl("https://example.org/B.desktop") << QStringList{a};
        QTest::newRow("empty URL") << QUrl() << QStringList{a};
    }
    void addApp()
    {
        QFETCH(QUrl, url);
        QFETCH(QStringList, expectedSaved);
        StoreFixture f;
        f.install({"A", "B"});
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, QStringList{appPath("A")});
        auto store = f.makeStore();
        const QUuid before = store->trackedApps().front().id;
        const int writesBefore = f.defaults.writes;
        store->addApp(url);
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 expectedSaved);
        const bool changed = expectedSaved.size() == 2;
        QCOMPARE(f.defaults.writes, writesBefore + (changed ? 1 : 0));
        QCOMPARE(store->trackedApps().size(), std::size_t(expectedSaved.size()));
        // Only a real change rebuilds the list (and so renews ids).
        QCOMPARE(store->trackedApps().front().id != before, changed);
    }

    void addBeyondFiveIsTheWindowsLimitNotTheStores()
    {
        StoreFixture f;
        const QStringList paths = f.install({"A", "B", "C", "D", "E", "F"});
        auto store = f.makeStore();
        for (const QString &path : paths)
            store->addApp(QUrl::fromLocalFile(path));
        QCOMPARE(store->trackedApps().size(), 6u);
    }

    void failedSaveAddsAndRemovesNothing()
    {
        StoreFixture f;
        f.install({"A", "B"});
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, QStringList{appPath("A")});
        auto store = f.makeStore();
        QSignalSpy failures(store.get(), &AppTrackerStore::saveFailed);
        f.defaults.failWrites = true;
        store->addApp(QUrl::fromLocalFile(appPath("B")));
        QCOMPARE(store->trackedApps().size(), 1u);
        store->removeApp(store->trackedApps().front().id);
        QCOMPARE(store->trackedApps().size(), 1u);
        QVERIFY(!store->setIdleThresholdSeconds(90));
        QCOMPARE(failures.count(), 3);
        QVERIFY(!store->lastSaveSucceeded());
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 QStringList{appPath("A")});
    }

    void removeApp()
    {
        StoreFixture f;
        f.install({"A", "B"});
        f.defaults.values.insert(defaultsKeys::trackedAppPaths,
                                 QStringList{appPath("A"), appPath("B"), appPath("A")});
        auto store = f.makeStore();
        QCOMPARE(store->trackedApps().size(), 3u);

        const int writes = f.defaults.writes;
        store->removeApp(QUuid::createUuid());
        QCOMPARE(f.defaults.writes, writes);
        QCOMPARE(store->trackedApps().size(), 3u);

        f.clock.advance(5);
        const QUuid keptId = store->trackedApps()[1].id;
        store->removeApp(store->trackedApps().front().id);
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 QStringList{appPath("B")});
        QCOMPARE(store->trackedApps().size(), 1u);
        const TrackedApp &b = store->trackedApps().front();
        QVERIFY(b.id != keptId);
        QCOMPARE(b.lastUsed, f.clock.now());
    }

    void appMatches_data()
    {
        QTest::addColumn<RunningApplication>("running");
        QTest::addColumn<bool>("matches");
        const QString path = appPath("Notes");
        QTest::newRow("same path") << named("Other", path) << true;
        QTest::newRow("same path, no name") << RunningApplication{std::nullopt, path} << true;
        QTest::newRow("path standardized") << named("Notes", "/apps/x/../Notes.desktop") << true;
        QTest::newRow("other path, same name")
            << named("Notes", "/usr/share/Notes.desktop") << false;
        QTest::newRow("path case differs") << named("Notes", "/apps/notes.desktop") << false;
        QTest::newRow("relative path") << named("Notes", "Notes.desktop") << false;
        QTest::newRow("no path, same name") << named("Notes") << true;
        QTest::newRow("no path, other name") << named("notes") << false;
        QTest::newRow("nothing") << RunningApplication{} << false;
    }
    void appMatches()
    {
        QFETCH(RunningApplication, running);
        QFETCH(bool, matches);
        const TrackedApp tracked("Notes", appPath("Notes"), QImage(), WallTime());
        QCOMPARE(nudgewatch::appMatches(tracked, running), matches);
    }

    void standardizedPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("standard") << "/a/b.desktop"
                                  << "/a/b.desktop";
        QTest::newRow("dot") << "/a/./b.desktop"
                             << "/a/b.desktop";
        QTest::newRow("dot dot") << "/a/x/../b.desktop"
                                 << "/a/b.desktop";
        QTest::newRow("double slash") << "/a//b.desktop"
                                      << "/a/b.desktop";
        QTest::newRow("trailing slash") << "/a/b/"
                                        << "/a/b";
        QTest::newRow("trailing dot dot") << "/a/b/.."
                                          << "/a";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("dots in names") << "/a/..b/c..d/.e"
                                       << "/a/..b/c..d/.e";
        QTest::newRow("relative") << "a/b"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void standardizedPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(nudgewatch::standardizedPath(path), expected);
    }

    void thresholdBoundary_data()
    {
        QTest::addColumn<double>("idle");
        QTest::addColumn<bool>("reminded");
        QTest::newRow("59.9") << 59.9 << false;
        QTest::newRow("60.0") << 60.0 << true;
        QTest::newRow("60.5") << 60.5 << true;
    }
    void thresholdBoundary()
    {
        QFETCH(double, idle);
        QFETCH(bool, reminded);
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        auto store = f.makeStore();
        // Shift the clock so that the tick 60 s after start finds A idle for `idle` s.
        f.clock.advance(idle - 60.0);
        store->startMonitoring();
        f.scheduler.advance(60);
        QCOMPARE(store->trackedApps().front().idleSeconds, idle);
        QCOMPARE(store->isPanelExpanded(), reminded);
    }

    void firstInListWinsAndFocusedIsNeverReminded()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A", "B", "C"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 1000.0);
        auto store = f.makeStore();
        store->startMonitoring();
        f.workspace.activate(named("C", appPath("C")));
        f.scheduler.advance(5);
        f.workspace.activate(named("B", appPath("B"))); // C idles from 5 s
        f.scheduler.advance(5);
        f.workspace.activate(named("A", appPath("A"))); // B idles from 10 s
        f.scheduler.advance(30);
        QVERIFY(!store->isPanelExpanded());
        store->setIdleThresholdSeconds(30);
        f.scheduler.advance(1);
        // C has been idle for 36 s, B for 31 s: B is listed first and wins.
        QVERIFY(store->isPanelExpanded());
        QCOMPARE(store->alertApp()->name, QString("B"));
        QCOMPARE(store->trackedApps()[2].idleSeconds, 36.0);
        QCOMPARE(store->trackedApps()[0].idleSeconds, 0.0);
        // However low the threshold, the app in front is never reminded about.
        store->setIdleThresholdSeconds(1e-9);
        store->snooze();
        f.workspace.activate(named("B", appPath("B")));
        f.workspace.activate(named("C", appPath("C")));
        f.scheduler.advance(1);
        QCOMPARE(store->alertApp()->name, QString("A"));
        QVERIFY(store->trackedApps()[2].isCurrentlyFocused);
        QCOMPARE(store->trackedApps()[2].idleSeconds, 0.0);
    }

    void activationDismissesOnlyWhenNamesAgree_data()
    {
        QTest::addColumn<RunningApplication>("activated");
        QTest::addColumn<bool>("dismissed");
        QTest::addColumn<bool>("clockRestarted");
        QTest::newRow("same name and path") << named("A", appPath("A")) << true << true;
        QTest::newRow("other name, same path") << named("Alpha", appPath("A")) << false << true;
        QTest::newRow("same name, other path")
            << named("A", "/elsewhere/A.desktop") << true << false;
        QTest::newRow("other app") << named("B", appPath("B")) << false << false;
        QTest::newRow("no name") << RunningApplication{std::nullopt, appPath("A")} << false
                                 << false;
    }
    void activationDismissesOnlyWhenNamesAgree()
    {
        QFETCH(RunningApplication, activated);
        QFETCH(bool, dismissed);
        QFETCH(bool, clockRestarted);
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A", "B"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 30.0);
        auto store = f.makeStore();
        store->startMonitoring();
        f.workspace.activate(named("B", appPath("B")));
        f.scheduler.advance(30);
        QCOMPARE(store->alertApp()->name, QString("A"));
        PostLog log(f.notifications);
        f.workspace.activate(activated);
        QCOMPARE(store->isPanelExpanded(), !dismissed);
        QCOMPARE(log.count(notifications::collapse), dismissed ? 1 : 0);
        QCOMPARE(store->trackedApps()[0].idleSeconds == 0.0, clockRestarted);
    }

    void activationWithoutUsableApplicationChangesNothing_data()
    {
        QTest::addColumn<QVariantMap>("userInfo");
        QTest::newRow("empty") << QVariantMap{};
        QTest::newRow("wrong type") << QVariantMap{{Workspace::applicationKey, QString("A")}};
        QTest::newRow("wrong key") << QVariantMap{{"app", QVariant::fromValue(named("A"))}};
    }
    void activationWithoutUsableApplicationChangesNothing()
    {
        QFETCH(QVariantMap, userInfo);
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A", "B"}));
        auto store = f.makeStore();
        store->startMonitoring();
        f.workspace.activate(named("B"));
        QSignalSpy changes(store.get(), &AppTrackerStore::objectWillChange);
        emit f.workspace.didActivateApplication(userInfo);
        QCOMPARE(changes.count(), 0);
        QVERIFY(store->trackedApps()[1].isCurrentlyFocused);
    }

    void unnamedActivationKeepsFocusFlags()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A", "B"}));
        auto store = f.makeStore();
        f.workspace.frontmost = named("A", appPath("A"));
        store->startMonitoring(); // the frontmost app counts as used at start
        QVERIFY(store->trackedApps()[0].isCurrentlyFocused);
        f.workspace.activate(RunningApplication{});
        f.scheduler.advance(5);
        QVERIFY(store->trackedApps()[0].isCurrentlyFocused);
        QCOMPARE(store->trackedApps()[0].idleSeconds, 0.0);
        QCOMPARE(store->trackedApps()[1].idleSeconds, 5.0);
    }

    // Icons asked for while the program starts may be stand-ins; asking again
    // replaces them in every record, the shown reminder's included, in place.
    void reloadIconsKeepsTheRecords()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"Notes", "Mail"}));
        auto store = f.makeStore();
        store->startMonitoring();
        f.scheduler.advance(60);
        QVERIFY(store->alertApp().has_value());
        std::vector<QUuid> ids;
        for (const TrackedApp &app : store->trackedApps())
            ids.push_back(app.id);
        f.workspace.iconColor = Qt::magenta;
        QSignalSpy changes(store.get(), &AppTrackerStore::objectWillChange);
        store->reloadIcons();
        QVERIFY(changes.count() > 0);
        QCOMPARE(int(store->trackedApps().size()), 2);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            QCOMPARE(store->trackedApps()[i].id, ids[i]);
            QCOMPARE(store->trackedApps()[i].icon.pixelColor(24, 24), QColor(Qt::magenta));
        }
        QCOMPARE(store->alertApp()->icon.pixelColor(24, 24), QColor(Qt::magenta));
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList().size(), 2);
    }

    void reminderMessageAndNotifications()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"Notes"}));
        f.nextRandom = 3;
        auto store = f.makeStore();
        // The card's content is in place when the panel is told to expand.
        QString messageAtExpand;
        QObject owner;
        f.notifications.addObserver(notifications::expand, &owner, [&](const QVariantMap &) {
            QVERIFY(store->alertApp().has_value());
            QVERIFY(store->isPanelExpanded());
            messageAtExpand = store->alertMessage();
        });
        store->startMonitoring();
        f.scheduler.advance(60);
        QCOMPARE(messageAtExpand, QString("Notes has been idle. Open it?"));
        QCOMPARE(AppTrackerStore::waitingMessages.size(), 6);
    }

    void autoHideThenReRaiseWithNewEnding()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 30.0);
        auto store = f.makeStore();
        PostLog log(f.notifications);
        store->startMonitoring();
        f.scheduler.advance(30);
        QCOMPARE(store->alertMessage(), QString("A is waiting for you!"));
        f.nextRandom = 1;
        f.scheduler.advance(14.5);
        QVERIFY(store->isPanelExpanded());
        f.scheduler.advance(0.5); // the 15-second auto-hide fires before the tick at 45 s
        QVERIFY(!store->alertApp());
        QCOMPARE(store->alertMessage(), QString("A is waiting for you!")); // message stays
        QCOMPARE(log.names, QStringList({notifications::expand, notifications::collapse}));
        f.scheduler.advance(1);
        QVERIFY(store->isPanelExpanded());
        QCOMPARE(store->alertMessage(), QString("A misses you!"));
        QCOMPARE(log.count(notifications::expand), 2);
    }

    void autoHideInTheSameInstantAsATickLeavesAGap_data()
    {
        QTest::addColumn<double>("threshold");
        QTest::newRow("2 s") << 2.0;
        QTest::newRow("default") << 60.0;
    }
    void autoHideInTheSameInstantAsATickLeavesAGap()
    {
        // The auto-hide is started by a tick, so it and a later tick fall due
        // together; the card must still be seen to hide.
        QFETCH(double, threshold);
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, threshold);
        auto store = f.makeStore();
        PostLog log(f.notifications);
        store->startMonitoring();
        f.scheduler.advance(threshold);
        QVERIFY(store->isPanelExpanded());
        f.scheduler.advance(AppTrackerStore::autoHideSeconds);
        QVERIFY(!store->isPanelExpanded());
        QCOMPARE(log.names, QStringList({notifications::expand, notifications::collapse}));
        f.scheduler.advance(AppTrackerStore::monitorIntervalSeconds);
        QVERIFY(store->isPanelExpanded());
        QCOMPARE(log.count(notifications::expand), 2);
    }

    void earlyEndIsFollowedByTheOldTimersCollapse()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A", "B"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 30.0);
        auto store = f.makeStore();
        PostLog log(f.notifications);
        store->startMonitoring();
        f.workspace.activate(named("B", appPath("B")));
        f.scheduler.advance(30);
        QVERIFY(store->isPanelExpanded());
        store->openApp(store->trackedApps()[1]); // open another app: the reminder ends
        QCOMPARE(f.workspace.opened, QStringList{appPath("B")});
        QVERIFY(!store->isPanelExpanded());
        // The next tick reminds about A again, replacing the first auto-hide timer.
        f.scheduler.advance(1);
        QVERIFY(store->isPanelExpanded());
        f.workspace.activate(named("A", appPath("A")));
        QVERIFY(!store->isPanelExpanded());
        log.names.clear();
        // Of the two auto-hide timers (due at 45 s and 46 s) only the second fires.
        f.scheduler.advance(15);
        QCOMPARE(log.names, QStringList{notifications::collapse});
    }

    void snoozeRestartsTheIdleClock()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 30.0);
        auto store = f.makeStore();
        store->startMonitoring();
        f.scheduler.advance(30);
        QVERIFY(store->isPanelExpanded());
        f.scheduler.advance(0.25);
        store->snooze();
        QVERIFY(!store->isPanelExpanded());
        f.scheduler.advance(1);
        QCOMPARE(store->trackedApps()[0].idleSeconds, 0.75);
        f.scheduler.advance(29); // 59.75 s: 29.75 s since the snooze
        QVERIFY(!store->isPanelExpanded());
        f.scheduler.advance(1);
        QVERIFY(store->isPanelExpanded());
    }

    void snoozeAfterRebuildOnlyEndsTheReminder()
    {
        StoreFixture f;
        f.install({"B"});
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 30.0);
        auto store = f.makeStore();
        store->startMonitoring();
        f.scheduler.advance(30);
        store->addApp(QUrl::fromLocalFile(appPath("B"))); // new ids
        QVERIFY(store->isPanelExpanded());                // the reminder stays
        const WallTime rebuilt = store->trackedApps()[0].lastUsed;
        f.clock.advance(0.5);
        store->snooze();
        QVERIFY(!store->isPanelExpanded());
        QCOMPARE(store->trackedApps()[0].lastUsed, rebuilt);
    }

    void endingsWithoutReminderStillCollapse()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        auto store = f.makeStore();
        PostLog log(f.notifications);
        store->snooze();
        store->openApp(store->trackedApps()[0]);
        QCOMPARE(log.names, QStringList({notifications::collapse, notifications::collapse}));
    }

    void idleKeepsCountingWhileAReminderShows()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A", "B"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, 30.0);
        auto store = f.makeStore();
        store->startMonitoring();
        f.scheduler.advance(30);
        QCOMPARE(store->alertApp()->name, QString("A"));
        f.scheduler.advance(3);
        QCOMPARE(store->trackedApps()[0].idleSeconds, 33.0);
        QCOMPARE(store->trackedApps()[1].idleSeconds, 33.0);
        QCOMPARE(store->alertApp()->name, QString("A"));
    }

    void changeSignalCounts_data()
    {
        QTest::addColumn<int>("apps");
        QTest::addColumn<bool>("oneFocused");
        QTest::addColumn<int>("perTick");
        QTest::newRow("3 apps, none focused") << 3 << false << 3;
        QTest::newRow("3 apps, one focused") << 3 << true << 5;
        QTest::newRow("no apps") << 0 << false << 0;
    }
    void changeSignalCounts()
    {
        QFETCH(int, apps);
        QFETCH(bool, oneFocused);
        QFETCH(int, perTick);
        StoreFixture f;
        const QStringList all{"A", "B", "C"};
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install(all.mid(0, apps)));
        auto store = f.makeStore();
        store->startMonitoring();
        QSignalSpy changes(store.get(), &AppTrackerStore::objectWillChange);
        if (oneFocused) {
            f.workspace.activate(named("B", appPath("B")));
            QCOMPARE(changes.count(), apps + 2); // three writes for B, one for each other
            changes.clear();
        }
        f.scheduler.advance(1);
        QCOMPARE(changes.count(), perTick);
    }

    void monitoringStartsOnce()
    {
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        auto store = f.makeStore();
        store->startMonitoring();
        store->startMonitoring();
        QCOMPARE(f.scheduler.activeTimers(), 1);
        QSignalSpy changes(store.get(), &AppTrackerStore::objectWillChange);
        f.workspace.activate(named("A"));
        QCOMPARE(changes.count(), 3); // one observer registration, not two
    }

    void recordsAreEqualByIdOnly()
    {
        const TrackedApp a("A", "/a", QImage(), WallTime());
        const TrackedApp sameArgs("A", "/a", QImage(), WallTime());
        TrackedApp copy = a;
        copy.idleSeconds = 12;
        copy.isCurrentlyFocused = true;
        QVERIFY(a == copy);
        QVERIFY(!(a == sameArgs));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
