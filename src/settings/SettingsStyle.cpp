#include "settings/SettingsStyle.h"

#include <QFontDatabase>
#include <QLabel>
#include <QVariant>

namespace nudgewatch::style {

namespace {
const char textScaleProperty[] = "nudgewatchTextScale";
} // namespace

void setTextScale(QWidget *window, double scale)
{
    window->setProperty(textScaleProperty, scale);
}

double textScale(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const QVariant scale = widget->property(textScaleProperty);
        if (scale.isValid())
            return scale.toDouble();
    }
    return 1.0;
}

void rescaleFonts(QWidget *root, double from, double to)
{
    if (from == to || from <= 0)
        return;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        // Only the fonts set here: inherited ones follow by themselves.
        QFont f = widget->font();
        if (!widget->testAttribute(Qt::WA_SetFont) || f.pixelSize() <= 0)
            continue;
        const int designed = qRound(f.pixelSize() / from);
        f.setPixelSize(std::max(1, qRound(designed * to)));
        // Only a monospaced face is the widget's own: any other family stays the
        // window's, so that a family told with the new size reaches it too.
        if (f.families() != QFontDatabase::systemFont(QFontDatabase::FixedFont).families())
            f.setResolveMask(f.resolveMask() & ~(QFont::FamilyResolved | QFont::FamiliesResolved));
        widget->setFont(f);
    }
}

QFont font(const QWidget *context, int pixelSize, QFont::Weight weight, Design design)
{
    // A fresh font says nothing of its family: the widget inherits the window's.
    QFont f;
    if (design == Design::Monospaced)
        f.setFamilies(QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
    f.setPixelSize(std::max(1, qRound(pixelSize * textScale(context))));
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
