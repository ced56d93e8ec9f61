#pragma once

#include "core/DesktopAppearance.h"

#include <QString>

#include <optional>

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

// What each source of the desktop's look says; empty where it says nothing.
struct AppearanceSources {
    QString currentDesktop{};           // $XDG_CURRENT_DESKTOP
    std::optional<uint> portalScheme{}; // 1 dark, 2 light, 0 no preference
    QString portalFont{};
    double portalTextScaling = 1.0;
    QString gnomeScheme{}; // "prefer-dark", "prefer-light", "default"
    QString gnomeTheme{};
    QString gnomeFont{};
    double gnomeTextScaling = 1.0;
    QString xsettingsTheme{};
    QString xsettingsFont{};
    QString kdeFont{}; // kdeglobals' general font, read on Plasma only
    // GTK's settings.ini, read at start; XSETTINGS and GNOME override it.
    bool gtkPrefersDark = false; // gtk-application-prefer-dark-theme
    QString gtkTheme{};
    QString gtkFont{};
};

// The preference the first source that states one gives: the portal, GNOME's
// colour scheme, the GTK theme's name (XSETTINGS, else GNOME's), then GTK's
// settings.ini (its preference for dark, else its theme's name).
ColorScheme schemeOf(const AppearanceSources &sources);

// KDE's general font on Plasma, the portal's, XSETTINGS', GNOME's, then
// settings.ini's; text scaling applied where the source has one.
InterfaceFont fontOf(const AppearanceSources &sources);

} // namespace nudgewatch::fontNames
