#pragma once

#include <QDBusMessage>
#include <QList>
#include <QRect>
#include <QRegion>
#include <QWindow>

#include <optional>

namespace nudgewatch::shellBlur {

// The first version of the program's Shell extension that blurs behind windows.
constexpr uint firstVersion = 4;
// The extension takes no outline of more rectangles than this: beyond it the
// region's bounding rectangle is sent.
constexpr qsizetype mostRectangles = 512;

// `region` (window points) in window pixels at `scale` device pixels per point:
// every pixel a point touches, as the window system counts them.
QList<QRect> pixelRectangles(const QRegion &region, double scale);
// A blur's strength (0 to 1) in the steps sent: a hundredth.
double steppedStrength(double strength);
// The extension's SetBlurRegion call for X window `window`: no rectangles
// remove its blur; `strength` softens it.
QDBusMessage blurCall(WId window, const QList<QRect> &rectangles, double strength);
// The extension's version from the reply to a Properties.Get of "Version";
// none for an error or any other type.
std::optional<uint> versionFromReply(const QDBusMessage &reply);

} // namespace nudgewatch::shellBlur
