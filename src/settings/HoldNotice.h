#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace nudgewatch {

class ReminderHold;

// Shown below the title while reminders are held: why, with Resume for the
// user's own pause; and, while the tracker cannot see the front application,
// its explanation with the setup it offers; and a note on how reminders come
// where that is not as usual. Hidden while there is nothing to say.
class HoldNotice final : public QWidget {
    Q_OBJECT
public:
    explicit HoldNotice(ReminderHold &hold, QWidget *parent = nullptr);

    // Follows the hold and the tracker by itself.
    void refresh();
    // How reminders come where that is not as usual; empty for none.
    void setNote(const QString &note);

    QLabel *heldLabel() const { return m_heldLabel; }
    QPushButton *resumeButton() const { return m_resume; }
    QLabel *trackerLabel() const { return m_trackerLabel; }
    QPushButton *setupButton() const { return m_setup; }
    QLabel *noteLabel() const { return m_noteLabel; }

private:
    ReminderHold &m_hold;
    QLabel *m_heldLabel;
    QPushButton *m_resume;
    QLabel *m_trackerLabel;
    QPushButton *m_setup;
    QLabel *m_noteLabel;
};

} // namespace nudgewatch
