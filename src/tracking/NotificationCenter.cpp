#include "tracking/NotificationCenter.h"

#include <algorithm>

namespace nudgewatch {

void NotificationCenter::addObserver(const QString &name, const QObject *context, Callback callback)
{
    if (context == nullptr || !callback)
        return;
    m_observers[name].push_back({context, std::move(callback)});
}

void NotificationCenter::post(const QString &name, const QVariantMap &userInfo)
{
    auto it = m_observers.find(name);
    if (it == m_observers.end())
        return;
    auto &list = it.value();
    std::erase_if(list, [](const Observer &o) { return o.context.isNull(); });
    // A snapshot, so an observer may add observers (or destroy a context) while
    // the post is delivered.
    const std::vector<Observer> snapshot = list;
    for (const Observer &observer : snapshot) {
        if (!observer.context.isNull())
            observer.callback(userInfo);
    }
}

} // namespace nudgewatch
