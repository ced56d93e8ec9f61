#pragma once

#include <QRegion>

#include <cstdint>

class QWindow;

namespace nudgewatch {

// KWin's blur behind a window on X11 (and for Xwayland windows on Wayland): its
// blur effect announces itself with a property named _KDE_NET_WM_BLUR_BEHIND_REGION
// on the root window, and blurs what lies behind each window under the
// rectangles that window lists in a property of the same name. Off X11, or
// where nothing announced it, nothing is sent.
class BlurBehind {
public:
    // Asks the X server whether a blur is offered now (one round trip): once
    // per reminder, as a compositor may come or go between them.
    bool refresh();
    bool offered() const { return m_offered; }

    // Blurs behind the window under `region` (window points); an empty region,
    // or no blur offered, removes the property. A region already sent is not
    // sent again.
    void setRegion(QWindow *window, const QRegion &region);

private:
    uint32_t m_atom = 0;
    bool m_offered = false;
    bool m_sent = false;
    QRegion m_region;
    double m_scale = 0;
};

} // namespace nudgewatch
