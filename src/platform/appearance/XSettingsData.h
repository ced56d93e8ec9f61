#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

namespace nudgewatch {

// The settings an XSETTINGS manager publishes on its window (Xfce, MATE,
// Cinnamon, GNOME on X11): name to int, string or colour. Nothing for data that
// is cut short or malformed; the settings read before the fault are kept.
QHash<QString, QVariant> parseXSettings(const QByteArray &data);

} // namespace nudgewatch
