#pragma once

#include "card/CardGeometry.h"

#include <QRect>
#include <QRectF>
#include <QSizeF>

namespace nudgewatch {

// The same placement as an X window geometry in the desktop's top-down coordinates:
// centred on the screen, its top on the screen's top edge, the height rounded to
// whole points. A screen anywhere in the desktop works alike.
QRect panelWindowGeometry(const QRect &screenGeometry, double height);

// Below one point high the window is unmapped: X has no zero-high windows.
bool panelIsMapped(double height);

// Where the 320 x 110 card surface sits in a panel of the given whole-point height:
// anchored to the bottom edge, so only its bottom part shows while the panel opens.
QRect cardSurfaceInPanel(int panelHeight);

} // namespace nudgewatch
