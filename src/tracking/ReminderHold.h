#pragma once

#include "core/Clock.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/PresenceSource.h"
#include "core/Scheduler.h"
#include "tracking/HoldState.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nudgewatch {

using PresenceSources = std::vector<std::reference_wrapper<PresenceSource>>;

// Whether reminders may be raised now. Combines what the presence sources
// report, the user's own pause and whether the tracker can see the front
// application into one state, and tells when an absence ends so idle clocks
// can leave it out. The pause lives only as long as the process.
class ReminderHold final : public QObject {
    Q_OBJECT
public:
    static constexpr double shortPauseSeconds = 30 * 60;
    static constexpr double longPauseSeconds = 60 * 60;

    // The tracker, the sources, the clock and the scheduler must outlive it.
    ReminderHold(FrontmostApplicationTracker &tracker, PresenceSources sources, Clock &clock,
                 Scheduler &scheduler, QObject *parent = nullptr);
    ~ReminderHold() override;

    // Listens to more sources: those the program finds once its window is up.
    void watch(const PresenceSources &sources);

    const HoldState &state() const { return m_state; }
    bool isHeld() const { return m_state.held(); }
    // While the user is away: when the idle clocks stopped.
    std::optional<WallTime> awaySince() const { return m_awaySince; }
    FrontmostApplicationTracker &tracker() const { return m_tracker; }

    // Holds reminders for `seconds` from now, in place of any earlier pause.
    void pauseFor(double seconds);
    void pauseUntilResumed();
    void resume();
    // Re-reads the clock: a pause whose end passed while its timer could not
    // run (the computer slept) ends now.
    void refresh();

    // "none", or the sources' names joined by commas, for the start-up log.
    static QString describe(const PresenceSources &sources);

signals:
    void changed();
    // The last away condition ended: the idle clocks stood still from `from`
    // until `back`. Emitted before changed().
    void returned(nudgewatch::WallTime from, nudgewatch::WallTime back);

private:
    struct ActiveCondition {
        const PresenceSource *source;
        PresenceCondition condition;
        WallTime since;
    };

    void onCondition(const PresenceSource *source, PresenceCondition condition, bool active,
                     WallTime since);
    void endPause();
    ConditionSet activeConditions() const;
    void update();

    FrontmostApplicationTracker &m_tracker;
    Clock &m_clock;
    Scheduler &m_scheduler;
    std::vector<ActiveCondition> m_active;
    std::optional<WallTime> m_awaySince;
    std::optional<WallTime> m_lastReturn;
    bool m_paused = false;
    std::optional<WallTime> m_pausedUntil;
    std::unique_ptr<Timer> m_pauseTimer;
    HoldState m_state;
};

} // namespace nudgewatch
