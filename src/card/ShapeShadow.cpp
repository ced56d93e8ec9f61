#include "card/ShapeShadow.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace nudgewatch {

namespace {

// One running-sum box pass over `count` values spaced `stride` apart.
void boxPass(uchar *data, int count, int stride, int radius, std::vector<int> &scratch)
{
    scratch.assign(std::size_t(count), 0);
    for (int i = 0; i < count; ++i)
        scratch[std::size_t(i)] = data[i * stride];
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += (i >= 0 && i < count) ? scratch[std::size_t(i)] : 0;
    for (int i = 0; i < count; ++i) {
        data[i * stride] = uchar(sum / width);
        const int out = i - radius;
        const int in = i + radius + 1;
        sum -= (out >= 0) ? scratch[std::size_t(out)] : 0;
        sum += (in < count) ? scratch[std::size_t(in)] : 0;
    }
}

} // namespace

void boxBlurAlpha(QImage &image, int boxRadius)
{
    if (boxRadius <= 0 || image.isNull())
        return;
    QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
    std::vector<int> scratch;
    const int w = alpha.width();
    const int h = alpha.height();
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            boxPass(alpha.scanLine(y), w, 1, boxRadius, scratch);
        for (int x = 0; x < w; ++x)
            boxPass(alpha.bits() + x, h, int(alpha.bytesPerLine()), boxRadius, scratch);
    }
    image = alpha;
}

ShapeShadow makeShapeShadow(const QSizeF &shapeSize, double cornerRadius, double blurRadius,
                            const QColor &color, double devicePixelRatio)
{
    const double dpr = std::max(1.0, devicePixelRatio);
    const double sigma = std::max(0.0, blurRadius) / 2;
    const double margin = std::ceil(3 * sigma + 1);
    const QSizeF points(shapeSize.width() + 2 * margin, shapeSize.height() + 2 * margin);
    // Blurred at one pixel per point: a blur this wide has no finer detail, and
    // it costs a quarter as much on a double-density screen.
    const QSize pixels(int(std::ceil(points.width())), int(std::ceil(points.height())));

    QImage coverage(pixels, QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(QPointF(margin, margin), shapeSize), cornerRadius, cornerRadius);
    }
    // Three box passes of width w have variance 3 (w^2 - 1) / 12 = sigma^2.
    const int boxRadius = int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
    boxBlurAlpha(coverage, boxRadius);
    if (dpr > 1) {
        coverage = coverage.scaled(
            QSize(int(std::ceil(points.width() * dpr)), int(std::ceil(points.height() * dpr))),
            Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    QImage tinted(coverage.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(color);
    {
        QPainter p(&tinted);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, coverage);
    }
    tinted.setDevicePixelRatio(dpr);
    return {tinted, QPointF(-margin, -margin)};
}

} // namespace nudgewatch
