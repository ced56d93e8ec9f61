#pragma once

#include "core/FrontmostApplicationTracker.h"

#include <memory>

namespace nudgewatch {

// For sessions whose desktop offers no way to follow the front window: nothing
// is ever in front, nothing is announced, and the status says why.
class NullFrontmostTracker final : public FrontmostApplicationTracker {
    Q_OBJECT
public:
    explicit NullFrontmostTracker(QString explanation, QObject *parent = nullptr)
        : FrontmostApplicationTracker(parent), m_explanation(std::move(explanation))
    {
    }
    std::optional<RunningApplication> frontmostApplication() const override { return {}; }
    TrackerStatus status() const override { return {false, m_explanation, {}}; }

private:
    QString m_explanation;
};

// The tracker of a session the program cannot follow, telling the user why; a
// line on stderr says so too.
std::unique_ptr<FrontmostApplicationTracker> unfollowedTracker(const QString &reason);

} // namespace nudgewatch
