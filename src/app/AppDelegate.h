#pragma once

#include "core/ApplicationCatalog.h"
#include "core/DesktopAppearance.h"
#include "core/ReminderNotifier.h"
#include "notch/NotchPanel.h"
#include "tracking/AppTrackerStore.h"

#include <QObject>

#include <memory>

namespace nudgewatch {

class DialogApplicationPicker;
class MainWindow;
class NotifiedReminders;

// The services the program runs over, the store's among them; all outlive
// the delegate.
struct AppServices {
    StoreServices store;
    ApplicationCatalog &catalog;
    // The window-system jobs of the settings window and the panel.
    WindowSystem &windowSystem;
    NotchPanel::CompositorCheck compositorRunning;
    // The desktop's light or dark preference and font; none: light, the toolkit's font.
    DesktopAppearance *appearance = nullptr;
    // Reminders as desktop notifications in place of the card; none: the card.
    ReminderNotifier *notifier = nullptr;
    // What the settings window says of how this session is followed and
    // reminded (the notifications, and why); empty when nothing is unusual.
    QString windowNote = {};
    // Where the window in front is, for the card's monitor; empty: the primary one.
    FrontWindowLocator frontWindow = {};
};

// Owns the one store, the settings window and the one notch panel, and brings
// them to life in order: the store (here), the settings window (start), then,
// once the event loop runs, the panel ordered front and only then monitoring.
// A closed settings window is freed, as the program then rests in the
// background for hours; it is built again, where it was, when asked for.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(AppServices services, QObject *parent = nullptr);
    ~AppDelegate() override;

    // How the program was started: by the user, who expects its window, or by
    // the desktop at login, when it comes up quietly.
    enum class Launch { ByUser, AtLogin };
    // Opens the settings window (launched by the user) and schedules finishLaunching().
    void start(Launch launch = Launch::ByUser);
    // Shows the settings window, built again if it was closed (a second launch, the tray).
    void showSettings();

    AppTrackerStore &store() { return *m_store; }
    MainWindow *settingsWindow() const { return m_window.get(); }
    // None where reminders come as desktop notifications.
    NotchPanel *panel() const { return m_panel.get(); }

signals:
    // The user asked the program to end (Ctrl+Q in the settings window).
    void quitRequested();

private:
    void openWindow();
    void showNote();
    void finishLaunching();

    AppServices m_services;
    std::unique_ptr<AppTrackerStore> m_store;
    std::unique_ptr<DialogApplicationPicker> m_picker;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_closedWindowGeometry;
    std::unique_ptr<NotchPanel> m_panel;
    std::unique_ptr<NotifiedReminders> m_notified;
    // Why the last reminder could not be shown as a notification; empty while they can.
    QString m_notifierTrouble;
    bool m_started = false;
};

} // namespace nudgewatch
