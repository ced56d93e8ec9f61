#pragma once

#include "app/Services.h"

namespace nudgewatch {

// For sessions where the desktop offers no way to follow the frontmost window:
// reports no frontmost application, never an activation, opens nothing. Says so
// once on stderr.
class NullWorkspace final : public Workspace {
    Q_OBJECT
public:
    explicit NullWorkspace(QString reason, QObject *parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() const override;
    bool openApplication(const QString &bundlePath) override;
    QImage iconForFile(const QString &path) const override;

private:
    void warnOnce() const;

    QString m_reason;
    mutable bool m_warned = false;
};

} // namespace nudgewatch
