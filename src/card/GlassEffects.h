#pragma once

#include <QGradientStops>

namespace nudgewatch {

// White at `opacity` (0 to 1), the colour of the glass's highlights and edges.
QColor white(double opacity);

// The highlight band that sweeps across the glass: a leading-to-trailing gradient
// over a card-wide shape moved sideways by shimmerPhase - 200.
struct ShimmerBand {
    double startX = 0; // where the gradient's location 0 lies, card coordinates
    double endX = 0;   // location 1
};
ShimmerBand shimmerBand(double shimmerPhase, double cardWidth);
const QGradientStops &shimmerStops(); // white opacities 0, .06, .12, .06, 0

// Gradient stops of the other glass layers, as white/blue/purple opacities.
const QGradientStops &sheenStops();  // top to bottom
const QGradientStops &tintStops();   // top-leading to bottom-trailing
const QGradientStops &borderStops(); // top-leading to bottom-trailing

// The dark tint of the card's glass. Where nothing blurs what lies behind the
// card it must hide it by itself: dense enough that a white and a black window
// behind it differ by little and both lines of text keep 4.5 : 1 contrast over
// either. Where the desktop blurs what lies behind, a lighter tint lets the
// blurred colours through, as far as the texts stay as legible over white.
QColor glassTint(bool blurBehind);

// The blue glow between dim (0) and bright (1).
struct Glow {
    double opacity = 0.05;
    double radius = 8;
};
Glow glowAt(double brightness);

// A symmetric ease-in-out curve on [0, 1].
double easeInOut(double t);

// A repeating animation that runs forward and back along an ease-in-out curve:
// 0 at the start of a forward pass, 1 at its end, back to 0 after two passes.
double pingPong(double elapsedSeconds, double passSeconds);

// A repeating linear animation from 0 to `span`, starting over after each pass.
double sawtooth(double elapsedSeconds, double passSeconds, double span);

// The card's three decorations as functions of the time since they started.
struct CardDecorations {
    double glowBrightness = 0; // 0 dim .. 1 bright
    double shimmerPhase = 0;   // 0 .. 400
    double ripplePhase = 0;    // 0 .. 1
};
namespace decorationTiming {
inline constexpr double glowPass = 2.0;
inline constexpr double shimmerPass = 2.5;
inline constexpr double shimmerSpan = 400;
inline constexpr double ripplePass = 3.0;
} // namespace decorationTiming
CardDecorations decorationsAt(double elapsedSeconds);

} // namespace nudgewatch
