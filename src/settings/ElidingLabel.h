#pragma once

#include <QLabel>

namespace nudgewatch {

// A one-line label that gives up width instead of pushing its neighbours out:
// too long a text is cut short with "…" when painted. text() and the
// accessible name keep the whole text, shown as a tooltip while cut.
class ElidingLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateToolTip();
};

} // namespace nudgewatch
