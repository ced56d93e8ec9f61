#include "card/CardAccessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace nudgewatch {

namespace {

const char cardProperty[] = "nudgewatchReminderCard";

// The card as a notification; invisible to assistive technologies while it
// shows nothing.
class CardInterface final : public QAccessibleWidget {
public:
    explicit CardInterface(QWidget *card) : QAccessibleWidget(card, QAccessible::Notification) {}

    QAccessible::State state() const override
    {
        QAccessible::State result = QAccessibleWidget::state();
        if (widget()->accessibleName().isEmpty())
            result.invisible = true;
        return result;
    }
};

QAccessibleInterface *cardInterface(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->property(cardProperty).toBool())
        return new CardInterface(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

QString openReminderText(const QString &appName)
{
    return QObject::tr("Open %1").arg(appName);
}

QString snoozeReminderText()
{
    return QObject::tr("Snooze");
}

CardAccessibility::CardAccessibility(QWidget &card, QAbstractButton &open, QAbstractButton &snooze,
                                     Announce announce)
    : QObject(&card), m_card(card), m_open(open), m_snooze(snooze),
      m_announce(announce ? std::move(announce) : Announce(&QAccessible::updateAccessibility))
{
    // Qt keeps factories for the whole process; one is enough for every card.
    static const bool installed = (QAccessible::installFactory(cardInterface), true);
    Q_UNUSED(installed);
    m_card.setProperty(cardProperty, true);
    m_snooze.setAccessibleName(snoozeReminderText());
    m_snooze.setToolTip(snoozeReminderText());
    showReminder({}, {}, false);
}

void CardAccessibility::showReminder(const QString &appName, const QString &message,
                                     bool messageCut)
{
    const bool dropped = m_shownName.isEmpty() && !appName.isEmpty();
    const bool gone = !m_shownName.isEmpty() && appName.isEmpty();
    const bool replaced = !dropped && !gone && !appName.isEmpty() &&
                          (appName != m_shownName || message != m_shownMessage);
    m_shownName = appName;
    m_shownMessage = message;

    const QString open = appName.isEmpty() ? QObject::tr("Open") : openReminderText(appName);
    m_open.setAccessibleName(open);
    m_open.setToolTip(open);
    m_card.setAccessibleName(appName);
    m_card.setAccessibleDescription(message);
    m_card.setToolTip(messageCut ? message : QString());

    if (dropped || replaced) {
        // Screen readers speak a notification when it starts showing.
        QAccessibleEvent shown(&m_card, QAccessible::ObjectShow);
        m_announce(&shown);
    } else if (gone) {
        QAccessibleEvent hidden(&m_card, QAccessible::ObjectHide);
        m_announce(&hidden);
    }
}

} // namespace nudgewatch
