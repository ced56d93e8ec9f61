#pragma once

#include <QWidget>

namespace nudgewatch {

// Bottom of the settings window: the same bell and two texts whatever the state.
class StatusBar final : public QWidget {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace nudgewatch
