#pragma once

#include "core/DesktopAppearance.h"
#include "core/WindowSystem.h"

#include <QWidget>

class QPushButton;
class QScrollArea;

namespace nudgewatch {

class AddAction;
class AppPickerDialog;
class AppTrackerStore;
class AppsSection;
class ApplicationPicker;
class HoldNotice;
class ReminderActions;
class SaveFailureNotice;
class StatusBar;
class Separator;
class StoreObserver;
class ThresholdSection;
class TitleBar;

// The settings window. Shows the store's state and hands every change to it;
// keeps no data of its own. Closing it says so with closed(); its owner frees it.
// So does its X window destroyed under it (xdotool windowclose, a window
// manager ending it): Qt would count such a window as shown for good, and it
// could never be shown again.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize defaultSize{520, 560};
    // The window's size for text at `textScale`, from its `current` size: its
    // own size (the default, grown with larger text) unless the user made it
    // larger than the size the program last gave it (`given`), and never
    // larger than the screen's `available` area.
    static QSize sizeForText(QSize current, QSize given, double textScale, QSize available);

    // Follows `appearance` while it lives, when given; light otherwise.
    MainWindow(AppTrackerStore &store, ApplicationPicker &picker, WindowSystem &windowSystem,
               DesktopAppearance *appearance = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the window, restores it if minimised and brings it to the front.
    void present();
    // Opens the picker for the free places; what is chosen goes to the store.
    void openPicker();
    // Re-reads everything from the store at once (it also happens by itself
    // after each change, on the next turn of the event loop).
    void refresh();

    TitleBar *titleBar() const { return m_titleBar; }
    StatusBar *statusBar() const { return m_statusBar; }
    ThresholdSection *thresholdSection() const { return m_threshold; }
    AppsSection *appsSection() const { return m_apps; }
    AddAction *addAction() const { return m_addAction; }
    SaveFailureNotice *saveFailureNotice() const { return m_saveFailure; }
    HoldNotice *holdNotice() const { return m_holdNotice; }
    // Opens the lengths of a pause; also Ctrl+P.
    QPushButton *pauseButton() const { return m_pause; }
    // "Open <app>" and "Snooze" while a reminder shows.
    ReminderActions *reminderActions() const { return m_reminder; }

    // Draws the window in the light or dark variant.
    void setColorScheme(ColorScheme scheme);
    // Draws every text in the desktop's font family, scaled for its size.
    void setInterfaceFont(const InterfaceFont &font);
    ColorScheme colorScheme() const { return m_scheme; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The user closed the window, or its X window is gone; whoever made it may
    // now free it.
    void closed();
    // Ctrl+Q: the user wants the whole program to end.
    void quitRequested();

private:
    // Shown, and not taken off the screen since: minimised, or its X window
    // destroyed by the window manager without a close request.
    bool isOnScreen() const { return isVisible() && !m_offScreen; }
    // New rows come last in the focus chain; put them back between the slider
    // and the add action.
    void updateTabOrder();
    void updateMinimumWidth();
    void growForText();
    QSize m_givenSize;
    void setFontFamily(const QString &family);

    AppTrackerStore &m_store;
    ApplicationPicker &m_picker;
    QPalette m_desktopPalette;
    ColorScheme m_scheme = ColorScheme::Light;
    ReminderActions *m_reminder;
    QWidget *m_content = nullptr;
    TitleBar *m_titleBar;
    StatusBar *m_statusBar;
    ThresholdSection *m_threshold;
    AppsSection *m_apps;
    Separator *m_addSeparator;
    QWidget *m_addArea;
    AddAction *m_addAction;
    SaveFailureNotice *m_saveFailure;
    HoldNotice *m_holdNotice;
    QPushButton *m_pause;
    bool m_offScreen = false;
    StoreObserver *m_observer;
};

} // namespace nudgewatch
