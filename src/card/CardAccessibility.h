#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAbstractButton;
class QAccessibleEvent;
class QWidget;

namespace nudgewatch {

// The words of the two ways to end a reminder, wherever they are offered.
QString openReminderText(const QString &appName);
QString snoozeReminderText();

// What assistive technologies learn of the reminder card: a notification named
// after the application with the message as its description, announced when it
// drops; its buttons named and with tooltips; the whole message as the card's
// tooltip when the drawn line is cut. Nothing is drawn here.
class CardAccessibility final : public QObject {
    Q_OBJECT
public:
    // Tells assistive technologies of an event; Qt's bridge to them by default.
    using Announce = std::function<void(QAccessibleEvent *)>;

    // All three outlive this object (they are its parent and siblings).
    CardAccessibility(QWidget &card, QAbstractButton &open, QAbstractButton &snooze,
                      Announce announce = {});

    // A reminder about `appName` shows (none when the name is empty).
    void showReminder(const QString &appName, const QString &message, bool messageCut);

private:
    QWidget &m_card;
    QAbstractButton &m_open;
    QAbstractButton &m_snooze;
    Announce m_announce;
    QString m_shownName;
    QString m_shownMessage;
};

} // namespace nudgewatch
