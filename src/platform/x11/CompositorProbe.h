#pragma once

namespace nudgewatch {

// Whether a compositing manager runs on the X screen the application uses (it
// owns the _NET_WM_CM_Sn selection). Off X11 the platform composites itself.
bool compositingManagerRunning();

} // namespace nudgewatch
