#pragma once

#include <QLabel>
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

// Shown above the status bar while the settings file cannot be written, so a
// change that will be lost at the next start does not look saved.
class SaveFailureNotice final : public QLabel {
    Q_OBJECT
public:
    explicit SaveFailureNotice(QWidget *parent = nullptr);

    void showSaveState(bool lastSaveSucceeded);
};

} // namespace nudgewatch
