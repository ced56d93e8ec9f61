#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"

#include <bitset>
#include <cstddef>
#include <optional>

namespace nudgewatch {

// Why reminders are held, in the order the window names them when several
// apply: the user's own pause first (it is the one they can undo), then away,
// then busy, then a tracker that cannot see the front application.
enum class HoldReason {
    None,
    Paused,
    ScreenLocked,
    Asleep,
    NoInput,
    Fullscreen,
    DoNotDisturb,
    TrackerBlind,
};

// The conditions active in any source, one bit per PresenceCondition.
using ConditionSet = std::bitset<presenceConditionCount>;

// Whether a condition reported by a source is one the program knows; anything
// else is ignored.
constexpr bool isKnownCondition(PresenceCondition condition)
{
    return static_cast<std::size_t>(condition) < presenceConditionCount;
}

// The combined state that decides whether a reminder may be raised.
struct HoldState {
    HoldReason reason = HoldReason::None;
    // While paused by the user for a time: when the pause ends.
    std::optional<WallTime> pausedUntil;

    bool held() const { return reason != HoldReason::None; }
    bool pausedByUser() const { return reason == HoldReason::Paused; }
    bool operator==(const HoldState &) const = default;
};

// The reason the window names, or None when reminders may be raised.
HoldReason holdReason(bool paused, ConditionSet active, bool trackerBlind);

// A short name for diagnostics ("screen locked").
const char *holdReasonName(HoldReason reason);

// When the idle clocks stopped for an absence: the earliest start among its
// conditions, but never before the previous return (that time was discounted
// already) and never after `now` (a source may report a start in the future).
WallTime absenceStart(WallTime earliestStart, std::optional<WallTime> previousReturn, WallTime now);

// Where an idle clock stands once an absence from `from` to `back` is left
// out: moved on by the part of the absence that came after the last use.
WallTime lastUsedAfterAbsence(WallTime lastUsed, WallTime from, WallTime back);

} // namespace nudgewatch
