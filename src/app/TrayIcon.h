#pragma once

#include <QMenu>
#include <QObject>

class QAction;
class QSystemTrayIcon;

namespace nudgewatch {

class AutostartEntry;

// The tray menu: "Settings…", "Start at login" and "Quit". Shown only where
// the desktop has a tray; the program never relies on it.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    TrayIcon(AutostartEntry &autostart, const QIcon &icon, QObject *parent = nullptr);
    ~TrayIcon() override;

    QMenu &menu() { return m_menu; }
    QAction *settingsAction() const { return m_settings; }
    QAction *startAtLoginAction() const { return m_startAtLogin; }
    QAction *quitAction() const { return m_quit; }

signals:
    void settingsRequested();
    void quitRequested();

private:
    void showAutostartState();

    AutostartEntry &m_autostart;
    QMenu m_menu;
    QAction *m_settings;
    QAction *m_startAtLogin;
    QAction *m_quit;
    QSystemTrayIcon *m_tray;
};

} // namespace nudgewatch
