#pragma once

#include <QString>

#include <glib.h>

#include <memory>

namespace nudgewatch {

struct KeyFileDeleter {
    void operator()(GKeyFile *file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

// Real entries are a few kilobytes; a larger file is not read into memory.
constexpr qint64 maximumEntrySize = 1 << 20;

// The parsed key file at `path`, or null when it is not a regular file of at
// most maximumEntrySize bytes (see readRegularFile) or does not parse.
KeyFilePtr loadKeyFile(const QString &path);

// A string GLib handed over, converted and freed; empty for null.
QString takeGString(gchar *value);

// The value of `key` in `[group]` of one of KDE's own files (kdeglobals), read
// by hand: GLib's key file refuses the whole file over KDE's "key[$e]="
// markers, and QSettings splits a comma-separated value into a list. Empty
// when the file is no regular file of at most maximumEntrySize bytes, or lacks it.
QString kdeConfigValue(const QString &path, const char *group, const char *key);

} // namespace nudgewatch
