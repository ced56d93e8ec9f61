#include "notch/BlurBehind.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace nudgewatch {

namespace {

constexpr char propertyName[] = "_KDE_NET_WM_BLUR_BEHIND_REGION";

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

template <typename Reply> using ReplyOwner = std::unique_ptr<Reply, decltype(&std::free)>;

} // namespace

bool BlurBehind::refresh()
{
    m_offered = false;
    xcb_connection_t *connection = x11Connection();
    if (connection == nullptr)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto listCookie = xcb_list_properties(connection, root);
    if (m_atom == 0) {
        const ReplyOwner<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, sizeof propertyName - 1, propertyName),
                nullptr),
            &std::free);
        m_atom = atom ? atom->atom : 0;
    }
    const ReplyOwner<xcb_list_properties_reply_t> list(
        xcb_list_properties_reply(connection, listCookie, nullptr), &std::free);
    if (!list || m_atom == 0)
        return false;
    const xcb_atom_t *atoms = xcb_list_properties_atoms(list.get());
    const int count = xcb_list_properties_atoms_length(list.get());
    m_offered = std::find(atoms, atoms + count, m_atom) != atoms + count;
    return m_offered;
}

void BlurBehind::setRegion(QWindow *window, const QRegion &region)
{
    xcb_connection_t *connection = x11Connection();
    if (connection == nullptr || window == nullptr || m_atom == 0)
        return;
    const QRegion wanted = m_offered ? region : QRegion();
    // X counts device pixels.
    const double scale = window->devicePixelRatio();
    if (wanted.isEmpty() ? !m_sent : m_sent && wanted == m_region && scale == m_scale)
        return;
    const auto id = xcb_window_t(window->winId());
    if (wanted.isEmpty()) {
        xcb_delete_property(connection, id, m_atom);
    } else {
        std::vector<uint32_t> rectangles;
        rectangles.reserve(size_t(wanted.rectCount()) * 4);
        for (const QRect &rect : wanted) {
            const QRect pixels(
                QPoint(int(std::floor(rect.left() * scale)), int(std::floor(rect.top() * scale))),
                QPoint(int(std::ceil((rect.right() + 1) * scale)) - 1,
                       int(std::ceil((rect.bottom() + 1) * scale)) - 1));
            rectangles.insert(rectangles.end(),
                              {uint32_t(std::max(0, pixels.x())), uint32_t(std::max(0, pixels.y())),
                               uint32_t(pixels.width()), uint32_t(pixels.height())});
        }
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, m_atom, XCB_ATOM_CARDINAL, 32,
                            uint32_t(rectangles.size()), rectangles.data());
    }
    xcb_flush(connection);
    m_sent = !wanted.isEmpty();
    m_region = wanted;
    m_scale = scale;
}

} // namespace nudgewatch
