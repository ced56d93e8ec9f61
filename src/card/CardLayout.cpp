#include "card/CardLayout.h"

#include <algorithm>
#include <cmath>

namespace nudgewatch {

double cardFade(double progress)
{
    if (std::isnan(progress))
        return 0;
    return std::max(0.0, std::min(1.0, (progress - 0.15) / 0.5));
}

CardAppearance cardAppearance(double fade)
{
    return {fade, 0.85 + 0.15 * fade, 6 * (1 - fade)};
}

CardLayout cardLayout(double nameLineHeight, double messageLineHeight)
{
    using namespace cardStyle;
    using namespace cardGeometry;
    CardLayout layout;
    // The strip and the card (94 points) are centred in the 110-point view.
    const double stackTop = (totalHeight - (notchDrop + cardBarHeight)) / 2;
    layout.card = QRectF(0, stackTop + notchDrop, cardWidth, cardBarHeight);

    const double middle = layout.card.center().y();
    const double left = layout.card.left() + horizontalPadding;
    const double right = layout.card.right() - horizontalPadding;
    auto centred = [middle](double x, double w, double h) {
        return QRectF(x, middle - h / 2, w, h);
    };

    layout.icon = centred(left, iconSize, iconSize);
    layout.snoozeButton = centred(right - snoozeButtonSize, snoozeButtonSize, snoozeButtonSize);
    layout.openButton = centred(layout.snoozeButton.left() - rowSpacing - openButtonSize,
                                openButtonSize, openButtonSize);

    const double textLeft = layout.icon.right() + rowSpacing;
    const double textRight = layout.openButton.left() - rowSpacing - spacerMinimum - rowSpacing;
    const double textHeight = nameLineHeight + lineSpacing + messageLineHeight;
    layout.textColumn = centred(textLeft, textRight - textLeft, textHeight);
    layout.nameLine =
        QRectF(textLeft, layout.textColumn.top(), layout.textColumn.width(), nameLineHeight);
    layout.messageLine = QRectF(textLeft, layout.nameLine.bottom() + lineSpacing,
                                layout.textColumn.width(), messageLineHeight);
    return layout;
}

MessageFit fitMessage(const std::function<double(int pixelSize)> &widthAt, int pixelSize,
                      double columnWidth)
{
    const int smallest = std::min(pixelSize, std::max(7, int(std::ceil(pixelSize * 0.8))));
    for (int size = pixelSize; size >= smallest; --size)
        if (widthAt(size) <= columnWidth)
            return {size, 1};
    return {smallest, 2};
}

QTransform cardTransform(const CardLayout &layout, double fade)
{
    const CardAppearance look = cardAppearance(fade);
    const QPointF centre = layout.card.center();
    QTransform t;
    t.translate(centre.x(), centre.y() + look.offsetY);
    t.scale(look.scale, look.scale);
    t.translate(-centre.x(), -centre.y());
    return t;
}

} // namespace nudgewatch
