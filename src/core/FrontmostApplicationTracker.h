#pragma once

#include "core/RunningApplication.h"

#include <QObject>

namespace nudgewatch {

// Follows which application is in front. One backend per kind of session; each
// announces one activation per change of application, on the main thread.
class FrontmostApplicationTracker : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~FrontmostApplicationTracker() override = default;

    // None when nothing is known to be in front (or the session cannot say).
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;

signals:
    void activated(const nudgewatch::RunningApplication &application);
};

} // namespace nudgewatch
