#pragma once

#include <QMenu>
#include <QObject>

class QAction;
class QSystemTrayIcon;

namespace nudgewatch {

class AutostartEntry;
class PauseMenu;
class ReminderHold;

// The tray menu: "Settings…", "Start at login", "Pause reminders" (or "Resume
// reminders" while paused) and "Quit". Shown only where the desktop has a
// tray; the program never relies on it.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    // The autostart entry and the hold must outlive the tray.
    TrayIcon(AutostartEntry &autostart, ReminderHold &hold, const QIcon &icon,
             QObject *parent = nullptr);
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

    AutostartEntry &m_autostart;
    ReminderHold &m_hold;
    QMenu m_menu;
    QAction *m_settings;
    QAction *m_startAtLogin;
    QAction *m_quit;
    PauseMenu *m_pause;
    QAction *m_resume;
    QSystemTrayIcon *m_tray;
};

} // namespace nudgewatch
