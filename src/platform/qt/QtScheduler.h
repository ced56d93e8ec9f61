#pragma once

#include "core/Scheduler.h"

namespace nudgewatch {

// Timers on the main thread's event loop.
class QtScheduler final : public Scheduler {
public:
    std::unique_ptr<Timer> scheduleRepeating(double intervalSeconds, std::function<void()> callback,
                                             TimerPrecision precision) override;
    std::unique_ptr<Timer> scheduleOnce(double delaySeconds,
                                        std::function<void()> callback) override;
};

} // namespace nudgewatch
