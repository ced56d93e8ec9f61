#pragma once

#include "core/CReply.h"

#include <QString>
#include <QStringList>

#include <glib.h>

#include <memory>
#include <optional>

namespace nudgewatch {

using KeyFilePtr = CHandle<GKeyFile, g_key_file_free>;

// Real entries are a few kilobytes; a larger file is not read into memory.
constexpr qint64 maximumEntrySize = 1 << 20;

// The parsed key file at `path`, or null when it is not a regular file of at
// most maximumEntrySize bytes (see readRegularFile) or does not parse.
KeyFilePtr loadKeyFile(const QString &path);

// A string GLib handed over, converted and freed; empty for null.
QString takeGString(gchar *value);
// A string list GLib handed over, converted and freed (at most `longest`
// strings kept); empty for null.
QStringList takeGStrv(gchar **values, qsizetype longest = -1);
// The words of a command line as a shell would split it (nothing is run);
// none when it does not parse.
std::optional<QStringList> commandLineWords(const QString &commandLine);

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

} // namespace nudgewatch
