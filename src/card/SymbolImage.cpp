#include "card/SymbolImage.h"

#include <QCache>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace nudgewatch {

QImage symbolImage(const QString &name, const QSizeF &size, const QColor &color,
                   double devicePixelRatio)
{
    if (size.isEmpty() || !std::isfinite(size.width()) || !std::isfinite(size.height()))
        return {};
    const double dpr =
        std::isfinite(devicePixelRatio) ? std::clamp(devicePixelRatio, 1.0, 8.0) : 1.0;
    const QString key = QStringLiteral("%1/%2x%3/%4/%5")
                            .arg(name)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(color.rgba(), 8, 16)
                            .arg(dpr);
    // A handful of symbols in a few colours: small, and kept for the program's life.
    static QCache<QString, QImage> cache(64);
    if (const QImage *cached = cache.object(key))
        return *cached;

    QSvgRenderer renderer(QStringLiteral(":/symbols/%1.svg").arg(name));
    if (!renderer.isValid())
        return {};
    QImage image(QSize(int(std::ceil(size.width() * dpr)), int(std::ceil(size.height() * dpr))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    painter.end();
    image.setDevicePixelRatio(dpr);
    cache.insert(key, new QImage(image));
    return image;
}

} // namespace nudgewatch
