// Whether reminders are held: which reason is named, how long an absence lasts
// when conditions overlap, and the user's pause, over fakes and virtual time.
#include "fakes/Fakes.h"
#include "tracking/ReminderHold.h"

#include <QTest>

#include <array>
#include <tuple>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

using C = PresenceCondition;
constexpr int L = 1, S = 2, N = 4, F = 8, D = 16; // condition bits, as ConditionSet

// `seconds` after the fake clock's start.
WallTime at(double seconds)
{
    FakeClock origin;
    origin.advance(seconds);
    return origin.current;
}

} // namespace

class ReminderHoldTest : public QObject {
    Q_OBJECT
private slots:
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
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("absences");
        for (const auto &[script, absences] : std::vector<std::pair<QString, QString>>{
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
            QTest::newRow(qPrintable(script)) << script << absences;
    }
    void absences()
    {
        QFETCH(QString, script);
        QFETCH(QString, absences);
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

QTEST_GUILESS_MAIN(ReminderHoldTest)
#include "tracking_reminder_hold_test.moc"
