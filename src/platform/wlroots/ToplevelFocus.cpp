#include "platform/wlroots/ToplevelFocus.h"

#include <QStringDecoder>

#include <algorithm>

namespace nudgewatch {

namespace {

constexpr uint32_t activatedState = 2;  // zwlr_foreign_toplevel_handle_v1.state.activated
constexpr uint32_t fullscreenState = 3; // zwlr_foreign_toplevel_handle_v1.state.fullscreen

QString usableAppId(QByteArrayView bytes)
{
    if (bytes.size() > ToplevelFocus::maxAppIdBytes)
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString id = utf8(bytes);
    const bool control = std::any_of(
        id.cbegin(), id.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    return utf8.hasError() || control ? QString() : id;
}

} // namespace

void ToplevelFocus::add(Handle handle)
{
    Toplevel toplevel;
    toplevel.recency = ++m_clock;
    m_toplevels[handle] = std::move(toplevel);
}

void ToplevelFocus::setAppId(Handle handle, QByteArrayView appId)
{
    if (const auto it = m_toplevels.find(handle); it != m_toplevels.end())
        it->second.pendingAppId = usableAppId(appId);
}

void ToplevelFocus::setStates(Handle handle, std::span<const uint32_t> states)
{
    const auto it = m_toplevels.find(handle);
    if (it == m_toplevels.end())
        return;
    const auto read = states.first(std::min(states.size(), maxStates));
    it->second.pendingActivated = std::ranges::find(read, activatedState) != read.end();
    it->second.pendingFullscreen = std::ranges::find(read, fullscreenState) != read.end();
}

void ToplevelFocus::done(Handle handle)
{
    const auto it = m_toplevels.find(handle);
    if (it == m_toplevels.end())
        return;
    Toplevel &toplevel = it->second;
    if (toplevel.pendingActivated && !toplevel.activated)
        toplevel.recency = ++m_clock;
    toplevel.activated = toplevel.pendingActivated;
    toplevel.fullscreen = toplevel.pendingFullscreen;
    toplevel.appId = toplevel.pendingAppId;
}

void ToplevelFocus::close(Handle handle)
{
    m_toplevels.erase(handle);
}

std::optional<ToplevelFocus::Handle> ToplevelFocus::front() const
{
    std::optional<Handle> front;
    std::uint64_t latest = 0;
    for (const auto &[handle, toplevel] : m_toplevels) {
        if (toplevel.activated && toplevel.recency > latest) {
            front = handle;
            latest = toplevel.recency;
        }
    }
    return front;
}

void ToplevelFocus::enterOutput(Handle handle, Output output)
{
    if (const auto it = m_toplevels.find(handle); it != m_toplevels.end()) {
        std::erase(it->second.outputs, output);
        it->second.outputs.push_back(output);
    }
}

void ToplevelFocus::leaveOutput(Handle handle, Output output)
{
    if (const auto it = m_toplevels.find(handle); it != m_toplevels.end())
        std::erase(it->second.outputs, output);
}

std::optional<ToplevelFocus::Output> ToplevelFocus::output(Handle handle) const
{
    const auto it = m_toplevels.find(handle);
    if (it == m_toplevels.end() || it->second.outputs.empty())
        return std::nullopt;
    return it->second.outputs.back();
}

QString ToplevelFocus::appId(Handle handle) const
{
    const auto it = m_toplevels.find(handle);
    return it == m_toplevels.end() ? QString() : it->second.appId;
}

bool ToplevelFocus::isFullscreen(Handle handle) const
{
    const auto it = m_toplevels.find(handle);
    return it != m_toplevels.end() && it->second.fullscreen;
}

std::vector<ToplevelFocus::Handle> ToplevelFocus::byRecency() const
{
    std::vector<std::pair<std::uint64_t, Handle>> order;
    order.reserve(m_toplevels.size());
    for (const auto &[handle, toplevel] : m_toplevels)
        order.emplace_back(toplevel.recency, handle);
    std::ranges::sort(order, std::greater{});
    std::vector<Handle> handles;
    handles.reserve(order.size());
    for (const auto &entry : order)
        handles.push_back(entry.second);
    return handles;
}

} // namespace nudgewatch
