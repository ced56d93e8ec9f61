#include "platform/x11/X11WindowSystem.h"

#include "core/CReply.h"
#include "core/DevicePixels.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/shape.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace nudgewatch {

namespace {

constexpr char blurProperty[] = "_KDE_NET_WM_BLUR_BEHIND_REGION";

int16_t toCoordinate(double value)
{
    return static_cast<int16_t>(std::clamp<double>(std::floor(value),
                                                   std::numeric_limits<int16_t>::min(),
                                                   std::numeric_limits<int16_t>::max()));
}

uint16_t toLength(double value)
{
    return static_cast<uint16_t>(
        std::clamp<double>(std::ceil(value), 0, std::numeric_limits<uint16_t>::max()));
}

} // namespace

std::unique_ptr<X11WindowSystem> X11WindowSystem::open()
{
    // Checked, not cast: a command-line tool's application is no QGuiApplication.
    auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return nullptr;
    return std::unique_ptr<X11WindowSystem>(new X11WindowSystem(x11->connection()));
}

X11WindowSystem::X11WindowSystem(xcb_connection_t *connection) : m_connection(connection)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

// The filter removes itself from the application.
X11WindowSystem::~X11WindowSystem() = default;

bool X11WindowSystem::setInputRegion(QWindow &window, const QRegion &region)
{
    // X counts device pixels.
    const double scale = window.devicePixelRatio();
    std::vector<xcb_rectangle_t> rectangles;
    rectangles.reserve(size_t(region.rectCount()));
    for (const QRect &rect : region)
        rectangles.push_back({toCoordinate(rect.x() * scale), toCoordinate(rect.y() * scale),
                              toLength(rect.width() * scale), toLength(rect.height() * scale)});
    // No rectangles at all: an empty input shape, so every click passes through.
    xcb_shape_rectangles(m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                         XCB_CLIP_ORDERING_UNSORTED, xcb_window_t(window.winId()), 0, 0,
                         uint32_t(rectangles.size()), rectangles.data());
    xcb_flush(m_connection);
    return true;
}

bool X11WindowSystem::refreshBlur()
{
    m_blurOffered = false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const auto listCookie = xcb_list_properties(m_connection, root);
    if (m_blurAtom == XCB_ATOM_NONE) {
        const auto atom = owned(xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, sizeof blurProperty - 1, blurProperty),
            nullptr));
        m_blurAtom = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    const auto list = owned(xcb_list_properties_reply(m_connection, listCookie, nullptr));
    if (!list || m_blurAtom == XCB_ATOM_NONE)
        return false;
    const xcb_atom_t *atoms = xcb_list_properties_atoms(list.get());
    const int count = xcb_list_properties_atoms_length(list.get());
    m_blurOffered = std::find(atoms, atoms + count, m_blurAtom) != atoms + count;
    return m_blurOffered;
}

void X11WindowSystem::setBlurRegion(QWindow &window, const QRegion &region)
{
    if (m_blurAtom == XCB_ATOM_NONE)
        return;
    const QRegion wanted = m_blurOffered ? region : QRegion();
    // X counts device pixels.
    const double scale = window.devicePixelRatio();
    const auto id = xcb_window_t(window.winId());
    const auto sent = m_sentBlur.constFind(id);
    if (wanted.isEmpty()
            ? sent == m_sentBlur.constEnd()
            : sent != m_sentBlur.constEnd() && sent->region == wanted && sent->scale == scale)
        return;
    if (wanted.isEmpty()) {
        xcb_delete_property(m_connection, id, m_blurAtom);
        m_sentBlur.remove(id);
    } else {
        std::vector<uint32_t> rectangles;
        rectangles.reserve(size_t(wanted.rectCount()) * 4);
        for (const QRect &rect : wanted) {
            const QRect pixels = devicePixels(rect, scale);
            rectangles.insert(rectangles.end(),
                              {uint32_t(std::max(0, pixels.x())), uint32_t(std::max(0, pixels.y())),
                               uint32_t(pixels.width()), uint32_t(pixels.height())});
        }
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, id, m_blurAtom, XCB_ATOM_CARDINAL,
                            32, uint32_t(rectangles.size()), rectangles.data());
        m_sentBlur.insert(id, {wanted, scale});
    }
    xcb_flush(m_connection);
}

bool X11WindowSystem::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    // Qt selects structure events on its windows but lets their destruction
    // by another client pass unnoticed.
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) == XCB_DESTROY_NOTIFY) {
        const xcb_window_t window =
            reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window;
        m_sentBlur.remove(window);
        emit windowDestroyed(WId(window));
    }
    return false;
}

} // namespace nudgewatch
