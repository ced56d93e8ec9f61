#pragma once

#include "core/DesktopAppearance.h"

#include <QPalette>

class QWidget;

namespace nudgewatch {

// The settings window's colours for the desktop's scheme. Light keeps the
// desktop's own palette (made light if a theme left it dark); dark is drawn
// here, so it does not depend on a Qt theme package. Only the neutral roles
// change: the named colours and the highlight stay.
QPalette settingsPalette(const QPalette &desktop, ColorScheme scheme);

// After a palette change: the texts and symbols that took the old text colour
// (at any opacity) take the new one at the same opacity; named colours stay.
void followTextColor(QWidget *root, const QColor &from, const QColor &to);

} // namespace nudgewatch
