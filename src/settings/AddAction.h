#pragma once

#include <QAbstractButton>

namespace nudgewatch {

// The wide blue-to-purple "Add Application" button that opens the picker.
class AddAction final : public QAbstractButton {
    Q_OBJECT
public:
    explicit AddAction(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace nudgewatch
