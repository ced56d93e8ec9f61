#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"
#include "platform/xcb/XcbConnection.h"

#include <QByteArrayView>

#include <xcb/sync.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace nudgewatch {

// The id of the SYNC system counter with this name, from the counter list that
// follows a ListSystemCounters reply's header: each entry is a counter id, a
// 64-bit resolution, a 16-bit name length, the name, and padding to 4 bytes.
// Reads only within `entries`.
std::optional<uint32_t> findSystemCounter(QByteArrayView entries, uint32_t count,
                                          QByteArrayView name);

// No input in an X11 session, from the SYNC extension's IDLETIME counter: one
// alarm fires when it rises through the threshold (away), one when input sets
// it back below (back). Both stay armed, so nothing polls. Not for Xwayland,
// whose counter does not see input to Wayland windows.
class X11IdleSource final : public PresenceSource {
    Q_OBJECT
public:
    // None when the server lacks SYNC or its IDLETIME counter.
    static std::unique_ptr<X11IdleSource> create(XcbConnection &connection,
                                                 std::chrono::milliseconds threshold,
                                                 const Clock &clock, QObject *parent = nullptr);
    ~X11IdleSource() override;

    QString name() const override { return QStringLiteral("X11 idle"); }

private:
    X11IdleSource(XcbConnection &connection, uint8_t alarmEvent, xcb_sync_counter_t idleTime,
                  std::chrono::milliseconds threshold, const Clock &clock, QObject *parent);
    xcb_sync_alarm_t createAlarm(xcb_sync_testtype_t test);
    void readIdleTime();
    void handle(const xcb_generic_event_t *event);
    void set(bool idle, std::chrono::milliseconds idleFor);

    XcbConnection &m_x;
    const uint8_t m_alarmEvent;
    const xcb_sync_counter_t m_idleTime;
    const std::chrono::milliseconds m_threshold;
    const Clock &m_clock;
    xcb_sync_alarm_t m_awayAlarm = XCB_NONE;
    xcb_sync_alarm_t m_backAlarm = XCB_NONE;
};

} // namespace nudgewatch
