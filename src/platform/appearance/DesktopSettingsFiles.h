#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace nudgewatch {

// The folders GTK reads its settings from, the user's first: the XDG config
// folders, then /etc for the system-wide ones.
QStringList gtkConfigDirs();
// GTK's settings.ini files in `configDirs`, in their order (the user's choice
// before the system's), GTK 3's before GTK 4's in each.
QStringList gtkSettingsFiles(const QStringList &configDirs);

// What GTK's settings.ini files say that the program follows.
struct GtkSettings {
    QString themeName;
    QString fontName;
    QString iconThemeName;
    std::optional<bool> prefersDark; // gtk-application-prefer-dark-theme
};
// Each key from the first of `files` that has it, as GTK layers them; a string
// without the quotes some tools write around it. Each file is read once; one
// that is no regular file of at most maximumEntrySize bytes, or does not
// parse, is passed by.
GtkSettings readGtkSettings(const QStringList &files);

// The value of `key` in `[group]` of one of KDE's own files (kdeglobals), read
// by hand: GLib's key file refuses the whole file over KDE's "key[$e]="
// markers, and QSettings splits a comma-separated value into a list. Empty
// when the file is no regular file of at most maximumEntrySize bytes, or lacks it.
QString kdeConfigValue(const QString &path, const char *group, const char *key);

// The icon theme the desktop settings name: GTK 3 then GTK 4 settings.ini, then
// KDE's kdeglobals, each searched through `configDirs` in order.
QString desktopIconTheme(const QStringList &configDirs);

} // namespace nudgewatch
