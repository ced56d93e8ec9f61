#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>

#include <memory>

namespace nudgewatch {

class X11TraySelection;

// Whether the desktop has a place for a tray icon, now or later: a
// StatusNotifierItem host (the panels of Plasma, Xfce and wlroots desktops,
// GNOME's AppIndicator extension) or, on X11, an XEmbed tray. Qt chooses
// between the two once, for the whole process, when the first tray icon is
// made, and never looks again; the icon is therefore made only once one of
// them is there. From then on Qt itself follows the panel's restarts.
class TrayHosts final : public QObject {
    Q_OBJECT
public:
    // `xembed` is null where no X11 tray can be (Wayland).
    TrayHosts(QDBusConnection bus, std::unique_ptr<X11TraySelection> xembed,
              QObject *parent = nullptr);
    ~TrayHosts() override;

    const QDBusConnection &bus() const { return m_bus; }

    bool present() const { return m_statusNotifierHost || m_xembedTray; }

signals:
    // Sent once, when the first of the two appears.
    void appeared();

private slots:
    void askWatcher();

private:
    void found(bool &which);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    std::unique_ptr<X11TraySelection> m_xembed;
    bool m_statusNotifierHost = false;
    bool m_xembedTray = false;
};

} // namespace nudgewatch
