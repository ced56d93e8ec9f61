// The store over fakes: saved values, matching, reminders, their endings and
// timers; the notifications by name it posts, to observers that may go away; and
// whether reminders are held: which reason is named, how long an absence lasts
// when conditions overlap, and the user's pause, over virtual time.
#include "fakes/Fakes.h"
#include "fakes/Rows.h"
#include "tracking/ReminderHold.h"

#include <QSignalSpy>
#include <QTest>

#include <array>
#include <tuple>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

using Running = RunningApplication;

QStringList namesOf(const AppTrackerStore &store)
{
    QStringList names;
    for (const TrackedApp &app : store.trackedApps())
        names << app.name;
    return names;
}

// A store tracking `apps` with the given threshold.
std::unique_ptr<AppTrackerStore> storeOf(StoreFixture &f, const QStringList &apps,
                                         double threshold = 30)
{
    f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install(apps));
    f.defaults.values.insert(defaultsKeys::idleThreshold, threshold);
    return f.makeStore();
}

// The same store, monitoring for `seconds` of virtual time.
std::unique_ptr<AppTrackerStore> monitoring(StoreFixture &f, const QStringList &apps,
                                            double seconds)
{
    auto store = storeOf(f, apps);
    store->startMonitoring();
    f.scheduler.advance(seconds);
    return store;
}

using C = PresenceCondition;
// A running application: is it the tracked one, does its activation end the reminder?
using Activation = std::tuple<Running, bool, bool>;
using Hold = std::tuple<QString, double, double>; // held by, since, idle after the hold
// Tracked, one in front?, locked?: announcements a tick makes.
using Tick = std::tuple<QStringList, bool, bool, int>;
constexpr int L = 1, S = 2, N = 4, F = 8, D = 16; // condition bits, as ConditionSet

// `seconds` after the fake clock's start.
WallTime at(double seconds)
{
    FakeClock origin;
    origin.advance(seconds);
    return origin.current;
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT
private slots:
    // An absent or infinite threshold becomes 60 s, written back so the key
    // exists from now on; a reminder shows from exactly that much idle time.
    void invalidThresholdBecomes60_data()
    {
        // Stored, then idle when the tick 60 s after start comes.
        QTest::addColumn<std::pair<QVariant, double>>("row");
        QTest::newRow("absent, 59.9 s idle") << std::pair(QVariant(), 59.9);
        QTest::newRow("infinite, 60 s idle") << std::pair(QVariant(qInf()), 60.0);
    }
    void invalidThresholdBecomes60()
    {
        const auto [stored, idle] = fetchRow<std::pair<QVariant, double>>();
        StoreFixture f;
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"A"}));
        if (stored.isValid())
            f.defaults.values.insert(defaultsKeys::idleThreshold, stored);
        auto store = f.makeStore();
        QCOMPARE(store->idleThresholdSeconds(), 60.0);
        QCOMPARE(f.defaults.values.value(defaultsKeys::idleThreshold).toDouble(), 60.0);
        f.clock.advance(idle - 60.0);
        store->startMonitoring();
        f.scheduler.advance(60);
        QCOMPARE(store->trackedApps().front().idleSeconds, idle);
        QCOMPARE(store->isPanelExpanded(), idle >= 60);
    }

    // Missing, empty and relative paths are skipped and copies of a path are one
    // record; loading never rewrites the list, and a removal drops every copy.
    void loadAndRemove()
    {
        const QStringList saved{appPath("B"),    "",           "A.desktop",
                                "/gone.desktop", appPath("A"), appPath("A")};
        StoreFixture f;
        f.install({"A", "B"});
        f.fileSystem.existing.insert("A.desktop");
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, saved);
        auto store = f.makeStore();
        QCOMPARE(namesOf(*store), QStringList({"B", "A"}));
        QCOMPARE(f.saved(), saved);
        store->removeApp(store->trackedApps()[1].id);
        QCOMPARE(f.saved(), saved.mid(0, 4));
        QCOMPARE(namesOf(*store), QStringList{"B"});
    }

    void addApp_data()
    {
        QTest::addColumn<std::pair<QUrl, bool>>("row"); // B added?
        QTest::newRow("appends, standardized")
            << std::pair(QUrl::fromLocalFile("/apps/./sub/../B.desktop"), true);
        QTest::newRow("already saved") << std::pair(QUrl::fromLocalFile("/apps//A.desktop"), false);
        QTest::newRow("nothing there") << std::pair(QUrl::fromLocalFile("/apps/C.desktop"), false);
        QTest::newRow("not a file URL") << std::pair(QUrl("https://example.org/B.desktop"), false);
    }
    void addApp()
    {
        const auto [url, added] = fetchRow<std::pair<QUrl, bool>>();
        const QStringList expectedSaved =
            added ? QStringList{appPath("A"), appPath("B")} : QStringList{appPath("A")};
        StoreFixture f;
        f.install({"B"});
        auto store = storeOf(f, {"A"});
        store->addApp(url);
        QCOMPARE(f.saved(), expectedSaved);
        QCOMPARE(store->trackedApps().size(), std::size_t(expectedSaved.size()));
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
        QCOMPARE(namesOf(*store), QStringList{"A"});
        QVERIFY(!store->setIdleThresholdSeconds(90));
        QCOMPARE(failures.count(), 3);
        QVERIFY(!store->lastSaveSucceeded());
    }

    // A running application is a tracked one by entry path when it has one, otherwise
    // by name; its activation ends the reminder when either agrees (a launcher entry
    // that stands for another application is named apart from it).
    void activationMatchesAndDismisses_data()
    {
        QTest::addColumn<Activation>("row");
        QTest::newRow("path standardized, other name")
            << Activation{Running{"Other", "/apps/x/../Notes.desktop"}, true, true};
        QTest::newRow("other path, same name")
            << Activation{Running{"Notes", "/usr/share/Notes.desktop"}, false, true};
        QTest::newRow("no path, same name") << Activation{Running{"Notes", {}}, true, true};
        QTest::newRow("no path, other name") << Activation{Running{"notes", {}}, false, false};
    }
    void activationMatchesAndDismisses()
    {
        const auto [running, matches, dismisses] = fetchRow<Activation>();
        StoreFixture f;
        const auto store = monitoring(f, {"Notes"}, 30);
        QVERIFY(store->isPanelExpanded());
        f.workspace.activate(running);
        QCOMPARE(store->trackedApps().front().isCurrentlyFocused, matches);
        QCOMPARE(store->isPanelExpanded(), !dismisses);
        QCOMPARE(f.panelPosts.count(notifications::collapse), dismisses ? 1 : 0);
    }

    void firstInListWinsAndFocusedIsNeverReminded()
    {
        StoreFixture f;
        auto store = storeOf(f, {"A", "B", "C"}, 1000);
        store->startMonitoring();
        for (const char *name : {"C", "B", "A"}) { // C idles from 5 s, B from 10 s
            f.workspace.activate(Running{name, appPath(name)});
            f.scheduler.advance(5);
        }
        store->setIdleThresholdSeconds(1e-9);
        f.scheduler.advance(1);
        // C has been idle longest, but B is listed first; A, in front, never counts.
        QCOMPARE(store->alertApp()->name, QString("B"));
    }

    // Each ending, picked by the random number that is its index.
    void reminderEndings()
    {
        const QStringList endings{"is waiting for you!",   "misses you!",
                                  "wants your attention.", "has been idle. Open it?",
                                  "is getting lonely...",  "says: come back!"};
        for (qsizetype i = 0; i < endings.size(); ++i) {
            StoreFixture f;
            f.nextRandom = std::size_t(i);
            auto store = storeOf(f, {"Notes"});
            QString atExpand; // what the panel finds when it opens
            f.notifications.addObserver(
                notifications::expand, store.get(),
                [&](const QVariantMap &) { atExpand = store->alertMessage(); });
            store->startMonitoring();
            f.scheduler.advance(30);
            QCOMPARE(atExpand, "Notes " + endings[i]);
        }
    }

    // The 15-second auto-hide is started by a tick, so it and a later tick fall
    // due together; the card must still be seen to hide before it returns.
    void autoHideThenReRaise()
    {
        StoreFixture f;
        auto store = monitoring(f, {"A"}, 30);
        const QStringList &posts = f.panelPosts;
        f.nextRandom = 1;
        f.scheduler.advance(AppTrackerStore::autoHideSeconds - 0.5);
        QVERIFY(store->isPanelExpanded());
        f.scheduler.advance(0.5);
        QCOMPARE(posts, QStringList({notifications::expand, notifications::collapse}));
        f.scheduler.advance(AppTrackerStore::monitorIntervalSeconds);
        QCOMPARE(posts.count(notifications::expand), 2);
        QCOMPARE(store->alertMessage(), QString("A misses you!"));
    }

    // Opening that opens nothing says so: on the card when it was the card's
    // application (which then hides by itself), to the row otherwise.
    void openThatFails()
    {
        for (const std::size_t opened : {0, 1}) { // of A and B; the card is A's
            const bool cardStays = opened == 0;
            StoreFixture f;
            auto store = monitoring(f, {"A", "B"}, 30);
            QSignalSpy failed(store.get(), &AppTrackerStore::openFailed);
            f.workspace.opener.succeeds = false;
            store->openApp(store->trackedApps()[opened]);
            QCOMPARE(failed.count(), 1);
            QCOMPARE(failed.at(0).at(0).toString(), appPath(opened ? "B" : "A"));
            QCOMPARE(store->isPanelExpanded(), cardStays);
            QCOMPARE(store->alertMessage() == "A could not be opened.", cardStays);
            f.scheduler.advance(AppTrackerStore::autoHideSeconds);
            QVERIFY(!store->isPanelExpanded() || !cardStays);
        }
    }

    // A card showing at 35 s collapses when the hold begins; it ends at 94.5 s.
    // Away leaves its time out of the idle clocks (a NoInput from its last
    // input), busy, a pause and a blind tracker do not; the next tick reminds.
    void holdCollapsesAndAwayStopsIdleClocks_data()
    {
        QTest::addColumn<Hold>("row"); // since: seconds before the hold began
        QTest::newRow("locked") << Hold{"L", 0.0, 35.5};
        QTest::newRow("no input") << Hold{"N", 5.0, 30.5};
        QTest::newRow("fullscreen") << Hold{"F", 0.0, 95.0};
        QTest::newRow("paused") << Hold{"P", 0.0, 95.0};
        QTest::newRow("blind tracker") << Hold{"B", 0.0, 95.0};
    }
    void holdCollapsesAndAwayStopsIdleClocks()
    {
        const auto [hold, since, idleAfter] = fetchRow<Hold>();
        StoreFixture f;
        auto store = storeOf(f, {"A"});
        const QStringList &posts = f.panelPosts;
        const WallTime started = f.clock.now();
        const int writes = f.defaults.writes; // a pause is never saved
        store->startMonitoring();
        f.scheduler.advance(35);
        const auto condition = static_cast<PresenceCondition>(QString("LSNFD").indexOf(hold));
        const auto conditionSince = f.clock.now() - std::chrono::seconds(int(since));
        if (hold == "P")
            store->reminderHold().pauseFor(59.25); // ends by itself
        else if (hold == "B")
            f.workspace.tracker.setStatus({false, {}, {}});
        else
            f.presence.report(condition, true, conditionSince);
        QCOMPARE(posts, QStringList({notifications::expand, notifications::collapse}));
        QVERIFY(!store->isPanelExpanded());
        QCOMPARE(store->trackedApps().front().lastUsed, started);
        f.scheduler.advance(59.5);
        if (hold == "B")
            f.workspace.tracker.setStatus({});
        else if (hold != "P")
            f.presence.report(condition, false);
        QCOMPARE(posts.size(), 2);
        f.scheduler.advance(1);
        QCOMPARE(store->trackedApps().front().idleSeconds, idleAfter);
        QCOMPARE(posts.count(notifications::expand), 2);
        QCOMPARE(f.defaults.writes, writes);
    }

    // A tick far later than due (the process stopped, an unannounced sleep)
    // leaves the gap out of the idle clocks; one a busy program delayed does not.
    // Stopped two minutes, then held up 20 s: the idle time after.
    void lateTickCountsAsAway()
    {
        for (const auto &[stopped, idleAfter] : {std::pair(120.0, 11.0), std::pair(20.0, 31.0)}) {
            StoreFixture f;
            auto store = monitoring(f, {"A"}, 10);
            f.clock.advance(stopped); // no timer runs meanwhile
            f.scheduler.advance(1);
            QCOMPARE(store->trackedApps().front().idleSeconds, idleAfter);
            QCOMPARE(store->isPanelExpanded(), idleAfter > 30);
        }
    }

    void snoozeRestartsTheIdleClock()
    {
        StoreFixture f;
        auto store = monitoring(f, {"A"}, 30.25);
        store->snooze();
        QVERIFY(!store->isPanelExpanded());
        f.scheduler.advance(30); // the last tick finds A idle for 29.75 s
        QVERIFY(!store->isPanelExpanded());
        f.scheduler.advance(1);
        QVERIFY(store->isPanelExpanded());
    }

    // A tick announces its writes once, whatever the number of records, and not
    // at all when no value changes (the idle clocks stand still while locked).
    void tickAnnouncesOnce_data()
    {
        QTest::addColumn<Tick>("row");
        const QStringList five{"A", "B", "C", "D", "E"};
        QTest::newRow("one") << Tick{{"A"}, false, false, 1};
        QTest::newRow("five") << Tick{five, false, false, 1};
        QTest::newRow("five, one in front") << Tick{five, true, false, 1};
        QTest::newRow("five, locked") << Tick{five, false, true, 0};
    }
    void tickAnnouncesOnce()
    {
        const auto [apps, focused, locked, announcements] = fetchRow<Tick>();
        StoreFixture f;
        auto store = storeOf(f, apps, 600);
        store->startMonitoring();
        if (focused)
            f.workspace.activate(Running{QStringLiteral("C"), appPath("C")});
        if (locked)
            f.presence.report(PresenceCondition::ScreenLocked, true, f.clock.now());
        f.scheduler.advance(2.5);
        QSignalSpy spy(store.get(), &AppTrackerStore::objectWillChange);
        f.scheduler.advance(1);
        QCOMPARE(spy.count(), announcements);
        // The values written are those of the tick.
        if (!locked)
            QCOMPARE(store->trackedApps().back().idleSeconds, 3.0); // the tick at 3 s
    }

    // Posts reach the observers of their name only, never one whose owner is
    // gone, even when the owner goes in the middle of a post.
    void notificationsByName()
    {
        NotificationCenter center;
        QObject owner;
        auto gone = std::make_unique<QObject>();
        QStringList seen;
        center.addObserver(notifications::expand, &owner, [&](const QVariantMap &) {
            seen << "expand";
            gone.reset();
        });
        center.addObserver(notifications::expand, gone.get(),
                           [&](const QVariantMap &) { seen << "gone"; });
        center.addObserver("other", &owner,
                           [&](const QVariantMap &info) { seen << info.value("p").toString(); });
        center.post(notifications::collapse);
        center.post(notifications::expand);
        center.post("other", {{"p", 0.5}});
        QCOMPARE(seen, QStringList({"expand", "0.5"}));
    }

    void reasonNamed()
    {
        // paused, active conditions, blind tracker: the reason named
        const std::vector<std::tuple<bool, int, bool, HoldReason>> rows{
            {false, 0, false, HoldReason::None},
            {false, 0, true, HoldReason::TrackerBlind},
            {true, L | D, true, HoldReason::Paused},
            {false, L | N, false, HoldReason::ScreenLocked},
            {false, S | N | F, false, HoldReason::Asleep},
            {false, N | F | D, true, HoldReason::NoInput},
            {false, F | D, false, HoldReason::Fullscreen},
            {false, D, true, HoldReason::DoNotDisturb}};
        for (const auto &[paused, active, blind, reason] : rows)
            QCOMPARE(holdReason(paused, ConditionSet(unsigned(active)), blind), reason);
    }

    // Idle before the absence still counts; the absence does not.
    void lastUsedAfterAbsence()
    {
        // last used, absent from, back: the last use after
        const std::vector<std::array<double, 4>> rows{
            {0, 10, 40, 30}, {20, 10, 40, 40}, {50, 10, 40, 50}, {0, 40, 40, 0}};
        for (const auto &[used, from, back, after] : rows)
            QCOMPARE(nudgewatch::lastUsedAfterAbsence(at(used), at(from), at(back)), at(after));
    }

    // A script of reports "time condition+@since" (lower case: a second source)
    // and the absences announced, "from-back" in seconds.
    void absences_data()
    {
        QTest::addColumn<std::pair<QString, QString>>("row");
        for (const auto &row : std::vector<std::pair<QString, QString>>{
                 {"10 L+@10, 70 L-", "10-70"},
                 {"100 N+@40, 130 N-", "40-130"},               // from the last input
                 {"10 L+@10, 20 N+@5, 30 L-, 40 N-", "5-40"},   // overlap once, from the earliest
                 {"10 L+@10, 15 l+@12, 20 L-, 30 l-", "10-30"}, // two sources, one condition
                 {"10 F+@10, 20 D+@20, 70 F-, 80 D-", ""},      // busy is not away
                 {"10 L+@10, 20 L-, 30 S+@30, 50 S-", "10-20 30-50"},
                 {"10 L+@10, 20 L-, 30 N+@15, 40 N-", "10-20 20-40"}, // not before the return
                 {"10 L+@99, 20 L-", "10-20"},                        // a start in the future
                 {"10 N+@10, 20 N+@18, 30 N-", "10-30"},              // a repeat keeps the start
                 {"10 L-, 20 S-", ""}})
            QTest::newRow(qPrintable(row.first)) << row;
    }
    void absences()
    {
        const auto [script, absences] = fetchRow<std::pair<QString, QString>>();
        StoreFixture f;
        FakePresenceSource second;
        ReminderHold hold(f.workspace.tracker, {f.presence, second}, f.clock, f.scheduler);
        const WallTime origin = f.clock.now();
        QStringList seen;
        connect(&hold, &ReminderHold::returned, this, [&](WallTime from, WallTime back) {
            seen << QStringLiteral("%1-%2")
                        .arg(secondsBetween(origin, from))
                        .arg(secondsBetween(origin, back));
        });
        const QString letters = QStringLiteral("LSNFD");
        double now = 0;
        for (const QString &step : script.split(QStringLiteral(", "))) {
            const QStringList parts = step.split(QLatin1Char(' '));
            f.scheduler.advance(parts[0].toDouble() - now);
            now = parts[0].toDouble();
            const QString report = parts[1];
            const auto condition = static_cast<C>(letters.indexOf(report[0].toUpper()));
            FakePresenceSource &source = report[0].isUpper() ? f.presence : second;
            source.report(condition, report[1] == QLatin1Char('+'),
                          at(report.section(QLatin1Char('@'), 1).toDouble()));
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), absences);
    }

    void pauseEndsByItself()
    {
        StoreFixture f;
        ReminderHold hold(f.workspace.tracker, {}, f.clock, f.scheduler);
        int changes = 0;
        connect(&hold, &ReminderHold::changed, this, [&] { ++changes; });
        hold.pauseFor(ReminderHold::shortPauseSeconds);
        QCOMPARE(hold.state(), (HoldState{HoldReason::Paused, at(1800)}));
        f.scheduler.advance(1799.5);
        QVERIFY(hold.state().pausedByUser());
        f.scheduler.advance(0.5);
        QVERIFY(!hold.isHeld());
        hold.pauseFor(ReminderHold::longPauseSeconds);
        f.clock.advance(3600); // slept: the timer could not run, the clock moved on
        hold.refresh();
        QVERIFY(!hold.isHeld());
        hold.pauseUntilResumed();
        f.scheduler.advance(1e6);
        QCOMPARE(hold.state(), (HoldState{HoldReason::Paused, std::nullopt}));
        hold.resume();
        QVERIFY(!hold.isHeld());
        QCOMPARE(changes, 6);
        QCOMPARE(f.scheduler.activeTimers(), 0);
        QCOMPARE(ReminderHold::describe({}), QString("none"));
        QCOMPARE(ReminderHold::describe({f.presence, f.presence}), QString("fake, fake"));
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tracking_store_test.moc"
