#pragma once

#include <QRegion>

class QWindow;

namespace nudgewatch {

// Sets the part of a top-level window that takes the pointer, in its own logical
// coordinates; clicks anywhere else reach whatever is below. On X11 it is the
// window's input shape (its drawing is left alone, shadows and all). Elsewhere
// nothing is changed and it returns false.
bool setInputShape(QWindow *window, const QRegion &region);

} // namespace nudgewatch
