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

// Qt 6.4 tells assistive technologies of every call, changed or not, and the
// card is refreshed every second while it shows: a screen reader would hear
// the same name again and again.
void setName(QWidget &widget, const QString &name)
{
    if (widget.accessibleName() != name)
        widget.setAccessibleName(name);
}

void setDescription(QWidget &widget, const QString &description)
{
    if (widget.accessibleDescription() != description)
        widget.setAccessibleDescription(description);
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
    setName(m_snooze, snoozeReminderText());
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
    setName(m_open, open);
    m_open.setToolTip(open);
    setName(m_card, appName);
    setDescription(m_card, message);
    m_card.setToolTip(messageCut ? message : QString());

    // Screen readers speak a notification when it starts showing. A card
    // dropping with its panel is announced by Qt as the panel maps; only one
    // that changes while in view is announced here.
    if ((dropped || replaced) && m_card.isVisible()) {
        QAccessibleEvent shown(&m_card, QAccessible::ObjectShow);
        m_announce(&shown);
    } else if (gone) {
        QAccessibleEvent hidden(&m_card, QAccessible::ObjectHide);
        m_announce(&hidden);
    }
}

} // namespace nudgewatch
