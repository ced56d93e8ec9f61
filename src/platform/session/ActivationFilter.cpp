#include "platform/session/ActivationFilter.h"

#include <QCoreApplication>

namespace nudgewatch {

RunningApplication ownApplication()
{
    return {QCoreApplication::applicationName(), QCoreApplication::applicationFilePath()};
}

RunningApplication unknownApplication()
{
    return {QString(), QString()};
}

std::optional<RunningApplication>
ActivationFilter::observe(const std::optional<RunningApplication> &application)
{
    if (!application || application == m_current)
        return std::nullopt;
    m_current = application;
    return application;
}

} // namespace nudgewatch
