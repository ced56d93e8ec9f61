#include "platform/wlroots/ForeignToplevelTracker.h"

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/freedesktop/WindowResolver.h"
#include "platform/wayland/WaylandConnection.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QGuiApplication>

#include <wayland-client.h>

#include <cstdio>
#include <cstring>

namespace nudgewatch {

namespace {

ToplevelFocus::Handle handleOf(zwlr_foreign_toplevel_handle_v1 *handle)
{
    return reinterpret_cast<ToplevelFocus::Handle>(handle);
}

zwlr_foreign_toplevel_handle_v1 *proxyOf(ToplevelFocus::Handle handle)
{
    return reinterpret_cast<zwlr_foreign_toplevel_handle_v1 *>(handle);
}

// Qt's xcb platform names the program's X11 windows' class after the
// application; a native Qt window takes the desktop file's name as app id.
bool isOwnAppId(const QString &appId)
{
    return appId == QCoreApplication::applicationName() ||
           appId == QGuiApplication::desktopFileName();
}

} // namespace

// The protocol's callbacks, in the order of its events.
struct ForeignToplevelListeners {
    static ForeignToplevelTracker *tracker(void *data)
    {
        return static_cast<ForeignToplevelTracker *>(data);
    }
    static void title(void *, zwlr_foreign_toplevel_handle_v1 *, const char *) {}
    static void appId(void *data, zwlr_foreign_toplevel_handle_v1 *handle, const char *id)
    {
        // One byte past the longest accepted id is enough to reject longer ones.
        const std::size_t length = id ? strnlen(id, ToplevelFocus::maxAppIdBytes + 1) : 0;
        tracker(data)->m_focus.setAppId(handleOf(handle), QByteArrayView(id, qsizetype(length)));
    }
    static void outputEnter(void *data, zwlr_foreign_toplevel_handle_v1 *handle, wl_output *output)
    {
        tracker(data)->m_focus.enterOutput(handleOf(handle), std::uintptr_t(output));
    }
    static void outputLeave(void *data, zwlr_foreign_toplevel_handle_v1 *handle, wl_output *output)
    {
        tracker(data)->m_focus.leaveOutput(handleOf(handle), std::uintptr_t(output));
    }
    static void state(void *data, zwlr_foreign_toplevel_handle_v1 *handle, wl_array *states)
    {
        // wl_array_for_each does not compile as C++; the array holds uint32 states.
        const std::span<const uint32_t> values(static_cast<const uint32_t *>(states->data),
                                               states->size / sizeof(uint32_t));
        tracker(data)->m_focus.setStates(handleOf(handle), values);
    }
    static void done(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        tracker(data)->m_focus.done(handleOf(handle));
    }
    static void closed(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        tracker(data)->m_focus.close(handleOf(handle));
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
    }
    static void parent(void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *)
    {
    }
    static void toplevel(void *data, zwlr_foreign_toplevel_manager_v1 *,
                         zwlr_foreign_toplevel_handle_v1 *handle)
    {
        tracker(data)->listen(handle);
    }
    static void finished(void *data, zwlr_foreign_toplevel_manager_v1 *)
    {
        qCDebug(lcPlatform) << "the compositor stopped listing its windows";
        tracker(data)->stop();
    }

    static constexpr zwlr_foreign_toplevel_handle_v1_listener handle = {
        title, appId, outputEnter, outputLeave, state, done, closed, parent};
    static constexpr zwlr_foreign_toplevel_manager_v1_listener manager = {toplevel, finished};

    // Of an output, only its name is wanted.
    static void outputName(void *data, wl_output *output, const char *name)
    {
        for (auto &[known, knownName] : tracker(data)->m_outputs)
            if (known == output)
                knownName = QString::fromUtf8(name, qsizetype(name ? strnlen(name, 255) : 0));
    }
    static void geometry(void *, wl_output *, int32_t, int32_t, int32_t, int32_t, int32_t,
                         const char *, const char *, int32_t)
    {
    }
    static void mode(void *, wl_output *, uint32_t, int32_t, int32_t, int32_t) {}
    static void outputDone(void *, wl_output *) {}
    static void scale(void *, wl_output *, int32_t) {}
    static void description(void *, wl_output *, const char *) {}
    static constexpr wl_output_listener output = {geometry, mode,       outputDone,
                                                  scale,    outputName, description};
};

std::chrono::milliseconds reconnectDelay(int failures)
{
    using namespace std::chrono_literals;
    if (failures <= 0)
        return 0ms;
    // 0.5 s, 1 s, 2 s, … 16 s, then half a minute.
    return failures > 6 ? 30000ms : std::chrono::milliseconds(250 << failures);
}

std::unique_ptr<ForeignToplevelTracker>
ForeignToplevelTracker::create(Connect connect, const DesktopEntryRegistry &entries,
                               QString *whyNot)
{
    std::unique_ptr<WaylandConnection> wayland = connect();
    if (!wayland) {
        *whyNot = QStringLiteral("cannot connect to the Wayland compositor");
        return nullptr;
    }
    std::unique_ptr<ForeignToplevelTracker> tracker(
        new ForeignToplevelTracker(std::move(connect), entries));
    if (!tracker->attach(std::move(wayland), whyNot))
        return nullptr;
    tracker->decide(false);
    return tracker;
}

ForeignToplevelTracker::ForeignToplevelTracker(Connect connectToCompositor,
                                               const DesktopEntryRegistry &entries)
    : m_connect(std::move(connectToCompositor)), m_entries(entries)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &ForeignToplevelTracker::reconnect);
}

bool ForeignToplevelTracker::attach(std::unique_ptr<WaylandConnection> wayland, QString *whyNot)
{
    // Version 3 is the one the protocol file describes.
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1 *>(
        wayland->bind(zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!m_manager) {
        *whyNot = QStringLiteral("the compositor does not offer %1")
                      .arg(QLatin1String(zwlr_foreign_toplevel_manager_v1_interface.name));
        return false;
    }
    m_wayland = std::move(wayland);
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &ForeignToplevelListeners::manager,
                                                  this);
    // Activation needs a seat; version 1 has all this asks of it.
    m_seat = static_cast<wl_seat *>(m_wayland->bind(wl_seat_interface, 1));
    // The outputs as they were at connection time; version 4 tells their names.
    for (const WaylandConnection::Global &global : m_wayland->globals()) {
        if (auto *output =
                static_cast<wl_output *>(m_wayland->bind(global, wl_output_interface, 4))) {
            m_outputs.emplace_back(output, QString());
            wl_output_add_listener(output, &ForeignToplevelListeners::output, this);
        }
    }
    // The windows already open, with their first state.
    if (!m_wayland->roundtrip()) {
        *whyNot = m_wayland->lossReason();
        detach();
        return false;
    }
    connect(m_wayland.get(), &WaylandConnection::dispatched, this, [this] { decide(true); });
    connect(m_wayland.get(), &WaylandConnection::connectionLost, this,
            &ForeignToplevelTracker::lost);
    m_attachedAt = std::chrono::steady_clock::now();
    return true;
}

std::unique_ptr<WaylandConnection> ForeignToplevelTracker::detach()
{
    if (!m_wayland)
        return nullptr;
    disconnect(m_wayland.get(), nullptr, this, nullptr);
    for (const ToplevelFocus::Handle handle : m_focus.byRecency())
        zwlr_foreign_toplevel_handle_v1_destroy(proxyOf(handle));
    m_focus = ToplevelFocus();
    if (m_manager) {
        if (!m_wayland->isLost())
            zwlr_foreign_toplevel_manager_v1_stop(m_manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
        m_manager = nullptr;
    }
    if (m_seat)
        wl_seat_destroy(m_seat);
    m_seat = nullptr;
    for (const auto &[output, name] : m_outputs)
        wl_output_destroy(output);
    m_outputs.clear();
    m_wayland->flush();
    return std::move(m_wayland);
}

ForeignToplevelTracker::~ForeignToplevelTracker()
{
    detach();
}

TrackerStatus ForeignToplevelTracker::status() const
{
    if (!m_lossReason.isEmpty())
        return {false,
                tr("The connection to the compositor broke (%1), so Nudgewatch cannot see which "
                   "application is in front and does not remind you. It connects again by "
                   "itself.")
                    .arg(m_lossReason),
                {}};
    if (m_manager)
        return {};
    return {false,
            tr("The compositor stopped telling Nudgewatch which window is in front, so it "
               "does not remind you until it is started again."),
            {}};
}

void ForeignToplevelTracker::lost()
{
    m_lossReason = m_wayland->lossReason();
    // Called from within the connection's own signal: it goes once that returns.
    detach().release()->deleteLater();
    // What was in front is not known until the new connection tells; the
    // activation filter starts afresh so the first front window is announced.
    m_filter.forget();
    m_front.reset();
    // A connection that breaks soon after it was made counts as a failed
    // attempt: a compositor that keeps closing it is not asked ever faster.
    using namespace std::chrono_literals;
    if (std::chrono::steady_clock::now() - m_attachedAt > 60s)
        m_attempts = 0;
    m_retry.start(reconnectDelay(m_attempts++));
    emit statusChanged();
}

void ForeignToplevelTracker::reconnect()
{
    QString whyNot;
    std::unique_ptr<WaylandConnection> wayland = m_connect();
    if (!wayland || !attach(std::move(wayland), &whyNot)) {
        if (!whyNot.isEmpty() && whyNot != m_lossReason) {
            m_lossReason = whyNot;
            emit statusChanged();
        }
        m_retry.start(reconnectDelay(m_attempts++));
        return;
    }
    std::fprintf(stderr, "nudgewatch: connected to the Wayland compositor again\n");
    m_lossReason.clear();
    decide(true);
    emit statusChanged();
}

FrontWindowPlace ForeignToplevelTracker::frontWindowPlace() const
{
    const std::optional<ToplevelFocus::Handle> front = m_focus.front();
    const std::optional<ToplevelFocus::Output> output =
        front ? m_focus.output(*front) : std::nullopt;
    for (const auto &[known, name] : m_outputs)
        if (output && std::uintptr_t(known) == *output)
            return {std::nullopt, name};
    return {};
}

void ForeignToplevelTracker::listen(zwlr_foreign_toplevel_handle_v1 *handle)
{
    m_focus.add(handleOf(handle));
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &ForeignToplevelListeners::handle, this);
}

void ForeignToplevelTracker::decide(bool announce)
{
    if (!m_manager)
        return;
    const std::optional<ToplevelFocus::Handle> front = m_focus.front();
    m_front = front ? std::optional(applicationOf(m_focus.appId(*front))) : std::nullopt;
    if (const bool fullscreen = front && m_focus.isFullscreen(*front); fullscreen != m_fullscreen) {
        m_fullscreen = fullscreen;
        emit fullscreenChanged(fullscreen);
    }
    // An empty workspace, or every window minimised: the last application is left.
    const std::optional<RunningApplication> changed =
        m_filter.observe(m_front ? m_front : unknownApplication());
    if (changed && announce)
        emit activated(*changed);
}

RunningApplication toplevelApplication(const DesktopEntryIndex &index, const QString &appId)
{
    if (appId.isEmpty())
        return unknownApplication();
    if (isOwnAppId(appId))
        return ownApplication();
    // An app id plays the part of an X11 window's WM_CLASS class.
    WindowFacts facts;
    facts.wmClass = appId;
    return resolveRunningApplication(index, {facts});
}

RunningApplication ForeignToplevelTracker::applicationOf(const QString &appId) const
{
    return toplevelApplication(m_entries.index(), appId);
}

bool ForeignToplevelTracker::raiseWindowOf(const QString &entryPath)
{
    if (!m_seat || !m_manager || !m_wayland || m_wayland->isLost())
        return false;
    for (const ToplevelFocus::Handle handle : m_focus.byRecency()) {
        const QString appId = m_focus.appId(handle);
        if (appId.isEmpty() || isOwnAppId(appId) || applicationOf(appId).bundlePath != entryPath)
            continue;
        zwlr_foreign_toplevel_handle_v1_activate(proxyOf(handle), m_seat);
        m_wayland->flush();
        // The request may be what made the compositor close the connection.
        if (!m_wayland || m_wayland->isLost())
            return false;
        return true;
    }
    return false;
}

void ForeignToplevelTracker::stop()
{
    if (!m_manager)
        return;
    // The compositor has let the manager go, or the connection is gone: only
    // the proxy is left to free.
    zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_manager = nullptr;
    m_front.reset();
    emit statusChanged();
}

} // namespace nudgewatch
