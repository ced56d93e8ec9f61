#include "tracking/StoreObserver.h"

#include "tracking/AppTrackerStore.h"

#include <QMetaObject>

namespace nudgewatch {

StoreObserver::StoreObserver(const AppTrackerStore &store, std::function<void()> refresh,
                             QObject *parent)
    : StoreObserver(store, std::move(refresh), {}, parent)
{
}

StoreObserver::StoreObserver(const AppTrackerStore &store, std::function<void()> refresh,
                             std::function<bool()> following, QObject *parent)
    : QObject(parent), m_refresh(std::move(refresh)), m_following(std::move(following))
{
    connect(&store, &AppTrackerStore::objectWillChange, this, &StoreObserver::schedule);
}

void StoreObserver::schedule()
{
    if (m_pending || (m_following && !m_following()))
        return;
    scheduleRefresh();
}

void StoreObserver::scheduleRefresh()
{
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_pending = false;
            m_refresh();
        },
        Qt::QueuedConnection);
}

} // namespace nudgewatch
