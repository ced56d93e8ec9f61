#pragma once

#include "core/ApplicationCatalog.h"
#include "core/ApplicationOpener.h"
#include "core/BundleInfo.h"
#include "core/Clock.h"
#include "core/DesktopAppearance.h"
#include "core/FileSystem.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/IconProvider.h"
#include "core/Scheduler.h"
#include "core/UserDefaults.h"
#include "notch/NotchPanel.h"
#include "tracking/NotificationCenter.h"
#include "tracking/ReminderHold.h"

#include <QObject>

#include <memory>

namespace nudgewatch {

class AppTrackerStore;
class DialogApplicationPicker;
class MainWindow;

// The desktop services the program runs over; all outlive the delegate.
struct AppServices {
    FrontmostApplicationTracker &tracker;
    ApplicationOpener &opener;
    IconProvider &icons;
    BundleInfo &bundleInfo;
    FileSystem &fileSystem;
    ApplicationCatalog &catalog;
    UserDefaults &defaults;
    Clock &clock;
    Scheduler &scheduler;
    NotchPanel::CompositorCheck compositorRunning;
    // The desktop's light or dark preference and font; none: light, the toolkit's font.
    DesktopAppearance *appearance = nullptr;
    // What tells that the user is away or busy; none: always present.
    PresenceSources presenceSources = {};
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
    NotchPanel *panel() const { return m_panel.get(); }

signals:
    // The user asked the program to end (Ctrl+Q in the settings window).
    void quitRequested();

private:
    void openWindow();
    void finishLaunching();

    AppServices m_services;
    NotificationCenter m_notifications;
    std::unique_ptr<AppTrackerStore> m_store;
    std::unique_ptr<DialogApplicationPicker> m_picker;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_closedWindowGeometry;
    std::unique_ptr<NotchPanel> m_panel;
    bool m_started = false;
};

} // namespace nudgewatch
