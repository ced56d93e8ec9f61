#include "platform/x11/CompositorProbe.h"

#include "core/CReply.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

namespace nudgewatch {

bool compositingManagerRunning()
{
    // Checked, not cast: a command-line tool's application is no QGuiApplication.
    auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr)
        return true;
    xcb_connection_t *connection = x11->connection();
    if (connection == nullptr)
        return true;

    // The default screen is the one Qt opened windows on.
    int screenNumber = 0;
    if (const char *display = std::getenv("DISPLAY")) {
        const std::string name(display);
        const auto dot = name.rfind('.');
        if (dot != std::string::npos && dot > name.rfind(':'))
            screenNumber = std::atoi(name.c_str() + dot + 1);
    }
    const std::string atomName = "_NET_WM_CM_S" + std::to_string(screenNumber);
    const auto atom = owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(atomName.size()), atomName.c_str()),
        nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false; // nobody ever claimed it
    const auto owner = owned(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace nudgewatch
