#pragma once

#include "core/Clock.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/PresenceSource.h"

namespace nudgewatch {

// The desktop's own word on a fullscreen window in front, from the route that
// follows the front window (a Wayland compositor, KWin, GNOME Shell), as a
// presence source: busy while it lasts.
class TrackerFullscreenSource final : public PresenceSource {
    Q_OBJECT
public:
    // `name` for the list of sources in use, such as "desktop fullscreen".
    TrackerFullscreenSource(FrontmostApplicationTracker &tracker, QString name, const Clock &clock,
                            QObject *parent = nullptr);

    QString name() const override { return m_name; }

private:
    QString m_name;
};

} // namespace nudgewatch
