#pragma once

#include "card/CardGeometry.h"
#include "core/FrontWindowPlace.h"

#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace nudgewatch {

// The same placement as an X window geometry in the desktop's top-down coordinates:
// centred on the screen, its top on the screen's top edge, the height rounded to
// whole points. A screen anywhere in the desktop works alike.
QRect panelWindowGeometry(const QRect &screenGeometry, double height);

// A monitor as the card sees it: the output's name, its whole area and the
// part of it the panels and docks leave free (the work area).
struct Monitor {
    QString name;
    QRect geometry;
    QRect workArea;
};

// The monitor the card drops on, where the user looks: the one `place` names,
// else the one holding the most of the front window's frame, else `fallback`
// (the primary monitor's index).
int cardMonitor(const std::vector<Monitor> &monitors, const FrontWindowPlace &place, int fallback);

// The panel on one monitor, centred on it: its top as high as lets the card's
// drawn part (below the clear strip, which passes clicks) start no higher
// than the top of the work area, so a top panel taller than the strip keeps
// its bottom edge; never beyond the monitor's own edges.
QRect panelWindowGeometry(const Monitor &monitor, double height);

// Below one point high the window is unmapped: X has no zero-high windows.
bool panelIsMapped(double height);

// Where the 320 x 110 card surface sits in a panel of the given whole-point height:
// anchored to the bottom edge, so only its bottom part shows while the panel opens.
QRect cardSurfaceInPanel(int panelHeight);

} // namespace nudgewatch
