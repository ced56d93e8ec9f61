#include "settings/PauseMenu.h"

#include "settings/WindowText.h"
#include "tracking/ReminderHold.h"

namespace nudgewatch {

PauseMenu::PauseMenu(ReminderHold &hold, QWidget *parent)
    : QMenu(windowText::pauseReminders, parent), m_short(addAction(windowText::pauseShort)),
      m_long(addAction(windowText::pauseLong)),
      m_untilResumed(addAction(windowText::pauseUntilResumed))
{
    setAccessibleName(windowText::pauseReminders);
    setAttribute(Qt::WA_WindowPropagation); // drawn light or dark as the window it opens from
    connect(m_short, &QAction::triggered, &hold,
            [&hold] { hold.pauseFor(ReminderHold::shortPauseSeconds); });
    connect(m_long, &QAction::triggered, &hold,
            [&hold] { hold.pauseFor(ReminderHold::longPauseSeconds); });
    connect(m_untilResumed, &QAction::triggered, &hold, &ReminderHold::pauseUntilResumed);
}

} // namespace nudgewatch
