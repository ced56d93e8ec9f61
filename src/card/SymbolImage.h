#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>

namespace nudgewatch {

// Names of the card's symbols, as the resource folder holds them.
namespace symbols {
inline const QString openApp = QStringLiteral("arrow.up.forward.app.fill");
inline const QString snooze = QStringLiteral("moon.zzz");
} // namespace symbols

// The program's small single-colour symbols (":/symbols/<name>.svg"), drawn at
// `size` points in `color`; a null image for an unknown name or an empty size.
// Each rendering is cached, as rows and the card repaint with the same ones.
QImage symbolImage(const QString &name, const QSizeF &size, const QColor &color,
                   double devicePixelRatio);

} // namespace nudgewatch
