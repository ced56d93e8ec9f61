#pragma once

#include "core/QueuedOnce.h"

#include <QHash>
#include <QObject>
#include <QVariant>

#include <xcb/xcb.h>

#include <memory>

namespace nudgewatch {

class XcbConnection;

// Follows the X server's XSETTINGS manager: reads its settings, and again
// whenever the manager changes them or a new manager takes over. Holds nothing
// where there is no X server or no manager. It serves every session that has
// an X server, Xwayland included: on Qt's connection where Qt runs on it, on
// one of its own where Qt speaks Wayland.
class XSettingsWatcher final : public QObject {
    Q_OBJECT
public:
    // Real settings take a few KiB; a manager's property beyond this is refused.
    static constexpr int maximumBytes = 64 * 1024;

    explicit XSettingsWatcher(QObject *parent = nullptr);
    ~XSettingsWatcher() override;

    const QHash<QString, QVariant> &settings() const { return m_settings; }

signals:
    void changed();

private:
    void findManager();
    void readSettings();
    void handle(const xcb_generic_event_t *event);

    std::unique_ptr<XcbConnection> m_x;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_manager = XCB_ATOM_NONE;
    xcb_window_t m_owner = XCB_WINDOW_NONE;
    QHash<QString, QVariant> m_settings;
    // However many changes a turn of the event loop brings, one read.
    QueuedOnce m_read{this, [this] {
                          readSettings();
                      }};
};

} // namespace nudgewatch
