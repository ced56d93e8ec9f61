#pragma once

namespace nudgewatch {

// The damped spring that opens and closes the notch panel. Position 0 is closed,
// 1 is open; the position may overshoot slightly on either side.
struct SpringState {
    double progress = 0;
    double velocity = 0; // progress units per second
    double target = 0;
};

namespace spring {
inline constexpr double stiffness = 220;
inline constexpr double damping = 24;
// The integration step, whatever time really passed: a late timer slows the
// animation instead of making it jump.
inline constexpr double timeStep = 1.0 / 120.0;
inline constexpr double frameClampMax = 1.02;
inline constexpr double settleDistance = 0.002;
inline constexpr double settleSpeed = 0.01;
} // namespace spring

// What one step produces for the window and the card.
struct SpringStepResult {
    double frameProgress = 0;  // progress clamped to [0, 1.02], for the frame only
    double postedProgress = 0; // the unclamped progress after integration
    bool settled = false;      // the state has been snapped to its target
};

// One semi-implicit Euler step of dt = 1/120 s. When it settles, the state holds
// exactly the target with zero velocity.
SpringStepResult stepSpring(SpringState &state);

} // namespace nudgewatch
