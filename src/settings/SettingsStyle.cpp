#include "settings/SettingsStyle.h"

#include <QFontDatabase>
#include <QLabel>

namespace nudgewatch::style {

QFont font(int pixelSize, QFont::Weight weight, Design design)
{
    QFont f = design == Design::Monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                                           : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

QColor primary(const QPalette &palette, qreal opacity)
{
    return withOpacity(palette.color(QPalette::WindowText), opacity);
}

QColor secondary(const QPalette &palette, qreal opacity)
{
    // Secondary text is the primary colour, dimmed, so it follows dark themes too.
    return withOpacity(palette.color(QPalette::WindowText), 0.6 * opacity);
}

void setLabelColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel *label(const QString &text, const QFont &font, const QColor &color, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setFont(font);
    result->setTextFormat(Qt::PlainText);
    setLabelColor(result, color);
    return result;
}

} // namespace nudgewatch::style
