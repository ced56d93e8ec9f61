#pragma once

#include "card/CardLayout.h"
#include "card/GlassCardPainter.h"
#include "card/GlassEffects.h"
#include "core/Scheduler.h"
#include "tracking/TrackedApp.h"

#include <QPainterPath>
#include <QWidget>

#include <memory>
#include <optional>

namespace nudgewatch {

class AppTrackerStore;
class CardAccessibility;
class CardButton;
class StoreObserver;

// The reminder card in the panel's 320 x 110 surface. Draws nothing while no
// reminder shows; fades, scales and slides the card with the spring's progress;
// runs the glow, highlight and ripple while the panel is expanded and a reminder
// shows. Its two buttons are the card's only effect on the store.
class GlassNotificationView final : public QWidget {
    Q_OBJECT
public:
    // The decorations advance by this much per frame, whatever time really passed.
    // They are slow and soft, so 24 frames a second (film's rate) move them in
    // steps no pixel sees change by more than 2 %, at well under half the cost; the drop and the
    // fade follow the spring at the display's rate.
    static constexpr double decorationFrameSeconds = 1.0 / 24.0;

    GlassNotificationView(AppTrackerStore &store, Scheduler &scheduler, QWidget *parent = nullptr);
    ~GlassNotificationView() override;

    // Texts in the desktop's interface font; the card keeps its size.
    void setInterfaceFont(const InterfaceFont &font);
    // Whether the desktop blurs what lies behind the card (a lighter tint then).
    void setBlurBehind(bool blurBehind);

    // The panel's spring position: 0 closed, 1 open, slightly beyond either
    // while it overshoots. Shown at once, without animation of its own.
    void setProgress(double progress);
    double progress() const { return m_progress; }
    const CardDecorations &decorations() const { return m_decorations; }
    bool decorationsRunning() const;
    const CardLayout &cardLayout() const { return m_layout; }
    // The card's rounded outline as drawn now, in view coordinates; empty while
    // nothing is drawn.
    QPainterPath visibleOutline() const;

signals:
    // The visible outline may have changed (progress, reminder shown or gone).
    void outlineChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refreshFromStore();
    void startDecorations();
    void stopDecorations();
    void advanceDecorations();
    void updateDecorationTimer();
    void placeButtons();

    AppTrackerStore &m_store;
    Scheduler &m_scheduler;
    GlassCardPainter m_painter;
    CardLayout m_layout;
    double m_progress = 0;
    bool m_lastExpanded = false;
    bool m_decorationsActive = false;
    double m_decorationElapsed = 0;
    CardDecorations m_decorations;
    std::unique_ptr<Timer> m_decorationTimer;
    std::optional<TrackedApp> m_shownApp; // the record the open button passes
    CardButton *m_openButton = nullptr;
    CardButton *m_snoozeButton = nullptr;
    StoreObserver *m_observer = nullptr;
    CardAccessibility *m_accessibility = nullptr;
};

} // namespace nudgewatch
