#include "settings/MainWindow.h"

#include "settings/AddAction.h"
#include "settings/ApplicationPicker.h"
#include "settings/AppsSection.h"
#include "settings/FocusRing.h"
#include "settings/HoldNotice.h"
#include "settings/PauseMenu.h"
#include "settings/ReminderActions.h"
#include "settings/SaveFailureNotice.h"
#include "settings/SettingsPalette.h"
#include "settings/SettingsStyle.h"
#include "settings/StatusBar.h"
#include "settings/ThresholdSection.h"
#include "settings/ThresholdSlider.h"
#include "settings/TitleBar.h"
#include "settings/WindowText.h"
#include "tracking/AppTrackerStore.h"
#include "tracking/StoreObserver.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace nudgewatch {

namespace {

// Assistive technologies list the settings window as a frame, as they do
// other applications' windows; a plain widget at the top would be a filler.
QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String(MainWindow::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

// A thin horizontal line, inset on both sides.
class Separator final : public QWidget {
public:
    Separator(qreal opacity, int inset, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_opacity;
    int m_inset;
};

Separator::Separator(qreal opacity, int inset, QWidget *parent)
    : QWidget(parent), m_opacity(opacity), m_inset(inset)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Separator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The toolkit's divider colour: the text colour, faint.
    painter.fillRect(rect().adjusted(m_inset, 0, -m_inset, 0),
                     style::primary(palette(), 0.15 * m_opacity));
}

MainWindow::MainWindow(AppTrackerStore &store, ApplicationPicker &picker,
                       WindowSystem &windowSystem, DesktopAppearance *appearance, QWidget *parent)
    : QWidget(parent), m_store(store), m_picker(picker), m_desktopPalette(palette())
{
    connect(&windowSystem, &WindowSystem::windowDestroyed, this, [this](WId id) {
        if (testAttribute(Qt::WA_WState_Created) && id == internalWinId())
            QMetaObject::invokeMethod(this, &MainWindow::closed, Qt::QueuedConnection);
    });
    // Qt keeps factories for the whole process; one serves every window.
    static const bool accessible = (QAccessible::installFactory(windowInterface), true);
    Q_UNUSED(accessible);
    setWindowTitle(windowText::title);
    // Before anything inside is built: every text takes the desktop's font and size.
    const InterfaceFont desktopFont = appearance ? appearance->interfaceFont() : InterfaceFont{};
    style::setTextScale(this, desktopFont.scale());
    setFontFamily(desktopFont.family);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_titleBar = new TitleBar(this);
    layout->addWidget(m_titleBar);
    layout->addWidget(new Separator(0.5, 0, this));
    m_holdNotice = new HoldNotice(store.reminderHold(), this);
    layout->addWidget(m_holdNotice);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from control to control; the scroll area follows the focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *content = new QWidget(scroll);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);
    m_reminder = new ReminderActions(store, content);
    contentLayout->addWidget(m_reminder);
    m_threshold = new ThresholdSection(store, content);
    contentLayout->addWidget(m_threshold);
    contentLayout->addWidget(new Separator(0.3, 20, content));
    m_apps = new AppsSection(store, content);
    contentLayout->addWidget(m_apps);
    m_addSeparator = new Separator(0.3, 20, content);
    contentLayout->addWidget(m_addSeparator);
    m_addArea = new QWidget(content);
    auto *addLayout = new QVBoxLayout(m_addArea);
    addLayout->setContentsMargins(20, 20, 20, 20);
    m_addAction = new AddAction(m_addArea);
    addLayout->addWidget(m_addAction);
    contentLayout->addWidget(m_addArea);
    contentLayout->addStretch(1);
    scroll->setWidget(content);
    layout->addWidget(scroll, 1);

    m_saveFailure = new SaveFailureNotice(store, this);
    layout->addWidget(m_saveFailure);
    layout->addWidget(new Separator(0.5, 0, this));
    m_statusBar = new StatusBar(this);
    layout->addWidget(m_statusBar);
    m_pause = new QPushButton(windowText::pauseReminders);
    m_pause->setAccessibleName(windowText::pauseReminders);
    m_pause->setMenu(new PauseMenu(store.reminderHold(), m_pause));
    m_pause->setFlat(true);
    m_pause->setFont(style::font(this, 10, QFont::Medium));
    m_pause->setFocusPolicy(Qt::StrongFocus);
    new FocusRing(m_pause);
    new FocusRing(m_threshold->slider(), 4);
    m_pause->setToolTip(windowText::pauseReminders + QStringLiteral(" (Ctrl+P)"));
    m_statusBar->addControl(m_pause);

    m_content = content;
    resize(defaultSize);
    m_givenSize = defaultSize;
    growForText();
    m_threshold->slider()->setFocus();
    if (appearance) {
        setColorScheme(appearance->colorScheme());
        connect(appearance, &DesktopAppearance::colorSchemeChanged, this,
                &MainWindow::setColorScheme);
        connect(appearance, &DesktopAppearance::interfaceFontChanged, this,
                &MainWindow::setInterfaceFont);
    }

    connect(m_addAction, &AddAction::clicked, this, &MainWindow::openPicker);
    connect(m_apps, &AppsSection::rowsRebuilt, this, &MainWindow::updateTabOrder);
    updateTabOrder();
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setContext(Qt::WindowShortcut);
    connect(quit, &QShortcut::activated, this, &MainWindow::quitRequested);
    auto *pause = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    pause->setContext(Qt::WindowShortcut);
    connect(pause, &QShortcut::activated, m_pause, &QPushButton::showMenu);

    // A window nobody can see does not follow the once-a-second ticks; it
    // catches up when it is on the screen again.
    m_observer = new StoreObserver(
        store,
        [this] {
            if (isOnScreen())
                refresh();
        },
        [this] { return isOnScreen(); }, this);
    connect(&store.reminderHold(), &ReminderHold::changed, this, [this] {
        if (isOnScreen())
            refresh();
    });
    refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::refresh()
{
    const int count = static_cast<int>(m_store.trackedApps().size());
    const bool held = m_store.reminderHold().isHeld();
    m_titleBar->showTrackedCount(count, held);
    m_statusBar->showHeld(held);
    m_reminder->refresh();
    m_threshold->refresh();
    m_apps->refresh();
    // At five the add action is gone, not disabled.
    const bool canAdd = count < maximumTrackedApps;
    if (!canAdd && m_addAction->hasFocus())
        m_threshold->slider()->setFocus();
    m_addSeparator->setVisible(canAdd);
    m_addArea->setVisible(canAdd);
    m_saveFailure->refresh();
}

void MainWindow::updateTabOrder()
{
    // Reading order: the reminder's actions, the slider, the rows, the add
    // action, then the pause button in the status bar.
    QList<QWidget *> chain{m_reminder->openButton(), m_reminder->snoozeButton(),
                           m_threshold->slider()};
    chain += m_apps->controls();
    chain += {m_addAction, m_pause};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    if (m_content)
        updateMinimumWidth();
}

void MainWindow::setFontFamily(const QString &family)
{
    QFont withFamily = font();
    if (family.isEmpty())
        withFamily.setResolveMask(withFamily.resolveMask() & ~QFont::FamiliesResolved);
    else
        withFamily.setFamily(family);
    setFont(withFamily);
}

void MainWindow::setInterfaceFont(const InterfaceFont &desktopFont)
{
    const double before = style::textScale(this);
    style::setTextScale(this, desktopFont.scale());
    style::rescaleFonts(this, before, desktopFont.scale());
    setFontFamily(desktopFont.family);
    growForText();
}

QSize MainWindow::sizeForText(QSize current, QSize given, double textScale, QSize available)
{
    const double grow = std::max(1.0, textScale);
    const QSize own(qRound(defaultSize.width() * grow), qRound(defaultSize.height() * grow));
    const QSize wanted = current == given ? own : current.expandedTo(own);
    return available.isValid() ? wanted.boundedTo(available) : wanted;
}

void MainWindow::growForText()
{
    // Larger text, larger window, back again when it shrinks; never so narrow
    // that a line is cut, nor beyond the screen's free area.
    const QScreen *screen = this->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QSize wanted = sizeForText(size(), m_givenSize, style::textScale(this), available.size());
    updateMinimumWidth();
    resize(wanted);
    m_givenSize = size();
    // A window that grew past the free area's bottom or right edge moves back in.
    const QRect frame = frameGeometry();
    if (isVisible() && available.isValid() && !available.contains(frame))
        move(std::clamp(frame.left(), available.left(),
                        std::max(available.left(), available.right() + 1 - frame.width())),
             std::clamp(frame.top(), available.top(),
                        std::max(available.top(), available.bottom() + 1 - frame.height())));
}

void MainWindow::updateMinimumWidth()
{
    setMinimumWidth(
        std::max(layout()->minimumSize().width(), m_content->minimumSizeHint().width()));
}

void MainWindow::setColorScheme(ColorScheme scheme)
{
    const QColor before = palette().color(QPalette::WindowText);
    m_scheme = scheme;
    setPalette(settingsPalette(m_desktopPalette, scheme));
    followTextColor(this, before, palette().color(QPalette::WindowText));
}

void MainWindow::showEvent(QShowEvent *event)
{
    refresh();
    QWidget::showEvent(event);
    if (QWindow *window = windowHandle())
        window->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle()) {
        const bool offScreen = !windowHandle()->isExposed();
        if (m_offScreen && !offScreen)
            m_observer->scheduleRefresh();
        m_offScreen = offScreen;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void MainWindow::present()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::openPicker()
{
    const int freePlaces =
        std::max(0, maximumTrackedApps - static_cast<int>(m_store.trackedApps().size()));
    if (freePlaces == 0)
        return;
    QStringList tracked;
    for (const TrackedApp &app : m_store.trackedApps())
        tracked.append(app.bundlePath);
    QPointer<MainWindow> self(this);
    m_picker.pick(this, freePlaces, tracked, [self](const QStringList &paths) {
        if (!self)
            return;
        for (const QString &path : paths)
            self->m_store.addApp(QUrl::fromLocalFile(path));
    });
}

} // namespace nudgewatch
