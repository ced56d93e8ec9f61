#include "settings/Symbol.h"

#include <QFile>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

// Resources of a static library are only linked in when something refers to them.
static void initSettingsResources()
{
    Q_INIT_RESOURCE(settings);
}

namespace nudgewatch {

namespace symbols {

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/settings/symbols/%1.svg").arg(name);
}

QPixmap tinted(const QString &name, int size, const QColor &color, qreal devicePixelRatio)
{
    static const bool initialised = (initSettingsResources(), true);
    Q_UNUSED(initialised);
    // Rows repaint every second as idle times change: render each symbol once.
    const QString key = QStringLiteral("nudgewatch-symbol/%1/%2/%3/%4")
                            .arg(name)
                            .arg(size)
                            .arg(color.rgba(), 8, 16)
                            .arg(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid() || size <= 0)
        return {};
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace symbols

SymbolView::SymbolView(QString name, int size, QColor color, QWidget *parent)
    : QWidget(parent), m_name(std::move(name)), m_size(size), m_color(std::move(color))
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setSymbol(const QString &name, const QColor &color)
{
    if (name == m_name && color == m_color)
        return;
    m_name = name;
    m_color = color;
    update();
}

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPixmap pixmap = symbols::tinted(m_name, m_size, m_color, devicePixelRatioF());
    painter.drawPixmap(QPointF((width() - m_size) / 2.0, (height() - m_size) / 2.0), pixmap);
}

} // namespace nudgewatch
