#pragma once

#include "platform/xcb/XcbConnection.h"

#include <QObject>

#include <memory>

namespace nudgewatch {

// The screen's XEmbed tray (a panel's notification area): whether one holds
// the tray selection now, and when one takes it, which trays announce with a
// MANAGER message to the root window. On Qt's connection, which hears those
// messages already.
class X11TraySelection final : public QObject {
    Q_OBJECT
public:
    // None when no X server can be reached.
    static std::unique_ptr<X11TraySelection> open();

    bool held() const;

signals:
    void taken();

private:
    explicit X11TraySelection(std::unique_ptr<XcbConnection> x);
    void read(const xcb_generic_event_t *event);

    std::unique_ptr<XcbConnection> m_x;
    xcb_atom_t m_selection;
    xcb_atom_t m_manager;
};

} // namespace nudgewatch
