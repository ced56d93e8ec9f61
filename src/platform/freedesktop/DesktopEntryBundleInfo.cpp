#include "platform/freedesktop/DesktopEntryBundleInfo.h"

#include "platform/freedesktop/DesktopEntry.h"
#include "platform/freedesktop/KeyFile.h"

#include <QFile>

#include <glib.h>

#include <memory>

namespace nudgewatch {

namespace {

std::optional<QString> takeString(gchar *value)
{
    if (value == nullptr)
        return std::nullopt;
    return cutToShown(takeGString(value));
}

} // namespace

BundleNames DesktopEntryBundleInfo::namesForBundle(const QString &path) const
{
    const KeyFilePtr file = loadKeyFile(path);
    if (!file)
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
