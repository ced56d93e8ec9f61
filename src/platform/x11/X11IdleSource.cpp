#include "platform/x11/X11IdleSource.h"

#include "core/CReply.h"
#include "platform/freedesktop/PlatformLog.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

namespace nudgewatch {

namespace {

int64_t fromSync(xcb_sync_int64_t value)
{
    return int64_t(uint64_t(uint32_t(value.hi)) << 32 | value.lo);
}

std::optional<xcb_sync_counter_t> idleTimeCounter(xcb_connection_t *c)
{
    const auto list =
        owned(xcb_sync_list_system_counters_reply(c, xcb_sync_list_system_counters(c), nullptr));
    if (!list)
        return std::nullopt;
    // The entries follow the 32-byte reply header; their length is the reply's
    // own, in 4-byte units. libxcb's name accessor is off by two bytes here.
    const auto *bytes = reinterpret_cast<const char *>(list.get()) + 32;
    return findSystemCounter(QByteArrayView(bytes, qsizetype(list->length) * 4), list->counters_len,
                             "IDLETIME");
}

} // namespace

std::optional<uint32_t> findSystemCounter(QByteArrayView entries, uint32_t count,
                                          QByteArrayView name)
{
    // Counter id (4), resolution (8), name length (2): the wire layout, which
    // is shorter than libxcb's padded struct.
    constexpr qsizetype header = 14;
    qsizetype offset = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (entries.size() - offset < header)
            return std::nullopt;
        uint32_t counter = 0;
        uint16_t length = 0;
        std::memcpy(&counter, entries.data() + offset, sizeof counter);
        std::memcpy(&length, entries.data() + offset + 12, sizeof length);
        if (entries.size() - offset - header < length)
            return std::nullopt;
        if (entries.sliced(offset + header, length) == name)
            return counter;
        offset += (header + length + 3) & ~qsizetype(3);
    }
    return std::nullopt;
}

std::unique_ptr<X11IdleSource> X11IdleSource::create(XcbConnection &connection,
                                                     std::chrono::milliseconds threshold,
                                                     const Clock &clock, QObject *parent)
{
    xcb_connection_t *c = connection.connection();
    const xcb_query_extension_reply_t *sync = xcb_get_extension_data(c, &xcb_sync_id);
    if (sync == nullptr || !sync->present) {
        qCDebug(lcPlatform) << "the X server has no SYNC extension";
        return nullptr;
    }
    const auto version = owned(xcb_sync_initialize_reply(
        c, xcb_sync_initialize(c, XCB_SYNC_MAJOR_VERSION, XCB_SYNC_MINOR_VERSION), nullptr));
    const std::optional<xcb_sync_counter_t> idleTime = version ? idleTimeCounter(c) : std::nullopt;
    if (!idleTime) {
        qCDebug(lcPlatform) << "the X server has no IDLETIME counter";
        return nullptr;
    }
    return std::unique_ptr<X11IdleSource>(
        new X11IdleSource(connection, uint8_t(sync->first_event + XCB_SYNC_ALARM_NOTIFY), *idleTime,
                          threshold, clock, parent));
}

X11IdleSource::X11IdleSource(XcbConnection &connection, uint8_t alarmEvent,
                             xcb_sync_counter_t idleTime, std::chrono::milliseconds threshold,
                             const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_x(connection), m_alarmEvent(alarmEvent), m_idleTime(idleTime),
      m_threshold(threshold), m_clock(clock)
{
    m_awayAlarm = createAlarm(XCB_SYNC_TESTTYPE_POSITIVE_TRANSITION);
    m_backAlarm = createAlarm(XCB_SYNC_TESTTYPE_NEGATIVE_TRANSITION);
    xcb_flush(m_x.connection());
    connect(&m_x, &XcbConnection::eventArrived, this, &X11IdleSource::handle);
    // An alarm does not fire for a threshold crossed before it was made: a user
    // already away is found by reading the counter once, when listeners are in place.
    QTimer::singleShot(0, this, &X11IdleSource::readIdleTime);
}

X11IdleSource::~X11IdleSource()
{
    if (!m_x.hasError()) {
        for (const xcb_sync_alarm_t alarm : {m_awayAlarm, m_backAlarm})
            xcb_sync_destroy_alarm(m_x.connection(), alarm);
        xcb_flush(m_x.connection());
    }
}

xcb_sync_alarm_t X11IdleSource::createAlarm(xcb_sync_testtype_t test)
{
    const xcb_sync_alarm_t alarm = xcb_generate_id(m_x.connection());
    const int64_t value = m_threshold.count();
    // In the order of the mask bits: counter, value type, value (hi, lo), test
    // type, delta (hi, lo), events. Delta 0 keeps a transition alarm armed.
    const uint32_t values[] = {m_idleTime,
                               XCB_SYNC_VALUETYPE_ABSOLUTE,
                               uint32_t(value >> 32),
                               uint32_t(value),
                               uint32_t(test),
                               0,
                               0,
                               1};
    xcb_sync_create_alarm(m_x.connection(), alarm,
                          XCB_SYNC_CA_COUNTER | XCB_SYNC_CA_VALUE_TYPE | XCB_SYNC_CA_VALUE |
                              XCB_SYNC_CA_TEST_TYPE | XCB_SYNC_CA_DELTA | XCB_SYNC_CA_EVENTS,
                          values);
    return alarm;
}

void X11IdleSource::readIdleTime()
{
    xcb_connection_t *c = m_x.connection();
    const auto counter =
        owned(xcb_sync_query_counter_reply(c, xcb_sync_query_counter(c, m_idleTime), nullptr));
    if (counter) {
        const std::chrono::milliseconds idleFor(fromSync(counter->counter_value));
        set(idleFor >= m_threshold, idleFor);
    }
    m_x.dispatchSoon();
}

void X11IdleSource::handle(const xcb_generic_event_t *event)
{
    if ((event->response_type & 0x7f) != m_alarmEvent)
        return;
    const auto *notify = reinterpret_cast<const xcb_sync_alarm_notify_event_t *>(event);
    const std::chrono::milliseconds idleFor(fromSync(notify->counter_value));
    if (notify->alarm == m_awayAlarm)
        set(true, idleFor);
    else if (notify->alarm == m_backAlarm)
        set(false, idleFor);
}

void X11IdleSource::set(bool idle, std::chrono::milliseconds idleFor)
{
    const WallTime now = m_clock.now();
    // Away since the last input (within reason: the counter is the server's word); back from now.
    const auto away = std::clamp(idleFor, std::chrono::milliseconds(0),
                                 std::chrono::milliseconds(std::chrono::hours(24 * 365)));
    report(PresenceCondition::NoInput, idle, idle ? now - away : now);
}

} // namespace nudgewatch
