#pragma once

#include <QWidget>

class QLabel;

namespace nudgewatch {

class BellBadge;

class SymbolView;

// Top of the settings window: badge, title, subtitle, and whether anything is
// being monitored with the "N/5 apps" count.
class TitleBar final : public QWidget {
    Q_OBJECT
public:
    explicit TitleBar(QWidget *parent = nullptr);

    // `held`: reminders are held for now, which the status says in grey.
    void showTrackedCount(int count, bool held = false);

    QLabel *statusLabel() const { return m_statusLabel; }
    QLabel *countLabel() const { return m_countLabel; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SymbolView *m_statusDot;
    QLabel *m_statusLabel;
    QLabel *m_countLabel;
};

} // namespace nudgewatch
