#include "platform/linux/DesktopEntryScanner.h"

#include "platform/linux/KeyFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <glib.h>

#include <algorithm>
#include <memory>

namespace nudgewatch {

namespace {

// The canonical path of the program a command line starts, when it can be found.
QString programPath(const QString &commandLine)
{
    if (commandLine.trimmed().isEmpty())
        return {};
    gchar **argv = nullptr;
    // Only splits the line into words; nothing is run.
    if (!g_shell_parse_argv(commandLine.toUtf8().constData(), nullptr, &argv, nullptr))
        return {};
    QString program = QString::fromUtf8(argv[0]);
    g_strfreev(argv);
    if (!program.startsWith(QLatin1Char('/'))) {
        program = takeGString(g_find_program_in_path(QFile::encodeName(program).constData()));
        if (program.isEmpty())
            return {};
    }
    const QString canonical = QFileInfo(program).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(program) : canonical;
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
    entry.localizedName = takeGString(
        g_key_file_get_locale_string(keys, group, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr, nullptr));
    if (entry.localizedName.isEmpty())
        entry.localizedName = QFileInfo(path).completeBaseName();
    entry.startupWMClass = takeGString(
        g_key_file_get_string(keys, group, G_KEY_FILE_DESKTOP_KEY_STARTUP_WM_CLASS, nullptr));
    entry.icon = takeGString(
        g_key_file_get_locale_string(keys, group, G_KEY_FILE_DESKTOP_KEY_ICON, nullptr, nullptr));
    for (const char *key : {G_KEY_FILE_DESKTOP_KEY_TRY_EXEC, G_KEY_FILE_DESKTOP_KEY_EXEC}) {
        const QString program =
            programPath(takeGString(g_key_file_get_string(keys, group, key, nullptr)));
        if (!program.isEmpty() && !entry.programs.contains(program))
            entry.programs.append(program);
    }
    return entry;
}

std::vector<DesktopEntry> scanDesktopEntries(const QStringList &applicationFolders)
{
    std::vector<DesktopEntry> entries;
    QSet<QString> takenIds;
    for (const QString &folder : applicationFolders) {
        const QDir root(folder);
        QStringList files;
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
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
