#pragma once

#include <QObject>
#include <QRegion>
#include <QWindow>

namespace nudgewatch {

// What the program's own windows need of the window system beyond what Qt
// offers them: which part of a window takes the pointer, the compositor's blur
// behind it, and word of a window that another client destroyed. One backend
// per window system; where one offers none of these, nothing happens.
class WindowSystem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowSystem() override = default;

    // Sets the part of a top-level window that takes the pointer, in its own
    // logical coordinates; clicks anywhere else reach whatever is below, and
    // its drawing is left alone. False where the window system cannot.
    virtual bool setInputRegion(QWindow &window, const QRegion &region) = 0;
    // Asks whether the compositor blurs what lies behind windows now: once per
    // reminder, as a compositor may come or go between them.
    virtual bool refreshBlur() = 0;
    // Blurs behind `window` under `region` (window points) where the last
    // refreshBlur() found it offered; an empty region removes the blur. A
    // region already in place is not sent again.
    virtual void setBlurRegion(QWindow &window, const QRegion &region) = 0;
    // How strongly the blur behind `window` blurs, from 0 (not at all) to 1,
    // for a window whose content fades in and out: the blur fades with it.
    // Where the compositor cannot soften its blur, it stays whole.
    virtual void setBlurStrength(QWindow &window, double strength)
    {
        Q_UNUSED(window);
        Q_UNUSED(strength);
    }

signals:
    // The native window `id` of this program was destroyed by another client
    // (a window manager ending it, xdotool windowclose) without a close request.
    void windowDestroyed(WId id);
};

} // namespace nudgewatch
