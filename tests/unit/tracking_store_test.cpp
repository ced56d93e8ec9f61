// The store over fakes: saved values, matching, reminders, their endings and timers.
#include "fakes/Fakes.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

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

// Records the expand and collapse notifications the panel would see.
struct PostLog {
    explicit PostLog(NotificationCenter &center)
    {
        for (const QString &name : {notifications::expand, notifications::collapse})
            center.addObserver(name, &owner, [this, name](const QVariantMap &) { names << name; });
    }
    int count(const QString &name) const { return int(names.count(name)); }
    QObject owner;
    QStringList names;
};

// A store tracking `apps` with the given threshold.
std::unique_ptr<AppTrackerStore> storeOf(StoreFixture &f, const QStringList &apps,
                                         double threshold = 30)
{
    f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install(apps));
    f.defaults.values.insert(defaultsKeys::idleThreshold, threshold);
    return f.makeStore();
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT
private slots:
    void thresholdResolution_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<double>("expected");
        QTest::newRow("absent") << QVariant() << 60.0;
        QTest::newRow("negative") << QVariant(-5.0) << 60.0;
        QTest::newRow("NaN") << QVariant(std::nan("")) << 60.0;
        QTest::newRow("45.5") << QVariant(45.5) << 45.5;
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

    // Missing, empty and relative paths are skipped; a duplicate is listed twice.
    void loadBuildsRecordsFromSavedPaths()
    {
        const QStringList saved{appPath("B"),    "",           "A.desktop",
                                "/gone.desktop", appPath("A"), appPath("A")};
        StoreFixture f;
        f.install({"A", "B"});
        f.fileSystem.existing.insert("A.desktop");
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, saved);
        auto store = f.makeStore();
        QStringList names;
        for (const TrackedApp &app : store->trackedApps()) {
            names << app.name;
            QCOMPARE(app.lastUsed, f.clock.now());
        }
        QCOMPARE(names, QStringList({"B", "A", "A"}));
        // Loading never rewrites the saved list, missing entries included.
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(), saved);
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
    }
    void addApp()
    {
        QFETCH(QUrl, url);
        QFETCH(QStringList, expectedSaved);
        StoreFixture f;
        f.install({"B"});
        auto store = storeOf(f, {"A"});
        const int writesBefore = f.defaults.writes;
        store->addApp(url);
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 expectedSaved);
        QCOMPARE(f.defaults.writes, writesBefore + (expectedSaved.size() == 2 ? 1 : 0));
        QCOMPARE(store->trackedApps().size(), std::size_t(expectedSaved.size()));
    }

    void removeApp()
    {
        StoreFixture f;
        f.install({"A", "B"});
        f.defaults.values.insert(defaultsKeys::trackedAppPaths,
                                 QStringList{appPath("A"), appPath("B"), appPath("A")});
        auto store = f.makeStore();
        const int writes = f.defaults.writes;
        store->removeApp(QUuid::createUuid());
        QCOMPARE(f.defaults.writes, writes);
        // The record's path goes, every time it is listed.
        store->removeApp(store->trackedApps().front().id);
        QCOMPARE(f.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 QStringList{appPath("B")});
        QCOMPARE(store->trackedApps().size(), 1u);
    }

    void failedSaveAddsAndRemovesNothing()
    {
        StoreFixture f;
        f.install({"B"});
        auto store = storeOf(f, {"A"});
        QSignalSpy failures(store.get(), &AppTrackerStore::saveFailed);
        f.defaults.failWrites = true;
        store->addApp(QUrl::fromLocalFile(appPath("B")));
        store->removeApp(store->trackedApps().front().id);
        QCOMPARE(store->trackedApps().size(), 1u);
        QVERIFY(!store->setIdleThresholdSeconds(90));
        QCOMPARE(failures.count(), 3);
        QVERIFY(!store->lastSaveSucceeded());
    }

    void appMatches_data()
    {
        QTest::addColumn<RunningApplication>("running");
        QTest::addColumn<bool>("matches");
        const QString path = appPath("Notes");
        QTest::newRow("same path, other name") << named("Other", path) << true;
        QTest::newRow("path standardized") << named("Notes", "/apps/x/../Notes.desktop") << true;
        QTest::newRow("other path, same name")
            << named("Notes", "/usr/share/Notes.desktop") << false;
        QTest::newRow("no path, same name") << named("Notes") << true;
        QTest::newRow("no path, other name") << named("notes") << false;
    }
    void appMatches()
    {
        QFETCH(RunningApplication, running);
        QFETCH(bool, matches);
        StoreFixture f;
        const auto store = storeOf(f, {"Notes"});
        store->startMonitoring();
        f.workspace.activate(running);
        QCOMPARE(store->trackedApps().front().isCurrentlyFocused, matches);
    }

    void thresholdBoundary_data()
    {
        QTest::addColumn<double>("idle");
        QTest::addColumn<bool>("reminded");
        QTest::newRow("59.9") << 59.9 << false;
        QTest::newRow("60.0") << 60.0 << true;
    }
    void thresholdBoundary()
    {
        QFETCH(double, idle);
        QFETCH(bool, reminded);
        StoreFixture f;
        auto store = storeOf(f, {"A"}, 60);
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
        auto store = storeOf(f, {"A", "B", "C"}, 1000);
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
    }
    void activationDismissesOnlyWhenNamesAgree()
    {
        QFETCH(RunningApplication, activated);
        QFETCH(bool, dismissed);
        QFETCH(bool, clockRestarted);
        StoreFixture f;
        auto store = storeOf(f, {"A", "B"});
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

    void reminderEndings_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("message");
        QTest::newRow("0") << 0 << "Notes is waiting for you!";
        QTest::newRow("1") << 1 << "Notes misses you!";
        QTest::newRow("2") << 2 << "Notes wants your attention.";
        QTest::newRow("3") << 3 << "Notes has been idle. Open it?";
        QTest::newRow("4") << 4 << "Notes is getting lonely...";
        QTest::newRow("5") << 5 << "Notes says: come back!";
    }
    void reminderEndings()
    {
        QFETCH(int, index);
        QFETCH(QString, message);
        StoreFixture f;
        f.nextRandom = std::size_t(index);
        auto store = storeOf(f, {"Notes"});
        QString messageAtExpand;
        QObject owner;
        f.notifications.addObserver(notifications::expand, &owner, [&](const QVariantMap &) {
            QVERIFY(store->isPanelExpanded());
            messageAtExpand = store->alertMessage();
        });
        store->startMonitoring();
        f.scheduler.advance(30);
        QCOMPARE(messageAtExpand, message);
    }

    // The 15-second auto-hide is started by a tick, so it and a later tick can
    // fall due together; the card must still be seen to hide before it returns.
    void autoHideThenReRaise_data()
    {
        QTest::addColumn<double>("threshold");
        QTest::newRow("2 s") << 2.0;
        QTest::newRow("30 s") << 30.0;
    }
    void autoHideThenReRaise()
    {
        QFETCH(double, threshold);
        StoreFixture f;
        auto store = storeOf(f, {"A"}, threshold);
        PostLog log(f.notifications);
        store->startMonitoring();
        f.scheduler.advance(threshold);
        QCOMPARE(store->alertMessage(), QString("A is waiting for you!"));
        f.nextRandom = 1;
        f.scheduler.advance(AppTrackerStore::autoHideSeconds - 0.5);
        QVERIFY(store->isPanelExpanded());
        f.scheduler.advance(0.5);
        QVERIFY(!store->alertApp());
        QCOMPARE(log.names, QStringList({notifications::expand, notifications::collapse}));
        f.scheduler.advance(AppTrackerStore::monitorIntervalSeconds);
        QVERIFY(store->isPanelExpanded());
        QCOMPARE(store->alertMessage(), QString("A misses you!"));
        QCOMPARE(log.count(notifications::expand), 2);
    }

    void snoozeRestartsTheIdleClock()
    {
        StoreFixture f;
        auto store = storeOf(f, {"A"});
        store->startMonitoring();
        f.scheduler.advance(30.25);
        store->snooze();
        QVERIFY(!store->isPanelExpanded());
        f.scheduler.advance(1);
        QCOMPARE(store->trackedApps()[0].idleSeconds, 0.75);
        f.scheduler.advance(29); // 29.75 s since the snooze
        QVERIFY(!store->isPanelExpanded());
        f.scheduler.advance(1);
        QVERIFY(store->isPanelExpanded());
    }

    void reloadIconsKeepsTheRecords()
    {
        StoreFixture f;
        auto store = storeOf(f, {"Notes", "Mail"});
        store->startMonitoring();
        f.scheduler.advance(30);
        const QUuid first = store->trackedApps()[0].id;
        f.workspace.icons.iconColor = Qt::magenta;
        store->reloadIcons();
        QCOMPARE(store->trackedApps()[0].id, first);
        QCOMPARE(store->trackedApps()[1].icon.pixelColor(24, 24), QColor(Qt::magenta));
        QCOMPARE(store->alertApp()->icon.pixelColor(24, 24), QColor(Qt::magenta));
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tracking_store_test.moc"
