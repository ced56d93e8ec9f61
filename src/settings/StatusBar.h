#pragma once

#include <QWidget>

class QLabel;

namespace nudgewatch {

// Bottom of the settings window: the bell, whether the notch is monitoring or
// held, the closing hint, and the controls the window adds.
class StatusBar final : public QWidget {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    // Puts a control at the end of the bar.
    void addControl(QWidget *control);
    // While reminders are held the status says so, in grey.
    void showHeld(bool held);
    QLabel *statusLabel() const { return m_status; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_status;
};

} // namespace nudgewatch
