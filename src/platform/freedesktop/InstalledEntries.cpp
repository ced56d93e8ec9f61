// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gdesktopappinfo.h>

#include "platform/freedesktop/InstalledEntries.h"
#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace nudgewatch {

namespace {

// The canonical path of the program a command line starts; empty when it names none.
QString programPath(const QString &commandLine)
{
    // Only splits the line into words; nothing is run.
    const std::optional<QStringList> words = commandLineWords(commandLine);
    if (!words || words->isEmpty())
        return {};
    const QString program =
        words->first().startsWith(QLatin1Char('/'))
            ? words->first()
            : takeGString(g_find_program_in_path(QFile::encodeName(words->first()).constData()));
    const QString canonical = QFileInfo(program).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(program) : canonical;
}

DesktopEntry entryOf(GDesktopAppInfo *info)
{
    const auto text = [info](const char *key, bool localized = false) {
        return takeGString(localized ? g_desktop_app_info_get_locale_string(info, key)
                                     : g_desktop_app_info_get_string(info, key));
    };
    DesktopEntry entry;
    entry.path = QFile::decodeName(g_desktop_app_info_get_filename(info));
    const char *id = g_app_info_get_id(G_APP_INFO(info));
    entry.desktopId = id != nullptr ? QString::fromUtf8(id) : QFileInfo(entry.path).fileName();
    entry.name = cutToShown(text("Name"));
    entry.localizedName = cutToShown(text("Name", true));
    if (entry.localizedName.isEmpty())
        entry.localizedName = cutToShown(QFileInfo(entry.path).completeBaseName());
    entry.comment = cutToShown(text("Comment", true));
    entry.startupWMClass = QString::fromUtf8(g_desktop_app_info_get_startup_wm_class(info));
    entry.icon = text("Icon", true).trimmed();
    entry.exec = text("Exec");
    for (const QString &line : {text("TryExec"), entry.exec})
        if (const QString program = programPath(line);
            !program.isEmpty() && !entry.programs.contains(program))
            entry.programs.append(program);
    entry.noDisplay = g_desktop_app_info_get_nodisplay(info);
    entry.shownInMenus = g_app_info_should_show(G_APP_INFO(info));
    entry.settings = QString::fromUtf8(g_desktop_app_info_get_categories(info))
                         .split(QLatin1Char(';'))
                         .contains(QLatin1String("Settings"));
    return entry;
}

} // namespace

std::vector<DesktopEntry> installedDesktopEntries()
{
    // No FIFO guard here: a FIFO named *.desktop in an applications folder stalls
    // GIO's read, in this program as in every other that lists applications.
    GList *all = g_app_info_get_all();
    std::vector<DesktopEntry> entries;
    for (GList *item = all; item != nullptr; item = item->next)
        if (G_IS_DESKTOP_APP_INFO(item->data))
            entries.push_back(entryOf(G_DESKTOP_APP_INFO(item->data)));
    g_list_free_full(all, g_object_unref);
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    const auto rank = [&folders](const DesktopEntry &entry) {
        const auto holds = [&entry](const QString &folder) {
            return entry.path.startsWith(folder + QLatin1Char('/'));
        };
        return std::find_if(folders.cbegin(), folders.cend(), holds) - folders.cbegin();
    };
    std::sort(entries.begin(), entries.end(), [&](const DesktopEntry &a, const DesktopEntry &b) {
        return std::pair(rank(a), a.path) < std::pair(rank(b), b.path);
    });
    return entries;
}

std::optional<DesktopEntry> desktopEntryAt(const QString &path)
{
    // A path kept in the settings or picked by the user: what is no regular
    // file of sane size (a FIFO would block the read) is not handed to GIO.
    if (!isReadableRegularFile(path, maximumEntrySize))
        return std::nullopt;
    g_autoptr(GDesktopAppInfo) info =
        g_desktop_app_info_new_from_filename(QFile::encodeName(path).constData());
    if (info == nullptr || g_desktop_app_info_get_is_hidden(info))
        return std::nullopt;
    return entryOf(info);
}

} // namespace nudgewatch
