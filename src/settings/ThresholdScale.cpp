#include "settings/ThresholdScale.h"

#include <algorithm>
#include <cmath>

namespace nudgewatch::thresholdScale {

int snapped(int rawSeconds)
{
    const int clamped = std::clamp(rawSeconds, minimumSeconds, maximumSeconds);
    const int steps = (clamped - minimumSeconds + stepSeconds / 2) / stepSeconds;
    return minimumSeconds + steps * stepSeconds;
}

int positionFor(double storedSeconds)
{
    if (std::isnan(storedSeconds))
        return minimumSeconds;
    const double clamped =
        std::clamp(storedSeconds, double(minimumSeconds), double(maximumSeconds));
    return snapped(static_cast<int>(std::lround(clamped)));
}

} // namespace nudgewatch::thresholdScale
