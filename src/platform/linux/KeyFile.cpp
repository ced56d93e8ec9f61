#include "platform/linux/KeyFile.h"

#include <QFile>
#include <QFileInfo>

namespace nudgewatch {

namespace {
// Real entries are a few kilobytes; a larger file is not read into memory.
constexpr qint64 maximumEntrySize = 1 << 20;
} // namespace

bool isReadableEntryFile(const QString &path)
{
    const QFileInfo info(path); // follows symlinks: a link to a FIFO is no file
    return info.isFile() && info.size() <= maximumEntrySize;
}

KeyFilePtr loadKeyFile(const QString &path)
{
    if (!isReadableEntryFile(path))
        return nullptr;
    KeyFilePtr file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), QFile::encodeName(path).constData(), G_KEY_FILE_NONE,
                                   nullptr))
        return nullptr;
    return file;
}

QString takeGString(gchar *value)
{
    if (value == nullptr)
        return {};
    QString result = QString::fromUtf8(value);
    g_free(value);
    return result;
}

} // namespace nudgewatch
