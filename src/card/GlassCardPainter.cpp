#include "card/GlassCardPainter.h"

#include "card/RippleWaves.h"
#include "card/ShapeShadow.h"
#include "card/SymbolImage.h"
#include "card/WaterRippleCanvas.h"
#include "tracking/DisplayText.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nudgewatch {

namespace {

constexpr double shadowRadius = 12;
constexpr QPointF shadowOffset(0, 4);
constexpr QPointF glowOffset(0, 2);

QColor buttonMaterialColor()
{
    return white(0.10);
}

QColor glowBlue()
{
    return QColor::fromRgbF(0.0f, 0.48f, 1.0f, 1.0f);
}

QPainterPath roundedPath(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QLinearGradient gradient(const QPointF &from, const QPointF &to, const QGradientStops &stops)
{
    QLinearGradient g(from, to);
    g.setStops(stops);
    return g;
}

// A hairline inside a shape's edge: stroked on a rectangle inset by half its width.
void strokeInside(QPainter &p, const QRectF &rect, double radius, double width, const QBrush &brush)
{
    const double half = width / 2;
    p.setPen(QPen(brush, width));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rect.adjusted(half, half, -half, -half), radius - half, radius - half);
}

// Where the waves begin, with a point more for their edge's antialiasing.
double wavesTop(double cardHeight)
{
    return rippleWavesTop(cardHeight) - 1;
}

QImage newImage(const QSizeF &points, double dpr)
{
    QImage image(QSize(int(std::ceil(points.width() * dpr)), int(std::ceil(points.height() * dpr))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

GlassCardPainter::GlassCardPainter()
{
    setFonts({});
}

void GlassCardPainter::setInterfaceFont(const InterfaceFont &font)
{
    setFonts(font);
    releaseCaches();
}

void GlassCardPainter::setBlurBehind(bool blurBehind)
{
    if (blurBehind == m_blurBehind)
        return;
    m_blurBehind = blurBehind;
    releaseCaches();
}

void GlassCardPainter::setFonts(const InterfaceFont &font)
{
    // The card keeps its size: a larger font takes more of its height.
    const double scale = std::clamp(font.scale(), 0.5, 2.0);
    QFont base = QGuiApplication::font();
    if (!font.family.isEmpty())
        base.setFamily(font.family);
    m_nameFont = base;
    m_nameFont.setPixelSize(qRound(12 * scale));
    m_nameFont.setWeight(QFont::Bold);
    m_messageFont = base;
    m_messageFont.setPixelSize(qRound(10 * scale));
    m_messageFont.setWeight(QFont::Medium);
}

QString GlassCardPainter::elidedName(const CardLayout &layout, const QString &name) const
{
    return QFontMetricsF(m_nameFont)
        .elidedText(singleLine(name), Qt::ElideRight, layout.nameLine.width());
}

QString GlassCardPainter::elidedMessage(const CardLayout &layout, const QString &message) const
{
    return messageText(layout, message).lines.join(QLatin1Char(' '));
}

GlassCardPainter::MessageText GlassCardPainter::messageText(const CardLayout &layout,
                                                            const QString &message) const
{
    const QString line = singleLine(message);
    const double width = layout.messageLine.width();
    QFont font = m_messageFont;
    const MessageFit fit = fitMessage(
        [&](int pixelSize) {
            font.setPixelSize(pixelSize);
            return QFontMetricsF(font).horizontalAdvance(line);
        },
        m_messageFont.pixelSize(), width);
    font.setPixelSize(fit.pixelSize);
    const QFontMetricsF metrics(font);
    QRectF rect = layout.messageLine;
    if (fit.lines == 1)
        return {font, rect, {metrics.elidedText(line, Qt::ElideRight, width)}};
    // Broken where the text layout breaks it, the rest cut to the second line.
    QTextLayout text(line, font);
    text.beginLayout();
    QTextLine first = text.createLine();
    first.setLineWidth(width);
    text.endLayout();
    const qsizetype split = first.textLength();
    rect.setHeight(2 * metrics.height());
    return {font,
            rect,
            {line.left(split).trimmed(),
             metrics.elidedText(line.mid(split).trimmed(), Qt::ElideRight, width)}};
}

void GlassCardPainter::paint(QPainter &painter, const CardLayout &layout,
                             const CardContent &content, double fade,
                             const CardDecorations &decorations, const QRegion &region)
{
    if (!(fade > 0))
        return;
    const double dpr = painter.device()->devicePixelRatioF();
    ensureCaches(layout, content, dpr);

    const QRect whole(0, 0, int(cardGeometry::cardWidth), int(cardGeometry::totalHeight));
    if (fade >= 1) {
        // Qt hands a blend of 96 rows or more to its thread pool, whose wake-ups
        // cost more than blends this small: the card is drawn in bands of fewer.
        const QRect area = region.isEmpty() ? whole : region.boundingRect() & whole;
        const int bandHeight = std::max(1, int(64 / dpr));
        for (int top = area.top(); top <= area.bottom(); top += bandHeight) {
            const QRect band(area.left(), top, area.width(),
                             std::min(bandHeight, area.bottom() + 1 - top));
            painter.save();
            painter.setClipRect(band, Qt::IntersectClip);
            paintCard(painter, layout, decorations, band);
            painter.restore();
        }
        return;
    }
    // Fading in, the card is one group: drawn once, then scaled, moved and faded.
    const QSizeF viewSize(cardGeometry::cardWidth, cardGeometry::totalHeight);
    if (m_layer.isNull())
        m_layer = newImage(viewSize, dpr);
    else
        m_layer.fill(Qt::transparent);
    {
        QPainter layer(&m_layer);
        paintCard(layer, layout, decorations, whole);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(cardTransform(layout, fade), true);
    painter.setOpacity(painter.opacity() * cardAppearance(fade).opacity);
    painter.drawImage(QPointF(0, 0), m_layer);
    painter.restore();
}

void GlassCardPainter::releaseCaches()
{
    GlassCardPainter fresh;
    fresh.m_nameFont = m_nameFont;
    fresh.m_messageFont = m_messageFont;
    fresh.m_blurBehind = m_blurBehind;
    *this = std::move(fresh);
}

int GlassCardPainter::glowLevel(double brightness)
{
    return int(std::lround(std::clamp(brightness, 0.0, 1.0) * (glowLevels - 1)));
}

QRect GlassCardPainter::changedRect(const CardLayout &layout, const CardDecorations &from,
                                    const CardDecorations &to)
{
    const QRectF card = layout.card;
    if (glowLevel(from.glowBrightness) != glowLevel(to.glowBrightness))
        return QRect(0, 0, int(cardGeometry::cardWidth), int(cardGeometry::totalHeight));
    QRect changed;
    if (from.shimmerPhase != to.shimmerPhase) {
        for (const double phase : {from.shimmerPhase, to.shimmerPhase}) {
            const ShimmerBand band = shimmerBand(phase, card.width());
            changed |= QRectF(card.left() + band.startX, card.top(), band.endX - band.startX,
                              card.height())
                           .intersected(card)
                           .toAlignedRect();
        }
    }
    if (from.ripplePhase != to.ripplePhase && (from.ripplePhase > 0 || to.ripplePhase > 0)) {
        const double top = card.top() + wavesTop(card.height());
        changed |= QRectF(card.left(), top, card.width(), card.bottom() - top).toAlignedRect();
    }
    return changed;
}

void GlassCardPainter::paintCard(QPainter &painter, const CardLayout &layout,
                                 const CardDecorations &decorations, const QRect &dirty)
{
    const QRectF card = layout.card;
    const Underlay &under = underlay(glowLevel(decorations.glowBrightness));
    painter.drawImage(card.topLeft() + under.topLeft, under.image);

    // Only the rows of the card that need painting are composed; the rest of
    // the working copy keeps an older frame that is not shown.
    const double dpr = m_back.devicePixelRatio();
    const QRectF local = QRectF(dirty).intersected(card).translated(-card.topLeft());
    if (local.isEmpty())
        return;
    if (m_work.size() != m_back.size()) {
        m_work = QImage(m_back.size(), QImage::Format_ARGB32_Premultiplied);
        m_work.setDevicePixelRatio(dpr);
    }
    const int firstRow = std::clamp(int(std::floor(local.top() * dpr)), 0, m_back.height());
    const int endRow = std::clamp(int(std::ceil(local.bottom() * dpr)), firstRow, m_back.height());
    std::memcpy(m_work.scanLine(firstRow), m_back.constScanLine(firstRow),
                std::size_t(m_back.bytesPerLine()) * std::size_t(endRow - firstRow));
    {
        // The moving layers go on a copy of the glass; SourceAtop keeps them
        // inside the card's outline, exactly as the glass itself is cut.
        QPainter work(&m_work);
        work.setClipRect(local);
        work.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        work.drawImage(QPointF(shimmerBand(decorations.shimmerPhase, card.width()).startX, 0),
                       m_band);
        if (decorations.ripplePhase > 0) {
            // The waves repeat every half width and fade with their phase, so
            // one strip at full strength, moved and faded, draws any phase.
            // Nothing above the crests: the rows there are left alone.
            const double top = wavesTop(card.height());
            work.setClipRect(local.intersected(QRectF(0, top, card.width(), card.height() - top)));
            work.setOpacity(std::min(1.0, decorations.ripplePhase));
            work.drawImage(QPointF(-card.width() / 2 * decorations.ripplePhase, 0), m_waveStrip);
            work.setOpacity(1);
            work.setClipRect(local);
        }
        work.setCompositionMode(QPainter::CompositionMode_SourceOver);
        work.drawImage(QPointF(0, 0), m_front);
    }
    painter.drawImage(local.topLeft() + card.topLeft(), m_work,
                      QRectF(local.topLeft() * dpr, local.size() * dpr));
}

void GlassCardPainter::ensureCaches(const CardLayout &layout, const CardContent &content,
                                    double dpr)
{
    const QSizeF size = layout.card.size();
    if (!qFuzzyCompare(m_dpr, dpr) || m_cardSize != size) {
        m_dpr = dpr;
        m_cardSize = size;
        m_back = renderBack(layout, dpr);
        m_band = renderBand(layout, dpr);
        m_waveStrip = renderWaveStrip(layout, dpr);
        m_frontKey.clear();
        m_layer = QImage();
        m_work = QImage();
        m_shadow = ShapeShadow{};
        for (auto &u : m_underlays)
            u.reset();
    }
    const QString key = content.name + QChar(0) + content.message + QChar(0) +
                        QString::number(content.icon.cacheKey());
    if (key != m_frontKey || m_front.isNull()) {
        m_front = renderFront(layout, content, dpr);
        m_frontKey = key;
    }
}

const GlassCardPainter::Underlay &GlassCardPainter::underlay(int level)
{
    auto &slot = m_underlays[std::size_t(std::clamp(level, 0, glowLevels - 1))];
    if (slot)
        return *slot;
    const Glow glow = glowAt(double(level) / (glowLevels - 1));
    QColor blue = glowBlue();
    blue.setAlphaF(float(glow.opacity));
    const ShapeShadow glowImage =
        makeShapeShadow(m_cardSize, cardStyle::cornerRadius, glow.radius, blue, m_dpr);
    if (m_shadow.image.isNull())
        m_shadow = makeShapeShadow(m_cardSize, cardStyle::cornerRadius, shadowRadius,
                                   QColor::fromRgbF(0, 0, 0, 0.3f), m_dpr);
    const ShapeShadow &shadow = m_shadow;
    const QRectF glowRect(glowOffset + glowImage.topLeft,
                          QSizeF(glowImage.image.deviceIndependentSize()));
    const QRectF shadowRect(shadowOffset + shadow.topLeft,
                            QSizeF(shadow.image.deviceIndependentSize()));
    const QRectF bounds = glowRect.united(shadowRect);
    QImage image = newImage(bounds.size(), m_dpr);
    {
        QPainter p(&image);
        p.translate(-bounds.topLeft());
        p.drawImage(glowRect.topLeft(), glowImage.image);
        p.drawImage(shadowRect.topLeft(), shadow.image);
    }
    slot = Underlay{image, bounds.topLeft()};
    return *slot;
}

QImage GlassCardPainter::renderBack(const CardLayout &layout, double dpr) const
{
    const QRectF rect(QPointF(0, 0), layout.card.size());
    QImage image = newImage(rect.size(), dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPainterPath shape = roundedPath(rect, cardStyle::cornerRadius);
    p.fillPath(shape, glassTint(m_blurBehind));
    p.fillPath(shape, gradient(rect.topLeft() + QPointF(rect.width() / 2, 0),
                               QPointF(rect.width() / 2, rect.bottom()), sheenStops()));
    p.fillPath(shape, gradient(rect.topLeft(), rect.bottomRight(), tintStops()));
    return image;
}

QImage GlassCardPainter::renderBand(const CardLayout &layout, double dpr) const
{
    const QRectF rect(QPointF(0, 0), layout.card.size());
    QImage image = newImage(rect.size(), dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(roundedPath(rect, cardStyle::cornerRadius),
               gradient(QPointF(0, 0), QPointF(rect.width(), 0), shimmerStops()));
    return image;
}

QImage GlassCardPainter::renderWaveStrip(const CardLayout &layout, double dpr) const
{
    const QRectF rect(QPointF(0, 0), layout.card.size());
    QImage image = newImage(QSizeF(2 * rect.width(), rect.height()), dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const WaterRippleCanvas fullStrength(1.0);
    fullStrength.paint(p, rect);
    fullStrength.paint(p, rect.translated(rect.width(), 0));
    return image;
}

QImage GlassCardPainter::renderFront(const CardLayout &layout, const CardContent &content,
                                     double dpr) const
{
    const QPointF origin = layout.card.topLeft();
    const QRectF rect(QPointF(0, 0), layout.card.size());
    QImage image = newImage(rect.size(), dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(-origin);

    // Icon, stretched to 36 x 36 and rounded.
    const QPainterPath iconShape = roundedPath(layout.icon, cardStyle::iconCornerRadius);
    p.save();
    p.setClipPath(iconShape);
    if (!content.icon.isNull())
        p.drawImage(layout.icon, content.icon);
    p.restore();
    strokeInside(p, layout.icon, cardStyle::iconCornerRadius, 0.5, white(0.15));

    p.setFont(m_nameFont);
    p.setPen(Qt::white);
    p.drawText(layout.nameLine, Qt::AlignLeft | Qt::AlignVCenter, elidedName(layout, content.name));
    const MessageText message = messageText(layout, content.message);
    p.setFont(message.font);
    p.setPen(white(0.6));
    p.drawText(message.rect, Qt::AlignLeft | Qt::AlignVCenter,
               message.lines.join(QLatin1Char('\n')));

    // Open: a glass circle with the symbol; snooze: the symbol alone.
    const QRectF open = layout.openButton;
    p.setPen(Qt::NoPen);
    p.setBrush(buttonMaterialColor());
    p.drawEllipse(open);
    p.setPen(QPen(white(0.15), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(open.adjusted(0.25, 0.25, -0.25, -0.25));
    const QSizeF openGlyph(13, 13);
    p.drawImage(QRectF(open.center() - QPointF(6.5, 6.5), openGlyph),
                symbolImage(symbols::openApp, openGlyph, white(0.8), dpr));
    const QSizeF snoozeGlyph(11, 11);
    p.drawImage(QRectF(layout.snoozeButton.center() - QPointF(5.5, 5.5), snoozeGlyph),
                symbolImage(symbols::snooze, snoozeGlyph, white(0.5), dpr));

    strokeInside(p, layout.card, cardStyle::cornerRadius, 0.5,
                 gradient(layout.card.topLeft(), layout.card.bottomRight(), borderStops()));
    return image;
}

} // namespace nudgewatch
