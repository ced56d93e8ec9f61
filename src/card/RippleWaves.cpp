#include "card/RippleWaves.h"

#include <algorithm>
#include <cmath>

namespace nudgewatch {

namespace {
constexpr double fourPi = 12.566370614359172;
constexpr double pi = 3.141592653589793;
} // namespace

namespace {
double baseline(int wave, double height)
{
    return 0.3 * height + 8.0 * wave;
}
double amplitude(int wave)
{
    return 2.0 + wave;
}
} // namespace

double rippleWavesTop(double height)
{
    double top = height;
    for (int i = 0; i < 3; ++i)
        top = std::min(top, baseline(i, height) - amplitude(i));
    return top;
}

std::array<RippleWave, 3> rippleWaves(double phase, const QSizeF &size)
{
    std::array<RippleWave, 3> waves;
    const double w = size.width();
    const double h = size.height();
    // x / W is undefined without width; draw nothing rather than NaN paths.
    if (!(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h) || !std::isfinite(phase))
        return waves;

    for (int i = 0; i < 3; ++i) {
        RippleWave &wave = waves[std::size_t(i)];
        wave.baseline = baseline(i, h);
        wave.amplitude = amplitude(i);
        wave.phaseOffset = 1.2 * i;
        wave.opacity = 0.02 * (1.0 - 0.006 * i) * phase;

        QPolygonF &outline = wave.outline;
        outline.reserve(int(w / 2) + 4);
        outline.append({0, wave.baseline});
        for (double x = 0; x <= w; x += 2) {
            const double angle = (x / w) * fourPi + (phase * pi) * 2 + wave.phaseOffset;
            outline.append({x, wave.baseline + wave.amplitude * std::sin(angle)});
            ++wave.sampleCount;
        }
        outline.append({w, h});
        outline.append({0, h});
    }
    return waves;
}

} // namespace nudgewatch
