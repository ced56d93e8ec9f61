#pragma once

#include <QWidget>

namespace nudgewatch {

// Bottom of the settings window: the same bell and two texts whatever the
// state, and the controls the window adds.
class StatusBar final : public QWidget {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    // Puts a control at the end of the bar.
    void addControl(QWidget *control);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace nudgewatch
