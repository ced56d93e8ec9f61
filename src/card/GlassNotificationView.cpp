#include "card/GlassNotificationView.h"

#include "card/CardAccessibility.h"
#include "card/CardButton.h"
#include "tracking/AppTrackerStore.h"
#include "tracking/StoreObserver.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace nudgewatch {

namespace {

// The card's layout for the painter's two fonts.
CardLayout layoutFor(const GlassCardPainter &painter)
{
    return cardLayout(QFontMetricsF(painter.nameFont()).height(),
                      QFontMetricsF(painter.messageFont()).height());
}

} // namespace

GlassNotificationView::GlassNotificationView(AppTrackerStore &store, Scheduler &scheduler,
                                             QWidget *parent)
    : QWidget(parent), m_store(store), m_scheduler(scheduler), m_layout(layoutFor(m_painter)),
      m_lastExpanded(store.isPanelExpanded())
{
    setFixedSize(int(cardGeometry::cardWidth), int(cardGeometry::totalHeight));
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);

    m_openButton = new CardButton(tr("Open"), this);
    m_snoozeButton = new CardButton(tr("Snooze"), this);
    connect(m_openButton, &QAbstractButton::clicked, this, [this] {
        if (m_shownApp)
            m_store.openApp(*m_shownApp);
    });
    connect(m_snoozeButton, &QAbstractButton::clicked, this, [this] { m_store.snooze(); });
    m_accessibility = new CardAccessibility(*this, *m_openButton, *m_snoozeButton);

    // While nothing shows and nothing did, the once-a-second idle clocks are no
    // concern of the card: it is not even woken. A reminder starts with the
    // store's expansion signal, sent once all its fields are written.
    m_observer = new StoreObserver(
        store, [this] { refreshFromStore(); },
        [this] {
            return m_lastExpanded || m_shownApp || m_store.alertApp() || m_store.isPanelExpanded();
        },
        this);
    connect(&store, &AppTrackerStore::panelExpandedChanged, m_observer,
            &StoreObserver::scheduleRefresh);
    m_shownApp = store.alertApp();
    placeButtons();
}

GlassNotificationView::~GlassNotificationView() = default;

void GlassNotificationView::setInterfaceFont(const InterfaceFont &font)
{
    m_painter.setInterfaceFont(font);
    m_layout = layoutFor(m_painter);
    placeButtons();
    update();
}

void GlassNotificationView::setBlurBehind(bool blurBehind)
{
    if (blurBehind == m_painter.blurBehind())
        return;
    m_painter.setBlurBehind(blurBehind);
    update();
}

bool GlassNotificationView::decorationsRunning() const
{
    return m_decorationTimer && m_decorationTimer->isValid();
}

QPainterPath GlassNotificationView::visibleOutline() const
{
    const double fade = cardFade(m_progress);
    if (!m_store.alertApp() || !(fade > 0))
        return {};
    QPainterPath shape;
    shape.addRoundedRect(m_layout.card, cardStyle::cornerRadius, cardStyle::cornerRadius);
    return cardTransform(m_layout, fade).map(shape);
}

void GlassNotificationView::setProgress(double progress)
{
    const bool visibleChange = cardFade(m_progress) != cardFade(progress);
    m_progress = progress;
    if (!visibleChange)
        return;
    placeButtons();
    update();
    emit outlineChanged();
}

void GlassNotificationView::refreshFromStore()
{
    const bool expanded = m_store.isPanelExpanded();
    // At rest the store changes every second (idle clocks) while nothing shows
    // here and nothing did: no work, no repaint, no new panel shape.
    if (expanded == m_lastExpanded && !m_shownApp && !m_store.alertApp())
        return;
    if (expanded != m_lastExpanded) {
        m_lastExpanded = expanded;
        if (expanded)
            startDecorations();
        else
            stopDecorations();
    }
    m_shownApp = m_store.alertApp();
    if (!m_shownApp)
        m_painter.releaseCaches(); // nothing to draw until the next reminder
    const QString &message = m_store.alertMessage();
    m_accessibility->showReminder(m_shownApp ? m_shownApp->name : QString(), message,
                                  m_shownApp &&
                                      m_painter.elidedMessage(m_layout, message) != message);
    updateDecorationTimer();
    placeButtons();
    update();
    emit outlineChanged();
}

void GlassNotificationView::startDecorations()
{
    m_decorationsActive = true;
    m_decorationElapsed = 0;
    m_decorations = decorationsAt(0);
}

void GlassNotificationView::stopDecorations()
{
    m_decorationsActive = false;
    m_decorationElapsed = 0;
    m_decorations = CardDecorations{};
}

void GlassNotificationView::updateDecorationTimer()
{
    const bool wanted = m_decorationsActive && m_store.alertApp().has_value();
    if (wanted == decorationsRunning())
        return;
    if (wanted) {
        m_decorationTimer = m_scheduler.scheduleRepeating(
            decorationFrameSeconds, [this] { advanceDecorations(); }, TimerPrecision::Precise);
    } else {
        m_decorationTimer.reset();
    }
}

void GlassNotificationView::advanceDecorations()
{
    const CardDecorations before = m_decorations;
    m_decorationElapsed += decorationFrameSeconds;
    m_decorations = decorationsAt(m_decorationElapsed);
    const double fade = cardFade(m_progress);
    if (!m_store.alertApp() || !(fade > 0))
        return;
    // Scaled while it fades in, the card changes as a whole; once shown, only
    // where a decoration moved is painted and sent to the display.
    if (fade < 1)
        update();
    else
        update(GlassCardPainter::changedRect(m_layout, before, m_decorations));
}

void GlassNotificationView::placeButtons()
{
    const double fade = cardFade(m_progress);
    const bool shown = m_store.alertApp().has_value() && fade > 0;
    const QTransform transform = cardTransform(m_layout, fade);
    m_openButton->setGeometry(transform.mapRect(m_layout.openButton).toAlignedRect());
    m_snoozeButton->setGeometry(transform.mapRect(m_layout.snoozeButton).toAlignedRect());
    m_openButton->setVisible(shown);
    m_snoozeButton->setVisible(shown);
}

void GlassNotificationView::paintEvent(QPaintEvent *event)
{
    const auto &app = m_store.alertApp();
    if (!app)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_painter.paint(painter, m_layout, {app->name, m_store.alertMessage(), app->icon},
                    cardFade(m_progress), m_decorations, event->region());
}

} // namespace nudgewatch
