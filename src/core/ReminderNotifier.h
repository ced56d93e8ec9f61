#pragma once

#include <QObject>
#include <QString>

namespace nudgewatch {

// Shows reminders as the desktop's own notifications, for a session where the
// program's card cannot be shown. One reminder at a time.
class ReminderNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ReminderNotifier() override = default;

    // Shows the reminder for the tracked application whose entry is
    // `appPath`, in place of the one shown before.
    virtual void show(const QString &appPath, const QString &title, const QString &body) = 0;
    // Takes the shown reminder away, if any.
    virtual void withdraw() = 0;

signals:
    // The user chose Open or Snooze on the reminder for `appPath`; it is gone.
    void openRequested(const QString &appPath);
    void snoozeRequested(const QString &appPath);
    // The reminder went away without either (closed by the user, or expired).
    void dismissed(const QString &appPath);
    // Why reminders cannot be shown at the moment; empty once one is shown again.
    void trouble(const QString &why);
};

} // namespace nudgewatch
