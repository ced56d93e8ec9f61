#pragma once

#include "core/WindowSystem.h"

namespace nudgewatch {

// A window system that offers none of the jobs beyond Qt's (a Wayland
// compositor's own windows, the offscreen platform): every window takes the
// pointer where it is, nothing is blurred, and nobody destroys windows unasked.
class NullWindowSystem final : public WindowSystem {
public:
    using WindowSystem::WindowSystem;

    bool setInputRegion(QWindow &, const QRegion &) override { return false; }
    bool refreshBlur() override { return false; }
    void setBlurRegion(QWindow &, const QRegion &) override {}
};

} // namespace nudgewatch
