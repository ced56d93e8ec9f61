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

} // namespace nudgewatch
