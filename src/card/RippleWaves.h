#pragma once

#include <QPolygonF>
#include <QSizeF>

#include <array>

namespace nudgewatch {

// One faint water layer: a closed polygon whose top edge is a sine wave, filled
// with white at `opacity`.
struct RippleWave {
    double baseline = 0;
    double amplitude = 0;
    double phaseOffset = 0; // radians
    double opacity = 0;
    int sampleCount = 0; // wave samples, one every 2 points from x = 0
    // The start (0, baseline), the wave samples, then (W, H) and (0, H).
    QPolygonF outline;
};

// The three overlapping waves for a phase (0..1) on a canvas of the given size,
// in the canvas's top-down coordinates. A canvas without width has no waves.
std::array<RippleWave, 3> rippleWaves(double phase, const QSizeF &size);

// The highest point any wave reaches on a canvas of that height, at any phase:
// nothing above it ever changes as the waves move.
double rippleWavesTop(double height);

} // namespace nudgewatch
