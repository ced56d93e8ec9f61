#include "platform/freedesktop/KeyFile.h"

#include "platform/freedesktop/RegularFile.h"

#include <QList>

namespace nudgewatch {

KeyFilePtr loadKeyFile(const QString &path)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, maximumEntrySize);
    if (!bytes)
        return nullptr;
    KeyFilePtr file(g_key_file_new());
    if (!g_key_file_load_from_data(file.get(), bytes->constData(), gsize(bytes->size()),
                                   G_KEY_FILE_NONE, nullptr))
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

QString kdeConfigValue(const QString &path, const char *group, const char *key)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, maximumEntrySize);
    if (!bytes)
        return {};
    const QByteArray header = '[' + QByteArray(group) + ']';
    bool inGroup = false;
    for (const QByteArray &raw : bytes->split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            inGroup = line == header;
        else if (const qsizetype equals = line.indexOf('=');
                 inGroup && equals > 0 && line.first(equals).trimmed() == key)
            return QString::fromUtf8(line.sliced(equals + 1).trimmed());
    }
    return {};
}

} // namespace nudgewatch
