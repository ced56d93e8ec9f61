#include "platform/x11/ActivationFilter.h"

namespace nudgewatch {

std::optional<RunningApplication>
ActivationFilter::observe(const std::optional<RunningApplication> &application)
{
    if (!application || application == m_current)
        return std::nullopt;
    m_current = application;
    return application;
}

} // namespace nudgewatch
