#pragma once

#include "core/ReminderNotifier.h"

#include <QDBusConnection>
#include <QString>

class QDBusMessage;

namespace nudgewatch {

// Reminders as desktop notifications (org.freedesktop.Notifications), for a
// session where the card cannot be shown. One reminder at a time: a new one
// replaces the last. Open and Snooze come as actions where the notification
// server offers actions; only the server's own signals about the program's
// own notification are heard.
class DesktopNotifier final : public ReminderNotifier {
    Q_OBJECT
public:
    explicit DesktopNotifier(QDBusConnection bus, QObject *parent = nullptr);
    ~DesktopNotifier() override;

    void show(const QString &appPath, const QString &title, const QString &body) override;
    void withdraw() override;

    // The server's id of the reminder on show, 0 when there is none.
    uint shownId() const { return m_id; }

    static constexpr const char *openAction = "open";
    static constexpr const char *snoozeAction = "snooze";

private slots:
    void onActionInvoked(const QDBusMessage &message);
    void onClosed(const QDBusMessage &message);

private:
    void askCapabilities();

    QDBusConnection m_bus;
    bool m_actions = false;
    bool m_troubled = false;
    uint m_id = 0;
    QString m_appPath;
    QString m_title;
    QString m_body;
    // The reminder went with a server that ended: the next one is given it.
    bool m_showAgain = false;
    // Bumped by every show and withdraw: a late reply to an older call is dropped.
    quint64 m_generation = 0;
};

} // namespace nudgewatch
