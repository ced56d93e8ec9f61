#pragma once

#include <functional>
#include <memory>

namespace nudgewatch {

// A scheduled timer. Destroying it invalidates it, so an owner that holds its
// timers is never called back after it is gone.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void invalidate() = 0;
    virtual bool isValid() const = 0;
};

enum class TimerPrecision { Coarse, Precise };

class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual std::unique_ptr<Timer>
    scheduleRepeating(double intervalSeconds, std::function<void()> callback,
                      TimerPrecision precision = TimerPrecision::Coarse) = 0;
    // Fires once, then reports itself invalid.
    virtual std::unique_ptr<Timer> scheduleOnce(double delaySeconds,
                                                std::function<void()> callback) = 0;
};

} // namespace nudgewatch
