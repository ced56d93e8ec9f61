#include "platform/freedesktop/DesktopEntryScanner.h"

#include "platform/freedesktop/KeyFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace nudgewatch {

namespace {

// The canonical path of the program a command line starts, when it can be
// found; `found` tells whether it is an executable that exists.
QString programPath(const QString &commandLine, bool &found)
{
    found = false;
    // Only splits the line into words; nothing is run.
    const std::optional<QStringList> words = commandLineWords(commandLine);
    if (!words || words->isEmpty())
        return {};
    const QString resolved =
        takeGString(g_find_program_in_path(QFile::encodeName(words->first()).constData()));
    found = !resolved.isEmpty();
    const QString program = words->first().startsWith(QLatin1Char('/')) ? words->first() : resolved;
    if (program.isEmpty())
        return {};
    const QString canonical = QFileInfo(program).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(program) : canonical;
}

// Whether an entry is meant for the desktop that runs: the first of the
// current desktops that either list names decides; else OnlyShowIn must be absent.
bool meantForCurrentDesktop(GKeyFile *keys)
{
    const char *group = G_KEY_FILE_DESKTOP_GROUP;
    const auto list = [&](const char *key) {
        gchar **values = g_key_file_get_string_list(keys, group, key, nullptr, nullptr);
        return values != nullptr ? std::optional(takeGStrv(values)) : std::nullopt;
    };
    const std::optional<QStringList> only = list(G_KEY_FILE_DESKTOP_KEY_ONLY_SHOW_IN);
    const std::optional<QStringList> notIn = list(G_KEY_FILE_DESKTOP_KEY_NOT_SHOW_IN);
    const QString current = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    for (const QString &desktop : current.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (only && only->contains(desktop))
            return true;
        if (notIn && notIn->contains(desktop))
            return false;
    }
    return !only;
}

} // namespace

QString desktopIdForRelativePath(const QString &relativePath)
{
    QString id = QDir::cleanPath(relativePath);
    id.replace(QLatin1Char('/'), QLatin1Char('-'));
    return id;
}

std::optional<DesktopEntry> readDesktopEntry(const QString &path, const QString &desktopId)
{
    const KeyFilePtr file = loadKeyFile(path);
    if (!file)
        return std::nullopt;
    GKeyFile *keys = file.get();
    const char *group = G_KEY_FILE_DESKTOP_GROUP;
    if (takeGString(g_key_file_get_string(keys, group, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr)) !=
        QLatin1String(G_KEY_FILE_DESKTOP_TYPE_APPLICATION))
        return std::nullopt;
    if (g_key_file_get_boolean(keys, group, G_KEY_FILE_DESKTOP_KEY_HIDDEN, nullptr))
        return std::nullopt;

    DesktopEntry entry;
    entry.desktopId = desktopId;
    entry.path = path;
    entry.localizedName = cutToShown(takeGString(
        g_key_file_get_locale_string(keys, group, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr, nullptr)));
    entry.name = cutToShown(
        takeGString(g_key_file_get_string(keys, group, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr)));
    if (entry.localizedName.isEmpty())
        entry.localizedName = cutToShown(QFileInfo(path).completeBaseName());
    entry.comment = cutToShown(takeGString(g_key_file_get_locale_string(
        keys, group, G_KEY_FILE_DESKTOP_KEY_COMMENT, nullptr, nullptr)));
    entry.startupWMClass = takeGString(
        g_key_file_get_string(keys, group, G_KEY_FILE_DESKTOP_KEY_STARTUP_WM_CLASS, nullptr));
    entry.icon = takeGString(g_key_file_get_locale_string(keys, group, G_KEY_FILE_DESKTOP_KEY_ICON,
                                                          nullptr, nullptr))
                     .trimmed();
    bool runnable = true;
    for (const char *key : {G_KEY_FILE_DESKTOP_KEY_TRY_EXEC, G_KEY_FILE_DESKTOP_KEY_EXEC}) {
        const QString line = takeGString(g_key_file_get_string(keys, group, key, nullptr));
        if (std::strcmp(key, G_KEY_FILE_DESKTOP_KEY_EXEC) == 0)
            entry.exec = line;
        bool found = false;
        const QString program = programPath(line, found);
        runnable = runnable && (found || line.trimmed().isEmpty());
        if (!program.isEmpty() && !entry.programs.contains(program))
            entry.programs.append(program);
    }
    entry.noDisplay =
        g_key_file_get_boolean(keys, group, G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY, nullptr);
    entry.shownInMenus = runnable && meantForCurrentDesktop(keys) && !entry.noDisplay;
    entry.settings =
        takeGStrv(g_key_file_get_string_list(keys, group, G_KEY_FILE_DESKTOP_KEY_CATEGORIES,
                                             nullptr, nullptr))
            .contains(QLatin1String("Settings"));
    return entry;
}

std::vector<DesktopEntry> scanDesktopEntries(const QStringList &applicationFolders)
{
    std::vector<DesktopEntry> entries;
    QSet<QString> takenIds;
    for (const QString &folder : applicationFolders) {
        const QDir root(folder);
        QStringList files;
        // Matched by suffix, not by a name filter: a filter is a regular
        // expression, and its engine and compiled code would stay loaded.
        QDirIterator it(folder, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (const QString file = it.next(); file.endsWith(QLatin1String(".desktop")))
                files.append(file);
        std::sort(files.begin(), files.end());
        for (const QString &file : files) {
            const QString id = desktopIdForRelativePath(root.relativeFilePath(file));
            if (takenIds.contains(id))
                continue;
            takenIds.insert(id);
            if (auto entry = readDesktopEntry(QDir::cleanPath(file), id))
                entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

} // namespace nudgewatch
