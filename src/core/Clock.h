#pragma once

#include <chrono>

namespace nudgewatch {

using WallTime = std::chrono::system_clock::time_point;

inline double secondsBetween(WallTime from, WallTime to)
{
    return std::chrono::duration<double>(to - from).count();
}

class Clock {
public:
    virtual ~Clock() = default;
    virtual WallTime now() const = 0;
};

} // namespace nudgewatch
