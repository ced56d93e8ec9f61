#pragma once

#include "core/WindowSystem.h"

#include <QAbstractNativeEventFilter>
#include <QHash>

#include <xcb/xcb.h>

#include <memory>

namespace nudgewatch {

// The window-system jobs on X11 (Xwayland included), on Qt's own connection:
// the windows are Qt's, and so are the events about them. The input region is
// the window's input shape; the blur is KWin's, which announces itself with a
// property named _KDE_NET_WM_BLUR_BEHIND_REGION on the root window and blurs
// behind each window under the rectangles it lists in a property of that name.
class X11WindowSystem final : public WindowSystem, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // None where Qt does not run on an X server.
    static std::unique_ptr<X11WindowSystem> open();
    ~X11WindowSystem() override;

    bool setInputRegion(QWindow &window, const QRegion &region) override;
    bool refreshBlur() override;
    void setBlurRegion(QWindow &window, const QRegion &region) override;

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override;

private:
    explicit X11WindowSystem(xcb_connection_t *connection);

    xcb_connection_t *m_connection; // Qt's, which outlives the program's objects
    xcb_atom_t m_blurAtom = XCB_ATOM_NONE;
    bool m_blurOffered = false;
    struct SentBlur {
        QRegion region;
        double scale = 0;
    };
    QHash<xcb_window_t, SentBlur> m_sentBlur;
};

} // namespace nudgewatch
