#include "app/AppDelegate.h"

#include "app/NotifiedReminders.h"
#include "card/GlassNotificationView.h"
#include "settings/DialogApplicationPicker.h"
#include "settings/HoldNotice.h"
#include "settings/MainWindow.h"

#include <malloc.h>

namespace nudgewatch {

AppDelegate::AppDelegate(AppServices services, QObject *parent)
    : QObject(parent), m_services(std::move(services)),
      m_store(std::make_unique<AppTrackerStore>(m_services.store)),
      m_picker(
          std::make_unique<DialogApplicationPicker>(m_services.catalog, m_services.store.icons))
{
    // A reminder that cannot be shown is said in the window, not lost in silence.
    if (ReminderNotifier *notifier = m_services.notifier)
        connect(notifier, &ReminderNotifier::trouble, this, [this](const QString &why) {
            m_notifierTrouble = why;
            showNote();
        });
}

AppDelegate::~AppDelegate()
{
    // The views observe the store: they go first.
    m_notified.reset();
    m_panel.reset();
    m_window.reset();
}

void AppDelegate::start(Launch launch)
{
    if (m_started)
        return;
    m_started = true;
    if (launch == Launch::ByUser)
        openWindow();
    // The panel and monitoring start once launching has finished: on the first
    // turn of the event loop.
    QMetaObject::invokeMethod(this, &AppDelegate::finishLaunching, Qt::QueuedConnection);
}

void AppDelegate::openWindow()
{
    if (m_window)
        return;
    m_window = std::make_unique<MainWindow>(*m_store, *m_picker, m_services.windowSystem,
                                            m_services.appearance);
    showNote();
    if (!m_closedWindowGeometry.isEmpty())
        m_window->restoreGeometry(m_closedWindowGeometry);
    connect(m_window.get(), &MainWindow::quitRequested, this, &AppDelegate::quitRequested);
    connect(m_window.get(), &MainWindow::closed, this, [this, window = m_window.get()] {
        // A second close request may reach a window already on its way out, or
        // after another window took its place: only the current one is let go.
        if (m_window.get() != window)
            return;
        m_closedWindowGeometry = window->saveGeometry();
        m_window.release();
        // What the window used goes back to the system, not only to the heap.
        connect(window, &QObject::destroyed, this, [] { malloc_trim(0); });
        window->deleteLater();
    });
    m_window->show();
}

void AppDelegate::showNote()
{
    if (!m_window)
        return;
    m_window->holdNotice()->setNote(
        m_notifierTrouble.isEmpty()
            ? m_services.windowNote
            : m_services.windowNote + u'\n' +
                  tr("The last reminder could not be shown: %1").arg(m_notifierTrouble));
}

void AppDelegate::finishLaunching()
{
    if (m_panel || m_notified)
        return;
    if (m_services.notifier) {
        m_notified = std::make_unique<NotifiedReminders>(*m_store, m_services.store.notifications,
                                                         *m_services.notifier);
        m_store->startMonitoring();
        return;
    }
    m_panel = std::make_unique<NotchPanel>(*m_store, m_services.store.notifications,
                                           m_services.store.scheduler, m_services.windowSystem,
                                           m_services.compositorRunning, m_services.frontWindow);
    if (DesktopAppearance *appearance = m_services.appearance) {
        GlassNotificationView *card = m_panel->cardView();
        card->setInterfaceFont(appearance->interfaceFont());
        connect(appearance, &DesktopAppearance::interfaceFontChanged, card,
                &GlassNotificationView::setInterfaceFont);
    }
    m_panel->orderFront();
    // Only now: the panel already listens for the expand and collapse notifications.
    m_store->startMonitoring();
}

void AppDelegate::showSettings()
{
    start();
    openWindow();
    m_window->present();
}

} // namespace nudgewatch
