#include "platform/StandInTracker.h"

namespace nudgewatch {

StandInTracker::StandInTracker(FrontmostApplicationTracker &tracker, WindowRaiser *raiser,
                               QObject *parent)
    : FrontmostApplicationTracker(parent), m_tracker(tracker), m_raiser(raiser)
{
    connect(
        &tracker, &FrontmostApplicationTracker::activated, this,
        [this](const RunningApplication &application) { emit activated(asTracked(application)); });
    connect(&tracker, &FrontmostApplicationTracker::fullscreenChanged, this,
            &FrontmostApplicationTracker::fullscreenChanged);
    connect(&tracker, &FrontmostApplicationTracker::statusChanged, this,
            &FrontmostApplicationTracker::statusChanged);
}

std::optional<RunningApplication> StandInTracker::frontmostApplication() const
{
    if (std::optional<RunningApplication> application = m_tracker.frontmostApplication())
        return asTracked(*application);
    return std::nullopt;
}

bool StandInTracker::raiseWindowOf(const QString &entryPath)
{
    if (!m_raiser)
        return false;
    const QString application = m_launcherFor.key(entryPath);
    return m_raiser->raiseWindowOf(application.isEmpty() ? entryPath : application);
}

RunningApplication StandInTracker::asTracked(RunningApplication application) const
{
    if (application.bundlePath && m_launcherFor.contains(*application.bundlePath))
        application.bundlePath = m_launcherFor.value(*application.bundlePath);
    return application;
}

} // namespace nudgewatch
