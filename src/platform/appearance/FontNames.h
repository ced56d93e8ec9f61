#pragma once

#include "core/DesktopAppearance.h"

#include <QString>

namespace nudgewatch::fontNames {

// A GTK/Pango font name, "Cantarell Bold 11" or "Sans 10": family and point
// size (0 when it names none). Style words after the family are dropped.
InterfaceFont fromPango(const QString &name);

// A Qt font string as KDE writes it, "Noto Sans,10,-1,5,50,0,0,0,0,0".
InterfaceFont fromQtString(const QString &text);

// The interface font size each desktop ships with, by $XDG_CURRENT_DESKTOP.
double defaultPointSize(const QString &currentDesktop);

// Dark when a GTK theme's name says so ("Greybird-dark", "Adwaita:dark").
ColorScheme schemeOfThemeName(const QString &themeName);

} // namespace nudgewatch::fontNames
