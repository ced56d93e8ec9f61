#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>

namespace nudgewatch {

// Names of the card's symbols, as the resource file holds them.
namespace symbols {
inline const QString openApp = QStringLiteral("arrow.up.forward.app.fill");
inline const QString snooze = QStringLiteral("moon.zzz");
} // namespace symbols

// The named symbol drawn at `size` points in a single colour; a null image when
// the symbol does not exist.
QImage symbolImage(const QString &name, const QSizeF &size, const QColor &color,
                   double devicePixelRatio);

} // namespace nudgewatch
