// The card must be seen to hide after 15 s even when the auto-hide and the
// monitor's tick fall in the same instant, as they do with the event loop's
// timers: the auto-hide was started by a tick, so both run on whole seconds.
#include "fakes/Fakes.h"

#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

// Timers over virtual time that, at equal due times, run the earliest
// scheduled first: the repeating monitor, rescheduled each second, then comes
// after the auto-hide started 15 s before (the event loop's order).
class EventLoopOrderScheduler final : public Scheduler {
public:
    explicit EventLoopOrderScheduler(FakeClock &clock) : m_clock(clock) {}

    std::unique_ptr<Timer> scheduleRepeating(double interval, std::function<void()> callback,
                                             TimerPrecision) override
    {
        return add(interval, true, std::move(callback));
    }
    std::unique_ptr<Timer> scheduleOnce(double delay, std::function<void()> callback) override
    {
        return add(delay, false, std::move(callback));
    }

    void advance(double seconds)
    {
        const double end = m_time + seconds;
        for (;;) {
            std::shared_ptr<Entry> next;
            for (const auto &entry : m_entries)
                if (entry->valid && entry->due <= end + 1e-9 &&
                    (!next || entry->due < next->due - 1e-9 ||
                     (std::abs(entry->due - next->due) <= 1e-9 && entry->order < next->order)))
                    next = entry;
            if (!next)
                break;
            m_clock.advance(next->due - m_time);
            m_time = next->due;
            if (next->repeating) {
                next->due += next->interval;
                next->order = ++m_order; // rescheduled: behind everything already waiting
            } else {
                next->valid = false;
            }
            const auto callback = next->callback;
            callback();
        }
        m_clock.advance(end - m_time);
        m_time = end;
    }

private:
    struct Entry {
        double due = 0;
        double interval = 0;
        bool repeating = false;
        bool valid = true;
        long order = 0;
        std::function<void()> callback;
    };
    class Handle final : public Timer {
    public:
        explicit Handle(std::shared_ptr<Entry> e) : m_entry(std::move(e)) {}
        ~Handle() override { m_entry->valid = false; }
        void invalidate() override { m_entry->valid = false; }
        bool isValid() const override { return m_entry->valid; }

    private:
        std::shared_ptr<Entry> m_entry;
    };

    std::unique_ptr<Timer> add(double interval, bool repeating, std::function<void()> callback)
    {
        auto entry = std::make_shared<Entry>();
        entry->due = m_time + interval;
        entry->interval = interval;
        entry->repeating = repeating;
        entry->order = ++m_order;
        entry->callback = std::move(callback);
        m_entries.push_back(entry);
        return std::make_unique<Handle>(entry);
    }

    FakeClock &m_clock;
    double m_time = 0;
    long m_order = 0;
    std::vector<std::shared_ptr<Entry>> m_entries;
};

} // namespace

class ReminderTimingTest : public QObject {
    Q_OBJECT
private slots:
    void autoHideIsFollowedByAGap_data()
    {
        QTest::addColumn<double>("threshold");
        QTest::newRow("2 s") << 2.0;
        QTest::newRow("default") << 60.0;
    }
    void autoHideIsFollowedByAGap()
    {
        QFETCH(double, threshold);
        StoreFixture f;
        EventLoopOrderScheduler scheduler(f.clock);
        f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install({"Alpha"}));
        f.defaults.values.insert(defaultsKeys::idleThreshold, threshold);
        AppTrackerStore store({f.workspace, f.bundleInfo, f.fileSystem, f.defaults, f.clock,
                               scheduler, f.notifications, [](std::size_t) {
                                   return 0;
                               }});
        QStringList posts;
        QObject context;
        for (const QString &name : {notifications::expand, notifications::collapse})
            f.notifications.addObserver(
                name, &context, [&posts, name](const QVariantMap &) { posts.append(name); });
        store.startMonitoring();
        scheduler.advance(threshold);
        QVERIFY(store.isPanelExpanded());

        scheduler.advance(AppTrackerStore::autoHideSeconds); // auto-hide, same instant as a tick
        QVERIFY(!store.isPanelExpanded());
        QCOMPARE(posts, (QStringList{notifications::expand, notifications::collapse}));

        scheduler.advance(AppTrackerStore::monitorIntervalSeconds); // the next tick
        QVERIFY(store.isPanelExpanded());
        QCOMPARE(posts.count(notifications::expand), 2);
    }
};

QTEST_APPLESS_MAIN(ReminderTimingTest)
#include "app_reminder_timing_test.moc"
