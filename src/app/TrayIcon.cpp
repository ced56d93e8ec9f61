#include "app/TrayIcon.h"

#include "platform/appearance/TrayIconChoice.h"
#include "platform/freedesktop/AutostartEntry.h"
#include "settings/PauseMenu.h"
#include "tracking/ReminderHold.h"

#include <QSystemTrayIcon>

namespace nudgewatch {

TrayIcon::TrayIcon(AutostartEntry &autostart, ReminderHold &hold, const QIcon &icon,
                   std::unique_ptr<TrayHosts> hosts, QObject *parent)
    : QObject(parent), m_autostart(autostart), m_hold(hold), m_icon(icon), m_hosts(std::move(hosts))
{
    m_settings = m_menu.addAction(QStringLiteral("Settings\u2026"));
    m_startAtLogin = m_menu.addAction(QStringLiteral("Start at login"));
    m_startAtLogin->setCheckable(true);
    m_menu.addSeparator();
    m_pause = new PauseMenu(hold, &m_menu);
    m_pause->setTitle(QStringLiteral("Pause reminders"));
    m_pause->setAccessibleName(m_pause->title());
    m_menu.addMenu(m_pause);
    m_resume = m_menu.addAction(QStringLiteral("Resume reminders"));
    m_menu.addSeparator();
    m_quit = m_menu.addAction(QStringLiteral("Quit"));
    showAutostartState();
    showHoldState();

    connect(m_resume, &QAction::triggered, &hold, &ReminderHold::resume);
    connect(&hold, &ReminderHold::changed, this, &TrayIcon::showHoldState);
    connect(m_settings, &QAction::triggered, this, &TrayIcon::settingsRequested);
    connect(m_quit, &QAction::triggered, this, &TrayIcon::quitRequested);
    connect(m_startAtLogin, &QAction::triggered, this, [this](bool checked) {
        m_autostart.setEnabled(checked);
        // Show what is on disk, not what was asked, if writing failed.
        showAutostartState();
    });
    // The entry may have been changed elsewhere (a session manager's dialog).
    connect(&m_menu, &QMenu::aboutToShow, this, &TrayIcon::showAutostartState);

    // A tray that comes with the panel, after the program at login, still gets the icon.
    if (m_hosts && m_hosts->present())
        install();
    else if (m_hosts)
        connect(m_hosts.get(), &TrayHosts::appeared, this, &TrayIcon::install);
}

void TrayIcon::install()
{
    m_tray = new QSystemTrayIcon(trayIcon(m_hosts->bus(), m_icon), this);
    m_tray->setToolTip(QStringLiteral("Nudgewatch"));
    m_tray->setContextMenu(&m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            emit settingsRequested();
    });
    m_tray->show();
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::showHoldState()
{
    m_resume->setVisible(m_hold.state().pausedByUser());
}

void TrayIcon::showAutostartState()
{
    m_startAtLogin->setChecked(m_autostart.isEnabled());
}

} // namespace nudgewatch
