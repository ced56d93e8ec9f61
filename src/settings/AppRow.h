#pragma once

#include "settings/ElidingLabel.h"
#include "tracking/TrackedApp.h"

#include <QTimer>
#include <QToolButton>
#include <QVariantAnimation>
#include <QWidget>

#include <optional>

class QLabel;

namespace nudgewatch {

class AppIconView;

class SymbolButton;

class SymbolView;

// One tracked application: icon, name, "Active" or its idle time, and buttons
// to open it or stop tracking it. Highlights while the pointer is over it.
class AppRow final : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal restingOpacity = 0.02;
    static constexpr qreal hoveredOpacity = 0.04;
    static constexpr int hoverMilliseconds = 150;

    explicit AppRow(const TrackedApp &app, QWidget *parent = nullptr);

    // Shows a newer record of the same application.
    void showApp(const TrackedApp &app);
    // Says for a few seconds, in place of the status, that opening failed.
    void showOpenFailure();
    const TrackedApp &app() const { return m_app; }

    void setHovered(bool hovered);

    QLabel *nameLabel() const { return m_name; }
    QLabel *statusLabel() const { return m_status; }
    QToolButton *openButton() const;
    QToolButton *removeButton() const;

signals:
    void openRequested(const TrackedApp &app);
    void removeRequested(const QUuid &id);
    void hoverChanged(AppRow *row, bool hovered);

protected:
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    TrackedApp m_app;
    AppIconView *m_icon;
    ElidingLabel *m_name;
    SymbolView *m_statusSymbol;
    QLabel *m_status;
    SymbolButton *m_open;
    SymbolButton *m_remove;
    bool m_hovered = false;
    QTimer m_openFailure;             // running while the failure is shown
    std::optional<bool> m_shownFocus; // the status style last applied
    qreal m_backgroundOpacity = restingOpacity;
    QVariantAnimation m_hoverAnimation;
};

} // namespace nudgewatch
