#pragma once

#include "core/FrontWindowPlace.h"
#include "core/Scheduler.h"
#include "core/WindowSystem.h"
#include "notch/Spring.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QScreen;

namespace nudgewatch {

class AppTrackerStore;
class GlassNotificationView;
class NotificationCenter;

// The borderless panel at the top centre of a monitor that carries the reminder
// card: the monitor showing the window in front when the card drops (the
// primary one where the session cannot tell), below the top panels there. On X11 it is an
// override-redirect window: placed exactly, above ordinary windows, on every desktop, and never
// focused. Its height follows a spring opened and closed by the store's expand and collapse
// notifications; below one point high it is unmapped.
class NotchPanel final : public QWidget {
    Q_OBJECT
public:
    // Whether a compositing manager blends translucent windows; without one the
    // panel is cut to the card's outline. Empty: always composited.
    using CompositorCheck = std::function<bool()>;

    NotchPanel(AppTrackerStore &store, NotificationCenter &notifications, Scheduler &scheduler,
               WindowSystem &windowSystem, CompositorCheck compositorRunning = {},
               FrontWindowLocator locateFrontWindow = {}, QWidget *parent = nullptr);
    ~NotchPanel() override;

    // Lets the panel map itself (without activating) whenever it is open.
    void orderFront();

    const SpringState &springState() const { return m_spring; }
    bool isSpringRunning() const;
    // The last height applied, in points, before rounding to whole pixels.
    double frameHeight() const { return m_frameHeight; }
    GlassNotificationView *cardView() const { return m_card; }

signals:
    // The spring's position at each step (unclamped), and its target once more
    // when it comes to rest.
    void progressChanged(double progress);

private:
    void startSpring();
    void springStep();
    void applyFrame(double height);
    enum class Restack { No, Yes };
    void updateVisibility(Restack restack = Restack::No);
    void updateShape();
    void chooseScreen();
    void followScreen(QScreen *screen);
    void checkCompositor();

    Scheduler &m_scheduler;
    WindowSystem &m_windowSystem;
    CompositorCheck m_compositorRunning;
    FrontWindowLocator m_locateFrontWindow;
    // What the session said when the card last chose its monitor.
    FrontWindowPlace m_place;
    SpringState m_spring;
    std::unique_ptr<Timer> m_springTimer;
    GlassNotificationView *m_card = nullptr;
    QPointer<QScreen> m_screen;
    double m_frameHeight = 0;
    bool m_orderedFront = false;
    bool m_composited = true;
};

} // namespace nudgewatch
