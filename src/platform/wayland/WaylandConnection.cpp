#include "platform/wayland/WaylandConnection.h"

#include "platform/freedesktop/PlatformLog.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace nudgewatch {

namespace {

// A compositor offers a few dozen globals; more than this is not one to trust.
constexpr std::size_t maxGlobals = 512;
constexpr std::size_t maxInterfaceName = 128;

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(QObject *parent)
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        qCDebug(lcPlatform) << "no Wayland display to connect to:" << std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display, parent));
    if (!connection->roundtrip())
        return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display *display, QObject *parent)
    : QObject(parent), m_display(display)
{
    static const wl_registry_listener listener = {&WaylandConnection::onGlobal,
                                                  &WaylandConnection::onGlobalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
    m_reader =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_reader.get(), &QSocketNotifier::activated, this, &WaylandConnection::readEvents);
}

WaylandConnection::~WaylandConnection()
{
    m_reader.reset();
    m_writer.reset();
    if (m_confirmation)
        wl_callback_destroy(m_confirmation);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandConnection::onGlobal(void *data, wl_registry *, uint32_t name, const char *interface,
                                 uint32_t version)
{
    auto *self = static_cast<WaylandConnection *>(data);
    const std::size_t length = interface ? strnlen(interface, maxInterfaceName + 1) : 0;
    if (length == 0 || length > maxInterfaceName || self->m_globals.size() >= maxGlobals)
        return;
    self->m_globals.push_back({name, QByteArray(interface, qsizetype(length)), version});
}

void WaylandConnection::onGlobalRemove(void *data, wl_registry *, uint32_t name)
{
    auto &globals = static_cast<WaylandConnection *>(data)->m_globals;
    std::erase_if(globals, [name](const Global &global) { return global.name == name; });
}

void *WaylandConnection::bind(const wl_interface &interface, uint32_t maxVersion) const
{
    const auto global = std::find_if(m_globals.begin(), m_globals.end(), [&](const Global &g) {
        return g.interface == interface.name;
    });
    return global == m_globals.end() ? nullptr : bind(*global, interface, maxVersion);
}

void *WaylandConnection::bind(const Global &global, const wl_interface &interface,
                              uint32_t maxVersion) const
{
    if (m_lost || global.version == 0 || global.interface != interface.name)
        return nullptr;
    return wl_registry_bind(m_registry, global.name, &interface,
                            std::min(global.version, maxVersion));
}

bool WaylandConnection::roundtrip()
{
    if (!m_lost && wl_display_roundtrip(m_display) < 0)
        lose();
    return !m_lost;
}

void WaylandConnection::flush()
{
    if (m_lost)
        return;
    if (wl_display_flush(m_display) >= 0) {
        if (m_writer)
            m_writer->setEnabled(false);
        return;
    }
    if (errno != EAGAIN)
        return lose();
    // The socket is full: finish sending once the compositor has read some.
    if (!m_writer) {
        m_writer =
            std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Write);
        connect(m_writer.get(), &QSocketNotifier::activated, this, &WaylandConnection::flush);
    }
    m_writer->setEnabled(true);
}

void WaylandConnection::readEvents()
{
    if (m_lost)
        return;
    m_confirmed = 0;
    int events = 0;
    // Events already queued are dispatched before more are read.
    while (wl_display_prepare_read(m_display) != 0) {
        const int count = wl_display_dispatch_pending(m_display);
        if (count < 0)
            return lose();
        events += count;
    }
    const int count =
        wl_display_read_events(m_display) < 0 ? -1 : wl_display_dispatch_pending(m_display);
    if (count < 0)
        return lose();
    events += count;
    // Only the compositor's own events call for a round trip, never the
    // answer to the last one.
    if (events > m_confirmed)
        confirm();
    flush();
    if (!m_lost)
        emit dispatched();
}

void WaylandConnection::confirm()
{
    if (m_confirmation || m_lost)
        return;
    static const wl_callback_listener listener = {[](void *data, wl_callback *callback, uint32_t) {
        auto *self = static_cast<WaylandConnection *>(data);
        wl_callback_destroy(callback);
        self->m_confirmation = nullptr;
        // The answer is two events: the callback's done and the display's
        // delete_id for it, which libwayland counts as dispatched too. Counted
        // as one, every answer would ask for the next round trip, for ever.
        self->m_confirmed += 2;
    }};
    m_confirmation = wl_display_sync(m_display);
    wl_callback_add_listener(m_confirmation, &listener, this);
}

QString WaylandConnection::lossReason() const
{
    if (!m_lost)
        return {};
    const int error = wl_display_get_error(m_display);
    if (error == EPROTO)
        return QStringLiteral("the compositor reported a protocol error");
    if (error == EPIPE || error == ECONNRESET || error == 0)
        return QStringLiteral("the compositor closed the connection");
    return QString::fromLocal8Bit(std::strerror(error));
}

void WaylandConnection::lose()
{
    if (m_lost)
        return;
    m_lost = true;
    m_reader->setEnabled(false);
    if (m_writer)
        m_writer->setEnabled(false);
    std::fprintf(stderr, "nudgewatch: the connection to the Wayland compositor broke: %s\n",
                 qPrintable(lossReason()));
    emit connectionLost();
}

} // namespace nudgewatch
