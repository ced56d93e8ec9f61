#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

namespace nudgewatch {

// What the desktop tells about one running application. Both values are optional:
// a window may resolve to no desktop entry, or carry no usable name.
struct RunningApplication {
    std::optional<QString> localizedName;
    // Path of the desktop entry the application resolves to (its "bundle").
    std::optional<QString> bundlePath;

    friend bool operator==(const RunningApplication &, const RunningApplication &) = default;
};

} // namespace nudgewatch

Q_DECLARE_METATYPE(nudgewatch::RunningApplication)
