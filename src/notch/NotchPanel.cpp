#include "notch/NotchPanel.h"

#include "card/CardLayout.h"
#include "card/GlassNotificationView.h"
#include "notch/PanelGeometry.h"
#include "tracking/AppTrackerStore.h"
#include "tracking/NotificationCenter.h"

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>

namespace nudgewatch {

NotchPanel::NotchPanel(AppTrackerStore &store, NotificationCenter &notifications,
                       Scheduler &scheduler, WindowSystem &windowSystem,
                       CompositorCheck compositorRunning, FrontWindowLocator locateFrontWindow,
                       QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint |
                          Qt::NoDropShadowWindowHint),
      m_scheduler(scheduler), m_windowSystem(windowSystem),
      m_compositorRunning(std::move(compositorRunning)),
      m_locateFrontWindow(std::move(locateFrontWindow))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Nudgewatch reminder"));

    m_card = new GlassNotificationView(store, scheduler, this);
    connect(m_card, &GlassNotificationView::outlineChanged, this, &NotchPanel::updateShape);
    connect(this, &NotchPanel::progressChanged, m_card, &GlassNotificationView::setProgress);

    // Closed: zero high on the screen's top edge (kept one pixel for X until mapped).
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect geometry = panelWindowGeometry(screen->geometry(), 0);
        setGeometry(geometry.x(), geometry.y(), geometry.width(), 1);
    }
    m_card->setGeometry(cardSurfaceInPanel(0));
    chooseScreen();
    // Monitors coming and going: the card moves to one that is still there.
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &NotchPanel::chooseScreen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &NotchPanel::chooseScreen);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &NotchPanel::chooseScreen,
            Qt::QueuedConnection);

    notifications.addObserver(notifications::expand, this, [this](const QVariantMap &) {
        chooseScreen();
        m_spring.target = 1;
        startSpring();
    });
    notifications.addObserver(notifications::collapse, this, [this](const QVariantMap &) {
        m_spring.target = 0;
        startSpring();
    });
}

NotchPanel::~NotchPanel() = default;

void NotchPanel::orderFront()
{
    m_orderedFront = true;
    checkCompositor();
    updateVisibility();
}

void NotchPanel::checkCompositor()
{
    m_composited = !m_compositorRunning || m_compositorRunning();
    // The card is tinted lighter where the compositor blurs what lies behind it.
    m_card->setBlurBehind(m_composited && m_windowSystem.refreshBlur());
}

bool NotchPanel::isSpringRunning() const
{
    return m_springTimer && m_springTimer->isValid();
}

void NotchPanel::startSpring()
{
    // A compositor may have come or gone since the last reminder.
    checkCompositor();
    if (m_springTimer)
        m_springTimer->invalidate();
    m_springTimer = m_scheduler.scheduleRepeating(
        spring::timeStep, [this] { springStep(); }, TimerPrecision::Precise);
}

void NotchPanel::springStep()
{
    const SpringStepResult step = stepSpring(m_spring);
    applyFrame(cardGeometry::totalHeight * step.frameProgress);
    emit progressChanged(step.postedProgress);
    if (step.settled) {
        applyFrame(cardGeometry::totalHeight * m_spring.target);
        emit progressChanged(m_spring.target);
        // Stopped rather than destroyed: this runs inside the timer's own callback.
        if (m_springTimer)
            m_springTimer->invalidate();
    }
}

void NotchPanel::applyFrame(double height)
{
    m_frameHeight = height;
    const QScreen *screen = m_screen.data();
    if (screen == nullptr) {
        // No screen to sit on: stay unmapped until one appears.
        updateVisibility();
        return;
    }
    const QRect free = screen->availableGeometry();
    const QRect geometry =
        panelWindowGeometry(Monitor{screen->name(), screen->geometry(),
                                    m_place.workArea ? free & *m_place.workArea : free},
                            height);
    if (panelIsMapped(height)) {
        setGeometry(geometry);
        m_card->setGeometry(cardSurfaceInPanel(geometry.height()));
    }
    updateShape();
    updateVisibility(Restack::Yes);
}

void NotchPanel::updateVisibility(Restack restack)
{
    bool wanted = m_orderedFront && m_screen && panelIsMapped(m_frameHeight);
    // Without a compositor there is nothing to show but the card itself.
    if (wanted && !m_composited)
        wanted = !m_card->visibleOutline().isEmpty();
    if (wanted) {
        if (!isVisible())
            show();
        else if (restack == Restack::Yes)
            raise(); // a window manager restacking its windows may have covered it
    } else if (isVisible()) {
        hide();
    }
}

void NotchPanel::updateShape()
{
    const QPainterPath outline = m_card->visibleOutline().translated(m_card->pos());
    // Clicks take the card where it is drawn; the panel's transparent rest
    // passes them to what is below.
    if (!internalWinId())
        create();
    const QRegion card =
        outline.isEmpty() ? QRegion() : QRegion(outline.toFillPolygon().toPolygon()) & rect();
    m_windowSystem.setInputRegion(*windowHandle(), card);
    // The blur follows the card's outline as it drops, and fades and goes with it.
    m_windowSystem.setBlurStrength(*windowHandle(), cardFade(m_card->progress()));
    m_windowSystem.setBlurRegion(*windowHandle(), m_composited ? card : QRegion());
    if (m_composited) {
        if (!mask().isEmpty())
            clearMask();
        return;
    }
    if (outline.isEmpty()) {
        updateVisibility();
        return;
    }
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
    updateVisibility();
}

void NotchPanel::chooseScreen()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    std::vector<Monitor> monitors;
    for (const QScreen *screen : screens)
        monitors.push_back({screen->name(), screen->geometry(), screen->availableGeometry()});
    m_place = m_locateFrontWindow ? m_locateFrontWindow() : FrontWindowPlace{};
    const int chosen =
        cardMonitor(monitors, m_place, int(screens.indexOf(QGuiApplication::primaryScreen())));
    followScreen(chosen >= 0 ? screens.at(chosen) : nullptr);
}

void NotchPanel::followScreen(QScreen *screen)
{
    if (screen != m_screen) {
        if (m_screen)
            disconnect(m_screen, nullptr, this, nullptr);
        m_screen = screen;
        if (screen) {
            const auto follow = [this] {
                applyFrame(m_frameHeight);
            };
            connect(screen, &QScreen::geometryChanged, this, follow);
            // Panels and docks coming, going or growing.
            connect(screen, &QScreen::availableGeometryChanged, this, follow);
            setScreen(screen);
        }
    }
    applyFrame(m_frameHeight);
}

} // namespace nudgewatch
