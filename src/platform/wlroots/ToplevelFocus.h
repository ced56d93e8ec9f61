#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace nudgewatch {

// What a compositor tells about its toplevel windows (foreign-toplevel
// management), reduced to the one in front. Changes to a toplevel take effect
// at its `done`; the caller asks front() after each whole batch of events, as a
// switch arrives as the old window's deactivation and the new one's activation,
// in either order, possibly in separate batches. Of the activated toplevels the
// one activated last is in front. Handles are opaque to it.
class ToplevelFocus {
public:
    using Handle = std::uintptr_t;
    using Output = std::uintptr_t;
    // App ids are reverse-DNS names or WM_CLASS classes; longer or malformed
    // ones name no application.
    static constexpr qsizetype maxAppIdBytes = 255;
    // Only a handful of states exist; the rest of a longer array is not read.
    static constexpr std::size_t maxStates = 16;

    void add(Handle handle);
    void setAppId(Handle handle, QByteArrayView appId);
    void setStates(Handle handle, std::span<const uint32_t> states);
    void done(Handle handle);
    void close(Handle handle);
    // The compositor shows the toplevel on an output, or no longer does.
    void enterOutput(Handle handle, Output output);
    void leaveOutput(Handle handle, Output output);

    std::optional<Handle> front() const;
    // The toplevel's app id; empty when it has none or none usable.
    QString appId(Handle handle) const;
    // Whether the toplevel fills its output as fullscreen.
    bool isFullscreen(Handle handle) const;
    // Of the outputs that show the toplevel, the one it entered last.
    std::optional<Output> output(Handle handle) const;
    // Every toplevel, the one activated (or else opened) last first.
    std::vector<Handle> byRecency() const;

private:
    struct Toplevel {
        QString appId, pendingAppId;
        bool activated = false, pendingActivated = false;
        bool fullscreen = false, pendingFullscreen = false;
        std::uint64_t recency = 0;
        std::vector<Output> outputs; // in the order entered
    };
    std::unordered_map<Handle, Toplevel> m_toplevels;
    std::uint64_t m_clock = 0;
};

} // namespace nudgewatch
