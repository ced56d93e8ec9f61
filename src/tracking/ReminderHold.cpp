#include "tracking/ReminderHold.h"

#include <QLoggingCategory>
#include <QStringList>

#include <algorithm>
#include <cmath>

// Why reminders are held, as it changes. Shown with
// QT_LOGGING_RULES="nudgewatch.hold.debug=true".
Q_LOGGING_CATEGORY(lcHold, "nudgewatch.hold", QtInfoMsg)

namespace nudgewatch {

ReminderHold::ReminderHold(FrontmostApplicationTracker &tracker, PresenceSources sources,
                           Clock &clock, Scheduler &scheduler, QObject *parent)
    : QObject(parent), m_tracker(tracker), m_clock(clock), m_scheduler(scheduler)
{
    watch(sources);
    connect(&m_tracker, &FrontmostApplicationTracker::statusChanged, this, &ReminderHold::update);
    update();
}

void ReminderHold::watch(const PresenceSources &sources)
{
    for (PresenceSource &source : sources) {
        const PresenceSource *from = &source;
        connect(&source, &PresenceSource::conditionChanged, this,
                [this, from](PresenceCondition condition, bool active, WallTime since) {
                    onCondition(from, condition, active, since);
                });
    }
}

ReminderHold::~ReminderHold() = default;

QString ReminderHold::describe(const PresenceSources &sources)
{
    QStringList names;
    for (const PresenceSource &source : sources)
        names.append(source.name());
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

void ReminderHold::pauseFor(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return;
    m_paused = true;
    m_pausedUntil = m_clock.now() + std::chrono::duration_cast<WallTime::duration>(
                                        std::chrono::duration<double>(seconds));
    // The timer is not destroyed from its own callback; the next pause replaces it.
    m_pauseTimer = m_scheduler.scheduleOnce(seconds, [this] {
        m_paused = false;
        m_pausedUntil.reset();
        update();
    });
    update();
}

void ReminderHold::pauseUntilResumed()
{
    m_paused = true;
    m_pausedUntil.reset();
    m_pauseTimer.reset();
    update();
}

void ReminderHold::resume()
{
    endPause();
    update();
}

void ReminderHold::refresh()
{
    update();
}

void ReminderHold::endPause()
{
    m_paused = false;
    m_pausedUntil.reset();
    m_pauseTimer.reset();
}

void ReminderHold::onCondition(const PresenceSource *source, PresenceCondition condition,
                               bool active, WallTime since)
{
    if (!isKnownCondition(condition)) {
        qCWarning(lcHold, "ignored an unknown condition %d from %s", static_cast<int>(condition),
                  qPrintable(source->name()));
        return;
    }
    const WallTime now = m_clock.now();
    const auto same = [&](const ActiveCondition &entry) {
        return entry.source == source && entry.condition == condition;
    };
    const auto known = std::ranges::find_if(m_active, same);
    if (active) {
        // A repeated report never moves a start later.
        if (known != m_active.end())
            known->since = std::min(known->since, since);
        else
            m_active.push_back({source, condition, since});
        if (meansAway(condition)) {
            const WallTime start = absenceStart(since, m_lastReturn, now);
            m_awaySince = m_awaySince ? std::min(*m_awaySince, start) : start;
        }
    } else if (known != m_active.end()) {
        m_active.erase(known);
    }
    const bool away = std::ranges::any_of(
        m_active, [](const ActiveCondition &entry) { return meansAway(entry.condition); });
    if (!away && m_awaySince) {
        const WallTime from = *m_awaySince;
        m_awaySince.reset();
        m_lastReturn = now;
        qCDebug(lcHold, "back after %.0f s away", secondsBetween(from, now));
        emit returned(from, now);
    }
    update();
}

ConditionSet ReminderHold::activeConditions() const
{
    ConditionSet set;
    for (const ActiveCondition &entry : m_active)
        set.set(static_cast<std::size_t>(entry.condition));
    return set;
}

void ReminderHold::update()
{
    if (m_pausedUntil && m_clock.now() >= *m_pausedUntil)
        endPause();
    const HoldState next{holdReason(m_paused, activeConditions(), !m_tracker.status().tracking),
                         m_paused ? m_pausedUntil : std::nullopt};
    if (next == m_state)
        return;
    m_state = next;
    if (next.held())
        qCDebug(lcHold, "reminders held: %s", holdReasonName(next.reason));
    else
        qCDebug(lcHold, "reminders no longer held");
    emit changed();
}

} // namespace nudgewatch
