#pragma once

#include "card/CardLayout.h"
#include "card/GlassEffects.h"
#include "card/ShapeShadow.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <array>
#include <optional>

class QPainter;

namespace nudgewatch {

// What the card shows.
struct CardContent {
    QString name;
    QString message;
    QImage icon;
};

// Paints the reminder card: glow and shadow, glass layers, moving highlight and
// waves, content, border. Everything that does not move is drawn once into
// cached images per size, scale and content; a frame only composes them.
class GlassCardPainter {
public:
    GlassCardPainter();

    void paint(QPainter &painter, const CardLayout &layout, const CardContent &content, double fade,
               const CardDecorations &decorations);

    const QFont &nameFont() const { return m_nameFont; }
    const QFont &messageFont() const { return m_messageFont; }
    // The single-line texts as drawn: cut short to the text column's width.
    QString elidedName(const CardLayout &layout, const QString &name) const;
    QString elidedMessage(const CardLayout &layout, const QString &message) const;

private:
    void paintCard(QPainter &painter, const CardLayout &layout, const CardContent &content,
                   const CardDecorations &decorations);
    void ensureCaches(const CardLayout &layout, const CardContent &content, double dpr);
    QImage renderBack(const CardLayout &layout, double dpr) const;
    QImage renderFront(const CardLayout &layout, const CardContent &content, double dpr) const;
    const ShapeShadow &glowShadow(const QSizeF &cardSize, double radius);

    QFont m_nameFont;
    QFont m_messageFont;

    double m_dpr = 0;
    QSizeF m_cardSize;
    ShapeShadow m_shadow; // black, radius 12
    QImage m_back;        // glass layers under the moving ones
    QImage m_front;       // content and border over them
    QString m_frontKey;
    std::array<std::optional<ShapeShadow>, 13> m_glows; // radius 8..20 points
    QImage m_layer;                                     // group opacity while the card fades in
};

} // namespace nudgewatch
