#include "app/NotifiedReminders.h"

#include "core/ReminderNotifier.h"
#include "tracking/AppTrackerStore.h"
#include "tracking/NotificationCenter.h"
#include "tracking/StoreObserver.h"

namespace nudgewatch {

NotifiedReminders::NotifiedReminders(AppTrackerStore &store, NotificationCenter &notifications,
                                     ReminderNotifier &notifier, QObject *parent)
    : QObject(parent), m_store(store), m_notifier(notifier),
      m_observer(new StoreObserver(
          store, [this] { follow(); }, [this] { return !m_told.isEmpty(); }, this))
{
    notifications.addObserver(notifications::expand, this,
                              [this](const QVariantMap &) { remind(); });
    connect(&notifier, &ReminderNotifier::openRequested, this, [this](const QString &path) {
        if (const TrackedApp *app = tracked(path))
            m_store.openApp(*app);
    });
    connect(&notifier, &ReminderNotifier::snoozeRequested, this, [this](const QString &path) {
        if (const TrackedApp *app = tracked(path))
            m_store.snooze(app->id);
    });
    // The card says so on itself; here the notification comes back saying it.
    connect(&store, &AppTrackerStore::openFailed, this, [this](const QString &path) {
        if (const TrackedApp *app = tracked(path); app && path == m_told)
            m_notifier.show(path, app->name, tr("%1 could not be opened.").arg(app->name));
    });
    connect(&store.reminderHold(), &ReminderHold::changed, this, &NotifiedReminders::follow);
    // Not shown: the store's next reminder tries again.
    connect(&notifier, &ReminderNotifier::trouble, this, [this](const QString &why) {
        if (!why.isEmpty())
            m_told.clear();
    });
}

NotifiedReminders::~NotifiedReminders() = default;

void NotifiedReminders::remind()
{
    const std::optional<TrackedApp> &app = m_store.alertApp();
    if (!app || app->bundlePath == m_told)
        return;
    m_told = app->bundlePath;
    m_notifier.show(app->bundlePath, app->name, m_store.alertMessage());
}

void NotifiedReminders::follow()
{
    if (m_told.isEmpty())
        return;
    const TrackedApp *app = tracked(m_told);
    const bool stillIdle =
        app && !app->isCurrentlyFocused && !(app->idleSeconds < m_store.idleThresholdSeconds());
    if (stillIdle && !m_store.reminderHold().isHeld())
        return;
    m_told.clear();
    m_notifier.withdraw();
}

const TrackedApp *NotifiedReminders::tracked(const QString &path) const
{
    for (const TrackedApp &app : m_store.trackedApps()) {
        if (app.bundlePath == path)
            return &app;
    }
    return nullptr;
}

} // namespace nudgewatch
