#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

namespace nudgewatch {

// A soft shadow of a rounded rectangle: the shape's coverage blurred (three box
// passes approximating a Gaussian of sigma = blurRadius / 2) and tinted.
struct ShapeShadow {
    QImage image;    // premultiplied, with its device pixel ratio set
    QPointF topLeft; // where to draw it, relative to the shape's top-left corner
};

ShapeShadow makeShapeShadow(const QSizeF &shapeSize, double cornerRadius, double blurRadius,
                            const QColor &color, double devicePixelRatio);

// Blurs the alpha of a premultiplied image in place with three box passes per axis.
void boxBlurAlpha(QImage &image, int boxRadius);

} // namespace nudgewatch
