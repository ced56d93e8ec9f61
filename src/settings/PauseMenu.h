#pragma once

#include <QMenu>

class QAction;

namespace nudgewatch {

class ReminderHold;

// The lengths of a pause the user can choose, for the tray and the window alike.
class PauseMenu final : public QMenu {
    Q_OBJECT
public:
    // The hold must outlive the menu.
    explicit PauseMenu(ReminderHold &hold, QWidget *parent = nullptr);

    QAction *shortPauseAction() const { return m_short; }
    QAction *longPauseAction() const { return m_long; }
    QAction *untilResumedAction() const { return m_untilResumed; }

private:
    QAction *m_short;
    QAction *m_long;
    QAction *m_untilResumed;
};

} // namespace nudgewatch
