#pragma once

#include "core/Clock.h"

#include <QImage>
#include <QString>
#include <QUuid>

namespace nudgewatch {

// One tracked application. Records are rebuilt from the saved paths and never
// saved themselves; two records are the same record exactly when their ids are.
struct TrackedApp {
    TrackedApp(QString name, QString bundlePath, QImage icon, WallTime lastUsed,
               double idleSeconds = 0, bool isCurrentlyFocused = false)
        : id(QUuid::createUuid()), name(std::move(name)), bundlePath(std::move(bundlePath)),
          icon(std::move(icon)), lastUsed(lastUsed), idleSeconds(idleSeconds),
          isCurrentlyFocused(isCurrentlyFocused)
    {
    }

    QUuid id; // new for every constructed record
    QString name;
    QString bundlePath; // exactly as saved
    QImage icon;
    WallTime lastUsed;
    double idleSeconds = 0;
    bool isCurrentlyFocused = false;

    friend bool operator==(const TrackedApp &a, const TrackedApp &b) { return a.id == b.id; }
};

} // namespace nudgewatch
