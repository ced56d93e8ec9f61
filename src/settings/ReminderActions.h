#pragma once

#include <QObject>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace nudgewatch {

class AppTrackerStore;
class StoreObserver;

// While a reminder shows: what it says and "Open <app>" and "Snooze", at the
// top of the settings window, for whoever cannot reach the card (it never
// takes the keyboard focus). Hidden otherwise.
class ReminderActions final : public QWidget {
    Q_OBJECT
public:
    explicit ReminderActions(AppTrackerStore &store, QWidget *parent = nullptr);

    // Re-reads the reminder from the store.
    void refresh();

    QLabel *messageLabel() const { return m_message; }
    QPushButton *openButton() const { return m_open; }
    QPushButton *snoozeButton() const { return m_snooze; }

private:
    AppTrackerStore &m_store;
    QLabel *m_message;
    QPushButton *m_open;
    QPushButton *m_snooze;
};

// The same two actions at the top of a menu (the tray's) while a reminder
// shows; they follow the store by themselves.
class ReminderMenuEntries final : public QObject {
    Q_OBJECT
public:
    ReminderMenuEntries(AppTrackerStore &store, QMenu &menu, QObject *parent = nullptr);

    QAction *openAction() const { return m_open; }
    QAction *snoozeAction() const { return m_snooze; }

private:
    void refresh();

    AppTrackerStore &m_store;
    QAction *m_open;
    QAction *m_snooze;
    QAction *m_separator;
    StoreObserver *m_observer;
};

} // namespace nudgewatch
