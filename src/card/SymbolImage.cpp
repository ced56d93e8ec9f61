#include "card/SymbolImage.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

// Resources in a static library must be registered by hand, outside any namespace.
static void registerCardResources()
{
    Q_INIT_RESOURCE(card);
}

namespace nudgewatch {

QImage symbolImage(const QString &name, const QSizeF &size, const QColor &color,
                   double devicePixelRatio)
{
    static const bool registered = (registerCardResources(), true);
    Q_UNUSED(registered);

    QSvgRenderer renderer(QStringLiteral(":/symbols/%1.svg").arg(name));
    if (!renderer.isValid() || size.isEmpty())
        return {};
    const double dpr = std::max(1.0, devicePixelRatio);
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
    return image;
}

} // namespace nudgewatch
