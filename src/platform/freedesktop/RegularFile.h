#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace nudgewatch {

// Every file the program reads from paths others control (desktop entries,
// icons, the settings file) goes through here. Opening a FIFO or a device
// blocks or never ends, and a huge file stalls the program and fills memory:
// only a regular file (links followed) of at most `maximumSize` bytes is read.
bool isReadableRegularFile(const QString &path, qint64 maximumSize);

// The bytes of the file, or none when it is not a readable regular file of at
// most `maximumSize` bytes. Opened without blocking and checked once open, so
// a file swapped for a FIFO after a check is still never waited on.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 maximumSize);

} // namespace nudgewatch
