#include "platform/ActivationFilter.h"

#include <QCoreApplication>

namespace nudgewatch {

RunningApplication ownApplication()
{
    return {QCoreApplication::applicationName(), QCoreApplication::applicationFilePath()};
}

std::optional<RunningApplication>
ActivationFilter::observe(const std::optional<RunningApplication> &application)
{
    if (!application || application == m_current)
        return std::nullopt;
    m_current = application;
    return application;
}

bool ActivationFilter::observeNothing()
{
    const bool wasSomething = m_current.has_value();
    m_current.reset();
    return wasSomething;
}

} // namespace nudgewatch
