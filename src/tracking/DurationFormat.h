#pragma once

#include <QString>

#include <cstdint>

namespace nudgewatch {

// Whole seconds of a duration, truncated toward zero (59.9 gives 59). Defined for
// every input: NaN gives 0 and values beyond the 64-bit range saturate, so a
// damaged settings file can never make a label computation undefined.
std::int64_t wholeSeconds(double seconds);

// The idle threshold as the settings window shows it: "45s", "1m", "1m 15s",
// "60m". Minutes are never folded into hours. A value that is not a number shows
// as an em dash and an infinite one as "∞"; negative values show as "0s".
QString formatThreshold(double seconds);

// How long a tracked application has been idle: "0s idle", "2m 5s idle",
// "60m 0s idle". Same rules as formatThreshold for values that are not numbers,
// infinite or negative.
QString formatIdleTime(double seconds);

} // namespace nudgewatch
