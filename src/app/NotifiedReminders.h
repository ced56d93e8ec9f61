#pragma once

#include <QObject>
#include <QString>

namespace nudgewatch {

class AppTrackerStore;
class NotificationCenter;
class ReminderNotifier;
class StoreObserver;
struct TrackedApp;

// The store's reminders as desktop notifications, in place of the card. One
// notification per stretch of an application's idleness: the store's reminder
// hides itself and comes back while the application stays idle, which would
// raise a notification again every few seconds. The notification goes once
// its application is in use again, snoozed or no longer tracked, or while
// reminders are held; Open and Snooze on it act as the card's buttons do.
class NotifiedReminders final : public QObject {
    Q_OBJECT
public:
    // All three must outlive it.
    NotifiedReminders(AppTrackerStore &store, NotificationCenter &notifications,
                      ReminderNotifier &notifier, QObject *parent = nullptr);
    ~NotifiedReminders() override;

private:
    void remind();
    void follow();
    const TrackedApp *tracked(const QString &path) const;

    AppTrackerStore &m_store;
    ReminderNotifier &m_notifier;
    StoreObserver *m_observer;
    // The application whose idleness was told; empty while none.
    QString m_told;
};

} // namespace nudgewatch
