#include "tracking/HoldState.h"

#include <algorithm>
#include <array>

namespace nudgewatch {

HoldReason holdReason(bool paused, ConditionSet active, bool trackerBlind)
{
    if (paused)
        return HoldReason::Paused;
    // Away before busy; within each, the more specific fact first.
    static constexpr std::array<std::pair<PresenceCondition, HoldReason>, presenceConditionCount>
        order{{
            {PresenceCondition::ScreenLocked, HoldReason::ScreenLocked},
            {PresenceCondition::Asleep, HoldReason::Asleep},
            {PresenceCondition::NoInput, HoldReason::NoInput},
            {PresenceCondition::Fullscreen, HoldReason::Fullscreen},
            {PresenceCondition::DoNotDisturb, HoldReason::DoNotDisturb},
        }};
    for (const auto &[condition, reason] : order) {
        if (active.test(static_cast<std::size_t>(condition)))
            return reason;
    }
    return trackerBlind ? HoldReason::TrackerBlind : HoldReason::None;
}

const char *holdReasonName(HoldReason reason)
{
    switch (reason) {
    case HoldReason::None:
        return "none";
    case HoldReason::Paused:
        return "paused by the user";
    case HoldReason::ScreenLocked:
        return "screen locked";
    case HoldReason::Asleep:
        return "asleep";
    case HoldReason::NoInput:
        return "no input";
    case HoldReason::Fullscreen:
        return "fullscreen";
    case HoldReason::DoNotDisturb:
        return "do not disturb";
    case HoldReason::TrackerBlind:
        return "tracker cannot see";
    }
    return "unknown";
}

WallTime absenceStart(WallTime earliestStart, std::optional<WallTime> previousReturn, WallTime now)
{
    WallTime start = std::min(earliestStart, now);
    if (previousReturn && *previousReturn <= now)
        start = std::max(start, *previousReturn);
    return start;
}

WallTime lastUsedAfterAbsence(WallTime lastUsed, WallTime from, WallTime back)
{
    // Idle time before the absence still counts; the absence itself does not.
    if (back <= from || back <= lastUsed)
        return lastUsed;
    return lastUsed + (back - std::max(from, lastUsed));
}

} // namespace nudgewatch
