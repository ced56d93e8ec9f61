#include "platform/wayland/WaylandPresence.h"

#include "platform/wayland/WaylandIdleSource.h"

namespace nudgewatch {

PresenceSourceList waylandIdlePresenceSources(const PresenceSetup &setup, const Clock &clock)
{
    PresenceSourceList sources;
    if (std::unique_ptr<WaylandConnection> wayland = WaylandConnection::open()) {
        if (auto idle = WaylandIdleSource::create(std::move(wayland), setup.noInputAfter, clock))
            sources.push_back(std::move(idle));
    }
    return sources;
}

} // namespace nudgewatch
