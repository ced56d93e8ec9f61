#pragma once

#include "core/Clock.h"

namespace nudgewatch {

// The wall clock.
class SystemClock final : public Clock {
public:
    WallTime now() const override { return std::chrono::system_clock::now(); }
};

} // namespace nudgewatch
