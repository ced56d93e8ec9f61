#pragma once

#include "card/CardLayout.h"
#include "card/GlassEffects.h"
#include "card/ShapeShadow.h"
#include "core/DesktopAppearance.h"

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QStringList>

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

    // Sets the texts in the desktop's interface font, grown as the user asked;
    // the cached pictures are drawn again.
    void setInterfaceFont(const InterfaceFont &font);

    // Whether the desktop blurs what lies behind the card: the glass is tinted
    // lighter there.
    void setBlurBehind(bool blurBehind);
    bool blurBehind() const { return m_blurBehind; }

    // Paints the card; with a region (view points), only what lies in it needs
    // to be right: the moving layers are composed there alone.
    void paint(QPainter &painter, const CardLayout &layout, const CardContent &content, double fade,
               const CardDecorations &decorations, const QRegion &region = {});

    // A rectangle around where a fully shown card looks different between two
    // moments of its decorations, in whole view points: the glow's surroundings
    // only when its level changes, the band where it was and is, the rows the
    // waves reach. One rectangle: painting through a clip of several costs more
    // than the few more pixels.
    static QRect changedRect(const CardLayout &layout, const CardDecorations &from,
                             const CardDecorations &to);

    // Frees the cached pictures; they are drawn again for the next card.
    void releaseCaches();

    const QFont &nameFont() const { return m_nameFont; }
    const QFont &messageFont() const { return m_messageFont; }
    // The texts as drawn: the name cut short to the text column's width; the
    // message fitted to it (see fitMessage), its lines joined by a space.
    QString elidedName(const CardLayout &layout, const QString &name) const;
    QString elidedMessage(const CardLayout &layout, const QString &message) const;

    // The message as drawn: its font, where and which lines.
    struct MessageText {
        QFont font;
        QRectF rect;
        QStringList lines;
    };
    MessageText messageText(const CardLayout &layout, const QString &message) const;

private:
    // The glow at one of its brightness levels with the black shadow over it.
    struct Underlay {
        QImage image;
        QPointF topLeft; // relative to the card's top-left corner
    };
    static constexpr int glowLevels = 13;

    static int glowLevel(double brightness);
    void setFonts(const InterfaceFont &font);
    void paintCard(QPainter &painter, const CardLayout &layout, const CardDecorations &decorations,
                   const QRect &dirty);
    void ensureCaches(const CardLayout &layout, const CardContent &content, double dpr);
    QImage renderBack(const CardLayout &layout, double dpr) const;
    QImage renderBand(const CardLayout &layout, double dpr) const;
    QImage renderWaveStrip(const CardLayout &layout, double dpr) const;
    QImage renderFront(const CardLayout &layout, const CardContent &content, double dpr) const;
    const Underlay &underlay(int level);

    QFont m_nameFont;
    QFont m_messageFont;
    bool m_blurBehind = false;

    double m_dpr = 0;
    QSizeF m_cardSize;
    QImage m_back;      // material, sheen and tint, cut to the card's shape
    QImage m_band;      // the highlight band on a card-sized shape, before its move
    QImage m_waveStrip; // the three waves at full strength, two card widths long
    QImage m_front;     // content and border
    QString m_frontKey;
    QImage m_work;        // one frame of the card: back, band, waves, front
    ShapeShadow m_shadow; // black, under the card
    std::array<std::optional<Underlay>, glowLevels> m_underlays;
    QImage m_layer; // the whole card while it fades in
};

} // namespace nudgewatch
