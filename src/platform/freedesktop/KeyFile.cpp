#include "platform/freedesktop/KeyFile.h"

#include "platform/freedesktop/RegularFile.h"

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

QStringList takeGStrv(gchar **values, qsizetype longest)
{
    QStringList list;
    for (gchar **value = values; value != nullptr && *value != nullptr; ++value) {
        if (list.size() == longest)
            break;
        list.append(QString::fromUtf8(*value));
    }
    g_strfreev(values);
    return list;
}

std::optional<QStringList> commandLineWords(const QString &commandLine)
{
    gchar **argv = nullptr;
    if (!g_shell_parse_argv(commandLine.toUtf8().constData(), nullptr, &argv, nullptr))
        return std::nullopt;
    return takeGStrv(argv);
}

} // namespace nudgewatch
