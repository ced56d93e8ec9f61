#pragma once

#include "core/Scheduler.h"
#include "core/WindowSystem.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QList>
#include <QRect>

#include <memory>

namespace nudgewatch {

// The window-system jobs of the program's windows under GNOME Shell, where
// they are Xwayland windows: the X11 backend's, but the blur behind them is
// the program's Shell extension's (the shell offers X clients no blur of its
// own). The extension is followed by its bus name, and offers the blur from
// its version 4 on; an older one leaves the windows unblurred. A window's
// outline and the blur's strength are sent on the next turn of the event loop
// and then at most once a frame however often they change (every frame while
// the card drops), the last ones always, those already sent never again; an
// extension that comes back is told them anew.
class ShellBlurWindowSystem final : public WindowSystem {
    Q_OBJECT
public:
    ShellBlurWindowSystem(std::unique_ptr<WindowSystem> x11, QDBusConnection bus,
                          Scheduler &scheduler, QObject *parent = nullptr);
    ~ShellBlurWindowSystem() override;

    bool setInputRegion(QWindow &window, const QRegion &region) override;
    // Whether the extension last said it blurs; asks it again for next time.
    bool refreshBlur() override;
    void setBlurRegion(QWindow &window, const QRegion &region) override;
    void setBlurStrength(QWindow &window, double strength) override;
    // The same for X window `window`: its outline in window pixels, the strength.
    void setBlurOutline(WId window, const QList<QRect> &outline);
    void setBlurStrength(WId window, double strength);

private:
    struct Blur {
        QList<QRect> outline;
        double strength = 1;
        // No outline is no blur, however strong.
        friend bool operator==(const Blur &a, const Blur &b)
        {
            return a.outline == b.outline && (a.outline.isEmpty() || a.strength == b.strength);
        }
    };
    struct Outline {
        Blur wanted, sent;
    };
    void askVersion();
    void changed(Outline &outline);
    void send();

    std::unique_ptr<WindowSystem> m_x11;
    QDBusConnection m_bus;
    Scheduler &m_scheduler;
    QDBusServiceWatcher m_watcher;
    bool m_offered = false;
    quint64 m_versionQuestions = 0; // only the latest answer counts
    QHash<WId, Outline> m_outlines;
    // Running until the next turn of the event loop after a change, and for a
    // frame after each send.
    std::unique_ptr<Timer> m_frame;
    bool m_changedInFrame = false;
};

} // namespace nudgewatch
