#pragma once

#include "card/CardGeometry.h"

#include <QPointF>
#include <QRectF>

#include <QTransform>
#include <functional>

namespace nudgewatch {

// How far the card has faded in for a spring progress: 0 up to 0.15, 1 from 0.65.
double cardFade(double progress);

// Opacity, scale about the card's centre and downward offset for a fade.
struct CardAppearance {
    double opacity = 0;
    double scale = 0.85;
    double offsetY = 6;
};
CardAppearance cardAppearance(double fade);

// Where everything sits in the 320 x 110 view, in points, top-down, before the
// card's scale and offset are applied.
struct CardLayout {
    QRectF card;       // the glass bar: 320 x 56, 8 points below the notch strip
    QRectF icon;       // 36 x 36, x 14..50
    QRectF textColumn; // x 60..220 at most, both lines
    QRectF nameLine;
    QRectF messageLine;
    QRectF openButton;   // 28 x 28, x 244..272
    QRectF snoozeButton; // 24 x 24, x 282..306
};

namespace cardStyle {
inline constexpr double horizontalPadding = 14;
inline constexpr double verticalPadding = 10;
inline constexpr double rowSpacing = 10;
inline constexpr double spacerMinimum = 4;
inline constexpr double iconSize = 36;
inline constexpr double iconCornerRadius = 9;
inline constexpr double openButtonSize = 28;
inline constexpr double snoozeButtonSize = 24;
inline constexpr double lineSpacing = 2;
inline constexpr double cornerRadius = 20;
inline constexpr double rowHeight = iconSize;
inline constexpr double cardBarHeight = rowHeight + 2 * verticalPadding; // 56
} // namespace cardStyle

// The layout for text lines of the given heights (font-dependent).
CardLayout cardLayout(double nameLineHeight, double messageLineHeight);

// How the message fits the text column: at its own pixel size where it can,
// else smaller, down to four fifths of it (7 at least), else on two lines at
// that size, which the card's bar has room for; cut only beyond that.
struct MessageFit {
    int pixelSize;
    int lines;
};
// `widthAt` measures the message at a pixel size.
MessageFit fitMessage(const std::function<double(int pixelSize)> &widthAt, int pixelSize,
                      double columnWidth);

// Maps view points of the unscaled layout to where the card is drawn for a fade:
// scaled about the card's centre, then moved down.
QTransform cardTransform(const CardLayout &layout, double fade);

} // namespace nudgewatch
