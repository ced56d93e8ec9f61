#include "platform/linux/DesktopEntryBundleInfo.h"

#include <QFile>

#include <glib.h>

#include <memory>

namespace nudgewatch {

namespace {

struct KeyFileDeleter {
    void operator()(GKeyFile *file) const { g_key_file_free(file); }
};

std::optional<QString> takeString(gchar *value)
{
    if (value == nullptr)
        return std::nullopt;
    QString result = QString::fromUtf8(value);
    g_free(value);
    return result;
}

} // namespace

BundleNames DesktopEntryBundleInfo::namesForBundle(const QString &path) const
{
    std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
    const QByteArray nativePath = QFile::encodeName(path);
    if (!g_key_file_load_from_file(file.get(), nativePath.constData(), G_KEY_FILE_NONE, nullptr))
        return {};
    const char *group = G_KEY_FILE_DESKTOP_GROUP;
    BundleNames names;
    // GKeyFile picks Name[<locale>] from the user's LANGUAGE/LC_* settings and
    // falls back to the untranslated Name itself.
    names.localizedName = takeString(g_key_file_get_locale_string(
        file.get(), group, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr, nullptr));
    names.name =
        takeString(g_key_file_get_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr));
    return names;
}

} // namespace nudgewatch
