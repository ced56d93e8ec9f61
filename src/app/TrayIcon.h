#pragma once

#include "app/TrayHosts.h"

#include <QIcon>
#include <QMenu>
#include <QObject>

#include <memory>

class QAction;
class QSystemTrayIcon;

namespace nudgewatch {

class AutostartEntry;
class PauseMenu;
class ReminderHold;

// The tray menu: "Settings…", "Start at login", "Pause reminders" (or "Resume
// reminders" while paused) and "Quit". Shown only where the desktop has a
// tray, as soon as one appears; the program never relies on it.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    // The autostart entry and the hold must outlive the tray. The icon is the
    // program's; the panel may be given its symbolic sibling (see trayIcon).
    // Without `hosts` there is only the menu.
    TrayIcon(AutostartEntry &autostart, ReminderHold &hold, const QIcon &icon,
             std::unique_ptr<TrayHosts> hosts = nullptr, QObject *parent = nullptr);
    ~TrayIcon() override;

    QMenu &menu() { return m_menu; }
    QAction *settingsAction() const { return m_settings; }
    QAction *startAtLoginAction() const { return m_startAtLogin; }
    QAction *quitAction() const { return m_quit; }
    PauseMenu *pauseMenu() const { return m_pause; }
    QAction *resumeAction() const { return m_resume; }

signals:
    void settingsRequested();
    void quitRequested();

private:
    void showAutostartState();
    void showHoldState();
    void install();

    AutostartEntry &m_autostart;
    ReminderHold &m_hold;
    QMenu m_menu;
    QAction *m_settings;
    QAction *m_startAtLogin;
    QAction *m_quit;
    PauseMenu *m_pause;
    QAction *m_resume;
    QIcon m_icon;
    std::unique_ptr<TrayHosts> m_hosts;
    QSystemTrayIcon *m_tray = nullptr;
};

} // namespace nudgewatch
