#include "platform/TrackerFullscreenSource.h"

namespace nudgewatch {

TrackerFullscreenSource::TrackerFullscreenSource(FrontmostApplicationTracker &tracker, QString name,
                                                 const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_name(std::move(name))
{
    connect(&tracker, &FrontmostApplicationTracker::fullscreenChanged, this,
            [this, &clock](bool fullscreen) {
                emit conditionChanged(PresenceCondition::Fullscreen, fullscreen, clock.now());
            });
}

} // namespace nudgewatch
