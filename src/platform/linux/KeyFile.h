#pragma once

#include <QString>

#include <glib.h>

#include <memory>

namespace nudgewatch {

struct KeyFileDeleter {
    void operator()(GKeyFile *file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

// Whether a desktop entry may be read: a regular file of sane size. Opening a
// FIFO or a device would block or never end, so nothing else is opened.
bool isReadableEntryFile(const QString &path);

// The parsed key file at `path`, or null when it is not a readable entry file.
KeyFilePtr loadKeyFile(const QString &path);

// A string GLib handed over, converted and freed; empty for null.
QString takeGString(gchar *value);

} // namespace nudgewatch
