#pragma once

#include "core/Clock.h"

#include <QObject>
#include <QString>

#include <array>

namespace nudgewatch {

// What keeps the user from the applications they track. The first three mean
// the user is away (idle clocks stop); the last two that they are busy (no
// reminder, but idle clocks go on).
enum class PresenceCondition {
    ScreenLocked,
    Asleep,
    NoInput,
    Fullscreen,
    DoNotDisturb,
};
inline constexpr std::size_t presenceConditionCount = 5;

constexpr bool meansAway(PresenceCondition condition)
{
    return condition == PresenceCondition::ScreenLocked || condition == PresenceCondition::Asleep ||
           condition == PresenceCondition::NoInput;
}

// One source of presence facts (the X server, logind, a screen saver, the
// compositor). Each reports only changes, as events, on the main thread.
class PresenceSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PresenceSource() override = default;

    // A short name for the one line that lists the sources in use.
    virtual QString name() const = 0;

signals:
    // `since` is when the condition began: for NoInput, the last input, so the
    // time away is counted from there.
    void conditionChanged(nudgewatch::PresenceCondition condition, bool active,
                          nudgewatch::WallTime since);

protected:
    // Says `condition` is `active` (since then) when that differs from what
    // was said of it last; nothing is active at first.
    void report(PresenceCondition condition, bool active, WallTime since)
    {
        bool &reported = m_reported[std::size_t(condition)];
        if (reported == active)
            return;
        reported = active;
        emit conditionChanged(condition, active, since);
    }
    bool reported(PresenceCondition condition) const { return m_reported[std::size_t(condition)]; }

private:
    std::array<bool, presenceConditionCount> m_reported{};
};

} // namespace nudgewatch
