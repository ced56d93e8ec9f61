#pragma once

#include "core/QueuedOnce.h"

#include <QObject>

#include <functional>

namespace nudgewatch {

class AppTrackerStore;

// Re-reads the store once after a burst of changes. The store announces every
// field write (a tick writes several per record); a view only needs to refresh
// once, after the writes, on the next turn of the event loop.
class StoreObserver final : public QObject {
    Q_OBJECT
public:
    StoreObserver(const AppTrackerStore &store, std::function<void()> refresh,
                  QObject *parent = nullptr);
    // Schedules nothing while `following` says no (a closed window that catches
    // up when shown): no event-loop work per tick at all.
    StoreObserver(const AppTrackerStore &store, std::function<void()> refresh,
                  std::function<bool()> following, QObject *parent = nullptr);

    // Schedules the refresh whatever `following` says: for a change the view
    // learns of otherwise (a reminder about to show). Still once per turn.
    void scheduleRefresh() { m_refresh.request(); }

private:
    void schedule();

    QueuedOnce m_refresh;
    std::function<bool()> m_following;
};

} // namespace nudgewatch
