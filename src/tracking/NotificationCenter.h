#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <vector>

namespace nudgewatch {

// Names of the notifications between the store and the panel.
namespace notifications {
inline const QString expand = QStringLiteral("NudgewatchExpand");
inline const QString collapse = QStringLiteral("NudgewatchCollapse");
} // namespace notifications

// In-process notifications by name. An observer is tied to a context object and
// is never called once that object is destroyed. Delivery is synchronous, on the
// posting (main) thread.
class NotificationCenter {
public:
    using Callback = std::function<void(const QVariantMap &userInfo)>;

    void addObserver(const QString &name, const QObject *context, Callback callback);
    void post(const QString &name, const QVariantMap &userInfo = {});

private:
    struct Observer {
        QPointer<const QObject> context;
        Callback callback;
    };
    QHash<QString, std::vector<Observer>> m_observers;
};

} // namespace nudgewatch
