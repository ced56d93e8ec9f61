#include "notch/Spring.h"

#include <algorithm>
#include <cmath>

namespace nudgewatch {

SpringStepResult stepSpring(SpringState &state)
{
    const double force = (state.target - state.progress) * spring::stiffness;
    const double acceleration = force + state.velocity * -spring::damping;
    state.velocity = state.velocity + acceleration * spring::timeStep;
    state.progress = state.progress + state.velocity * spring::timeStep;

    SpringStepResult result;
    result.frameProgress = std::max(0.0, std::min(spring::frameClampMax, state.progress));
    result.postedProgress = state.progress;
    if (std::abs(state.progress - state.target) < spring::settleDistance &&
        std::abs(state.velocity) < spring::settleSpeed) {
        state.progress = state.target;
        state.velocity = 0;
        result.settled = true;
    }
    return result;
}

} // namespace nudgewatch
