#include "card/GlassEffects.h"

#include <QColor>

#include <algorithm>
#include <cmath>

namespace nudgewatch {

QColor white(double opacity)
{
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}

ShimmerBand shimmerBand(double shimmerPhase, double cardWidth)
{
    const double offset = shimmerPhase - 200;
    return {offset, offset + cardWidth};
}

const QGradientStops &shimmerStops()
{
    static const QGradientStops stops{{0.0, white(0)},
                                      {0.3, white(0.06)},
                                      {0.5, white(0.12)},
                                      {0.7, white(0.06)},
                                      {1.0, white(0)}};
    return stops;
}

const QGradientStops &sheenStops()
{
    static const QGradientStops stops{{0.0, white(0.08)}, {0.4, white(0.02)}, {1.0, white(0)}};
    return stops;
}

const QGradientStops &tintStops()
{
    // The desktop's standard blue and purple at low opacity; clear at the end.
    static const QGradientStops stops{{0.0, QColor::fromRgbF(0.0f, 0.48f, 1.0f, 0.06f)},
                                      {0.5, QColor::fromRgbF(0.69f, 0.32f, 0.87f, 0.04f)},
                                      {1.0, QColor::fromRgbF(0, 0, 0, 0)}};
    return stops;
}

const QGradientStops &borderStops()
{
    static const QGradientStops stops{
        {0.0, white(0.3)}, {0.3, white(0.08)}, {0.7, white(0.15)}, {1.0, white(0.05)}};
    return stops;
}

QColor glassTint(bool blurBehind)
{
    // The sweeping highlight over the message on a white window is the worst
    // case for the texts; these are the lightest tints that keep 4.5 : 1 there.
    return blurBehind ? QColor::fromRgbF(0.0f, 0.0f, 0.01f, 0.85f)
                      : QColor::fromRgbF(0.05f, 0.05f, 0.06f, 0.90f);
}

Glow glowAt(double brightness)
{
    const double b = std::clamp(brightness, 0.0, 1.0);
    return {0.05 + 0.10 * b, 8 + 12 * b};
}

double easeInOut(double t)
{
    const double x = std::clamp(t, 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

double pingPong(double elapsedSeconds, double passSeconds)
{
    if (!(passSeconds > 0) || !(elapsedSeconds > 0))
        return 0;
    const double passes = elapsedSeconds / passSeconds;
    const double whole = std::floor(passes);
    const double within = passes - whole;
    const bool backwards = std::fmod(whole, 2.0) != 0;
    return easeInOut(backwards ? 1 - within : within);
}

double sawtooth(double elapsedSeconds, double passSeconds, double span)
{
    if (!(passSeconds > 0) || !(elapsedSeconds > 0))
        return 0;
    const double passes = elapsedSeconds / passSeconds;
    return (passes - std::floor(passes)) * span;
}

CardDecorations decorationsAt(double elapsedSeconds)
{
    using namespace decorationTiming;
    return {pingPong(elapsedSeconds, glowPass), sawtooth(elapsedSeconds, shimmerPass, shimmerSpan),
            pingPong(elapsedSeconds, ripplePass)};
}

} // namespace nudgewatch
