#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace nudgewatch {

// The window's small symbol images ("bell.fill", "clock", ...): single-colour
// SVGs from the resource file, tinted when painted.
namespace symbols {
QString resourcePath(const QString &name);
// A square image of `size` logical pixels in `color`; a null pixmap for an
// unknown name.
QPixmap tinted(const QString &name, int size, const QColor &color, qreal devicePixelRatio = 1.0);
} // namespace symbols

// Paints one tinted symbol, centred in a square of `size` pixels. Decorative:
// the text next to it carries the meaning.
class SymbolView final : public QWidget {
    Q_OBJECT
public:
    SymbolView(QString name, int size, QColor color, QWidget *parent = nullptr);

    void setSymbol(const QString &name, const QColor &color);
    const QString &symbolName() const { return m_name; }
    const QColor &color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    int m_size;
    QColor m_color;
};

} // namespace nudgewatch
