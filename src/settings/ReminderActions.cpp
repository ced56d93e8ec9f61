#include "settings/ReminderActions.h"

#include "card/CardAccessibility.h"
#include "settings/FocusRing.h"
#include "settings/SettingsStyle.h"
#include "tracking/AppTrackerStore.h"
#include "tracking/StoreObserver.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

namespace nudgewatch {

ReminderActions::ReminderActions(AppTrackerStore &store, QWidget *parent)
    : QWidget(parent), m_store(store)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 12, 20, 12);
    layout->setSpacing(8);
    m_message =
        style::label({}, style::font(this, 12, QFont::Medium), style::primary(palette()), this);
    m_message->setWordWrap(true);
    layout->addWidget(m_message, 1);
    m_open = new QPushButton(this);
    m_snooze = new QPushButton(snoozeReminderText(), this);
    m_snooze->setAccessibleName(snoozeReminderText());
    for (QPushButton *button : {m_open, m_snooze}) {
        button->setFocusPolicy(Qt::StrongFocus);
        button->setFont(style::font(this, 12, QFont::Medium));
        new FocusRing(button);
        layout->addWidget(button);
    }
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (const auto &app = m_store.alertApp())
            m_store.openApp(*app);
    });
    connect(m_snooze, &QPushButton::clicked, this, [this] { m_store.snooze(); });
    refresh();
}

void ReminderActions::refresh()
{
    const auto &app = m_store.alertApp();
    if (app) {
        const QString open = openReminderText(app->name);
        if (m_open->text() != open) {
            m_open->setText(open);
            m_open->setAccessibleName(open);
        }
        if (m_message->text() != m_store.alertMessage()) {
            m_message->setText(m_store.alertMessage());
            m_message->setAccessibleName(m_store.alertMessage());
        }
    }
    if (isVisibleTo(parentWidget()) != app.has_value())
        setVisible(app.has_value());
}

ReminderMenuEntries::ReminderMenuEntries(AppTrackerStore &store, QMenu &menu, QObject *parent)
    : QObject(parent), m_store(store)
{
    QAction *first = menu.actions().value(0);
    m_open = new QAction(&menu);
    m_snooze = new QAction(snoozeReminderText(), &menu);
    m_separator = new QAction(&menu);
    m_separator->setSeparator(true);
    menu.insertActions(first, {m_open, m_snooze, m_separator});
    connect(m_open, &QAction::triggered, this, [this] {
        if (const auto &app = m_store.alertApp())
            m_store.openApp(*app);
    });
    connect(m_snooze, &QAction::triggered, this, [this] {
        if (m_store.alertApp())
            m_store.snooze();
    });
    // Idle clocks change every second; the entries only when a reminder comes or goes.
    m_observer = new StoreObserver(
        store, [this] { refresh(); },
        [this] { return m_store.alertApp().has_value() || m_snooze->isVisible(); }, this);
    refresh();
}

void ReminderMenuEntries::refresh()
{
    const auto &app = m_store.alertApp();
    if (app)
        m_open->setText(openReminderText(app->name));
    for (QAction *action : {m_open, m_snooze, m_separator})
        action->setVisible(app.has_value());
}

} // namespace nudgewatch
