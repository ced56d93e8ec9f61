#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"
#include "platform/wayland/WaylandConnection.h"

#include <chrono>
#include <memory>

struct ext_idle_notification_v1;
struct org_kde_kwin_idle_timeout;
struct wl_seat;

namespace nudgewatch {

// No input on a Wayland compositor that tells it: ext-idle-notify-v1 (KWin and
// newer wlroots compositors), else KDE's older org_kde_kwin_idle (which
// Debian 12's sway offers). The compositor sends one event
// once the seat has had no input for the threshold and one at the next input,
// over and over, so nothing polls. GNOME offers neither (see MutterIdleSource).
class WaylandIdleSource final : public PresenceSource {
    Q_OBJECT
public:
    // A proxy that sends its destructor request when it goes.
    template <typename T> using Proxy = std::unique_ptr<T, void (*)(T *)>;

    // None when the compositor offers no seat or neither protocol.
    static std::unique_ptr<WaylandIdleSource> create(std::unique_ptr<WaylandConnection> wayland,
                                                     std::chrono::milliseconds threshold,
                                                     const Clock &clock, QObject *parent = nullptr);
    ~WaylandIdleSource() override;

    QString name() const override { return QStringLiteral("Wayland idle"); }

private:
    friend struct WaylandIdleListeners;
    WaylandIdleSource(std::unique_ptr<WaylandConnection> wayland, Proxy<wl_seat> seat,
                      std::chrono::milliseconds threshold, const Clock &clock, QObject *parent);
    void set(bool idle);

    // Declared first, so it closes after the proxies made on it are gone.
    std::unique_ptr<WaylandConnection> m_wayland;
    Proxy<wl_seat> m_seat;
    const std::chrono::milliseconds m_threshold;
    const Clock &m_clock;
    Proxy<ext_idle_notification_v1> m_notification{nullptr, nullptr};
    Proxy<org_kde_kwin_idle_timeout> m_kdeTimeout{nullptr, nullptr};
};

} // namespace nudgewatch
