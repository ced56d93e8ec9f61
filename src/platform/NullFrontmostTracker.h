#pragma once

#include "core/FrontmostApplicationTracker.h"

namespace nudgewatch {

// For sessions whose desktop offers no way to follow the front window: nothing
// is ever in front and nothing is announced.
class NullFrontmostTracker final : public FrontmostApplicationTracker {
    Q_OBJECT
public:
    using FrontmostApplicationTracker::FrontmostApplicationTracker;
    std::optional<RunningApplication> frontmostApplication() const override { return {}; }
};

} // namespace nudgewatch
