#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;

namespace nudgewatch::style {

// The named colours of the settings window.
inline const QColor blue{0, 122, 255};
inline const QColor purple{175, 82, 222};
inline const QColor green{40, 180, 80};
inline const QColor red{200, 30, 20};
inline const QColor gray{142, 142, 147};

enum class Design { Default, Rounded, Monospaced };

// How much larger than designed the window draws its texts, for the user's
// desktop font size; set on the window, read by everything inside it.
void setTextScale(QWidget *window, double scale);
double textScale(const QWidget *widget);
// The fonts set inside `root` for the text scale `from`, set again for `to`.
void rescaleFonts(QWidget *root, double from, double to);

// The user-interface font at a pixel size, weight and design, for a widget in
// `context`: the size grows with the text scale there, and the family is left
// to be inherited (the window takes the desktop's interface font). There is no
// rounded system design on Linux: it falls back to the regular face.
QFont font(const QWidget *context, int pixelSize, QFont::Weight weight = QFont::Normal,
           Design design = Design::Default);

// Text colours that follow the light or dark palette.
QColor primary(const QPalette &palette, qreal opacity = 1.0);
QColor secondary(const QPalette &palette, qreal opacity = 1.0);

QColor withOpacity(QColor color, qreal opacity);

// A label with the given font and text colour; its accessible name is its text.
QLabel *label(const QString &text, const QFont &font, const QColor &color,
              QWidget *parent = nullptr);
void setLabelColor(QLabel *label, const QColor &color);

} // namespace nudgewatch::style
