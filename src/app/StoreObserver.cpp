#include "app/StoreObserver.h"

#include "tracking/AppTrackerStore.h"

#include <QMetaObject>

namespace nudgewatch {

StoreObserver::StoreObserver(const AppTrackerStore &store, std::function<void()> refresh,
                             QObject *parent)
    : QObject(parent), m_refresh(std::move(refresh))
{
    connect(&store, &AppTrackerStore::objectWillChange, this, &StoreObserver::schedule);
}

void StoreObserver::schedule()
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
