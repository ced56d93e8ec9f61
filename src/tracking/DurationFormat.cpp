#include "tracking/DurationFormat.h"

#include <cmath>
#include <limits>

namespace nudgewatch {

namespace {

const QString notANumber = QStringLiteral("\u2014");
const QString infinite = QStringLiteral("\u221e");

// Minutes and seconds of a non-negative whole number of seconds.
struct MinutesSeconds {
    std::int64_t minutes;
    std::int64_t seconds;
};

MinutesSeconds split(std::int64_t total)
{
    return {total / 60, total % 60};
}

} // namespace

std::int64_t wholeSeconds(double seconds)
{
    if (std::isnan(seconds))
        return 0;
    // 2^63 is exactly representable; every double below it converts safely.
    constexpr double limit = 9223372036854775808.0;
    if (seconds >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (seconds <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(seconds);
}

QString formatThreshold(double seconds)
{
    if (std::isnan(seconds))
        return notANumber;
    if (std::isinf(seconds) && seconds > 0)
        return infinite;
    const std::int64_t total = std::max<std::int64_t>(0, wholeSeconds(seconds));
    if (total < 60)
        return QStringLiteral("%1s").arg(total);
    const auto [minutes, rest] = split(total);
    if (rest == 0)
        return QStringLiteral("%1m").arg(minutes);
    return QStringLiteral("%1m %2s").arg(minutes).arg(rest);
}

QString formatIdleTime(double seconds)
{
    if (std::isnan(seconds))
        return notANumber;
    if (std::isinf(seconds) && seconds > 0)
        return infinite + QStringLiteral(" idle");
    const std::int64_t total = std::max<std::int64_t>(0, wholeSeconds(seconds));
    if (total < 60)
        return QStringLiteral("%1s idle").arg(total);
    const auto [minutes, rest] = split(total);
    return QStringLiteral("%1m %2s idle").arg(minutes).arg(rest);
}

} // namespace nudgewatch
