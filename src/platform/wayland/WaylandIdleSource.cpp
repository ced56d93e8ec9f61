#include "platform/wayland/WaylandIdleSource.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"
#include "platform/freedesktop/PlatformLog.h"

#include <wayland-client.h>

#include <algorithm>
#include <limits>

namespace nudgewatch {

// The protocols' callbacks, in the order of their events.
struct WaylandIdleListeners {
    static void idle(void *data, ext_idle_notification_v1 *)
    {
        static_cast<WaylandIdleSource *>(data)->set(true);
    }
    static void resumed(void *data, ext_idle_notification_v1 *)
    {
        static_cast<WaylandIdleSource *>(data)->set(false);
    }
    static void kdeIdle(void *data, org_kde_kwin_idle_timeout *)
    {
        static_cast<WaylandIdleSource *>(data)->set(true);
    }
    static void kdeResumed(void *data, org_kde_kwin_idle_timeout *)
    {
        static_cast<WaylandIdleSource *>(data)->set(false);
    }
    static constexpr ext_idle_notification_v1_listener notification = {&idle, &resumed};
    static constexpr org_kde_kwin_idle_timeout_listener kdeTimeout = {&kdeIdle, &kdeResumed};
};

std::unique_ptr<WaylandIdleSource>
WaylandIdleSource::create(std::unique_ptr<WaylandConnection> wayland,
                          std::chrono::milliseconds threshold, const Clock &clock, QObject *parent)
{
    // Version 1 of each has all this asks of it.
    Proxy<wl_seat> seat(static_cast<wl_seat *>(wayland->bind(wl_seat_interface, 1)),
                        &wl_seat_destroy);
    Proxy<ext_idle_notifier_v1> notifier(
        static_cast<ext_idle_notifier_v1 *>(wayland->bind(ext_idle_notifier_v1_interface, 1)),
        &ext_idle_notifier_v1_destroy);
    // The older protocol has no destructor request: its proxy just goes.
    Proxy<org_kde_kwin_idle> kdeIdle(
        notifier ? nullptr
                 : static_cast<org_kde_kwin_idle *>(wayland->bind(org_kde_kwin_idle_interface, 1)),
        &org_kde_kwin_idle_destroy);
    if (!seat || (!notifier && !kdeIdle)) {
        qCDebug(lcPlatform) << "the compositor offers no seat or no idle protocol";
        return nullptr;
    }
    const auto timeout = uint32_t(std::clamp<std::chrono::milliseconds::rep>(
        threshold.count(), 1, std::numeric_limits<uint32_t>::max()));
    std::unique_ptr<WaylandIdleSource> source(
        new WaylandIdleSource(std::move(wayland), std::move(seat), threshold, clock, parent));
    // Objects made from a manager outlive it.
    if (notifier) {
        source->m_notification = {ext_idle_notifier_v1_get_idle_notification(
                                      notifier.get(), timeout, source->m_seat.get()),
                                  &ext_idle_notification_v1_destroy};
        ext_idle_notification_v1_add_listener(source->m_notification.get(),
                                              &WaylandIdleListeners::notification, source.get());
    } else {
        source->m_kdeTimeout = {
            org_kde_kwin_idle_get_idle_timeout(kdeIdle.get(), source->m_seat.get(), timeout),
            &org_kde_kwin_idle_timeout_release};
        org_kde_kwin_idle_timeout_add_listener(source->m_kdeTimeout.get(),
                                               &WaylandIdleListeners::kdeTimeout, source.get());
    }
    qCDebug(lcPlatform) << "no input from the compositor's"
                        << (notifier ? "ext_idle_notifier_v1" : "org_kde_kwin_idle");
    notifier.reset();
    kdeIdle.reset();
    source->m_wayland->flush();
    return source;
}

WaylandIdleSource::WaylandIdleSource(std::unique_ptr<WaylandConnection> wayland,
                                     Proxy<wl_seat> seat, std::chrono::milliseconds threshold,
                                     const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_wayland(std::move(wayland)), m_seat(std::move(seat)),
      m_threshold(threshold), m_clock(clock)
{
    // Without the compositor there is nobody to say the user is away.
    connect(m_wayland.get(), &WaylandConnection::connectionLost, this, [this] { set(false); });
}

WaylandIdleSource::~WaylandIdleSource() = default;

void WaylandIdleSource::set(bool idle)
{
    const WallTime now = m_clock.now();
    // The compositor says idle once the threshold has passed since the last input.
    report(PresenceCondition::NoInput, idle, idle ? now - m_threshold : now);
}

} // namespace nudgewatch
