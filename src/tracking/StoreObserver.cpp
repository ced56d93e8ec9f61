#include "tracking/StoreObserver.h"

#include "tracking/AppTrackerStore.h"

namespace nudgewatch {

StoreObserver::StoreObserver(const AppTrackerStore &store, std::function<void()> refresh,
                             QObject *parent)
    : StoreObserver(store, std::move(refresh), {}, parent)
{
}

StoreObserver::StoreObserver(const AppTrackerStore &store, std::function<void()> refresh,
                             std::function<bool()> following, QObject *parent)
    : QObject(parent), m_refresh(this, std::move(refresh)), m_following(std::move(following))
{
    connect(&store, &AppTrackerStore::objectWillChange, this, &StoreObserver::schedule);
}

void StoreObserver::schedule()
{
    if (!m_refresh.pending() && (!m_following || m_following()))
        m_refresh.request();
}

} // namespace nudgewatch
