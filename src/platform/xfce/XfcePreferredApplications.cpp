#include "platform/xfce/XfcePreferredApplications.h"

#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace nudgewatch {

namespace {

const QStringList kinds = {QStringLiteral("TerminalEmulator"), QStringLiteral("WebBrowser"),
                           QStringLiteral("FileManager"), QStringLiteral("MailReader")};

// The words of a command line; nothing is run.
QStringList commandWords(const QString &commandLine)
{
    gchar **argv = nullptr;
    if (!g_shell_parse_argv(commandLine.toUtf8().constData(), nullptr, &argv, nullptr))
        return {};
    QStringList words;
    for (gchar **word = argv; *word != nullptr; ++word)
        words.append(QString::fromUtf8(*word));
    g_strfreev(argv);
    return words;
}

QStringList stringList(GKeyFile *keys, const char *key)
{
    gchar **values =
        g_key_file_get_string_list(keys, G_KEY_FILE_DESKTOP_GROUP, key, nullptr, nullptr);
    QStringList list;
    for (gchar **value = values; value != nullptr && *value != nullptr; ++value)
        list.append(QString::fromUtf8(*value).trimmed());
    g_strfreev(values);
    list.removeAll(QString());
    return list;
}

} // namespace

XfcePreferredApplications::XfcePreferredApplications(QStringList configFolders,
                                                     QStringList dataFolders,
                                                     ProgramLookup findProgram)
    : m_configFolders(std::move(configFolders)), m_dataFolders(std::move(dataFolders)),
      m_findProgram(std::move(findProgram))
{
}

XfcePreferredApplications XfcePreferredApplications::forCurrentUser()
{
    return {QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation),
            QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation),
            [](const QString &command) {
                const QString found = QStandardPaths::findExecutable(command);
                return found.isEmpty() ? found : QFileInfo(found).canonicalFilePath();
            }};
}

std::optional<QString> XfcePreferredApplications::launchedKind(const DesktopEntry &entry)
{
    const bool runsExoOpen = std::any_of(entry.programs.begin(), entry.programs.end(), [](auto &p) {
        return QFileInfo(p).fileName() == QLatin1String("exo-open");
    });
    if (!runsExoOpen)
        return std::nullopt;
    const KeyFilePtr keys = loadKeyFile(entry.path);
    if (!keys)
        return std::nullopt;
    const QStringList words = commandWords(takeGString(g_key_file_get_string(
        keys.get(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr)));
    const qsizetype launch = words.indexOf(QLatin1String("--launch"));
    if (launch < 1 || launch + 1 >= words.size() || !kinds.contains(words[launch + 1]))
        return std::nullopt;
    return words[launch + 1];
}

QString XfcePreferredApplications::helperName(const QString &kind) const
{
    for (const QString &folder : m_configFolders) {
        const auto text =
            readRegularFile(folder + QStringLiteral("/xfce4/helpers.rc"), maximumEntrySize);
        if (!text)
            continue;
        // Xfce writes its keys outside any group, which GLib's key file wants.
        const QByteArray data = QByteArrayLiteral("[helpers]\n") + *text;
        const KeyFilePtr keys(g_key_file_new());
        if (!g_key_file_load_from_data(keys.get(), data.constData(), gsize(data.size()),
                                       G_KEY_FILE_NONE, nullptr))
            continue;
        const QString name = takeGString(
            g_key_file_get_string(keys.get(), "helpers", kind.toUtf8().constData(), nullptr));
        if (!name.trimmed().isEmpty())
            return name.trimmed();
    }
    return {};
}

QString XfcePreferredApplications::preferredProgram(const QString &kind) const
{
    const QString helper = helperName(kind);
    // A name, never a path: it is looked up only under the helpers folders.
    if (helper.isEmpty() || helper.contains(QLatin1Char('/')))
        return {};
    for (const QString &folder : m_dataFolders) {
        const KeyFilePtr keys =
            loadKeyFile(folder + QStringLiteral("/xfce4/helpers/") + helper + ".desktop");
        if (!keys)
            continue;
        const QStringList commands = stringList(keys.get(), "X-XFCE-Commands");
        const QStringList words = commands.isEmpty() ? QStringList() : commandWords(commands[0]);
        if (words.isEmpty())
            return {};
        // %B: the first of the helper's programs that is installed.
        if (words[0] != QLatin1String("%B"))
            return m_findProgram(words[0]);
        for (const QString &binary : stringList(keys.get(), "X-XFCE-Binaries")) {
            if (const QString found = m_findProgram(binary); !found.isEmpty())
                return found;
        }
        return {};
    }
    return {};
}

void XfcePreferredApplications::offerLaunchedApplications(std::vector<DesktopEntry> &entries) const
{
    for (DesktopEntry &launcher : entries) {
        if (!launcher.shownInMenus)
            continue;
        const std::optional<QString> kind = launchedKind(launcher);
        if (!kind)
            continue;
        launcher.shownInMenus = false;
        const QString program = preferredProgram(*kind);
        if (program.isEmpty())
            continue;
        for (DesktopEntry &entry : entries) {
            if (&entry != &launcher && entry.programs.contains(program)) {
                entry.shownInMenus = true;
                break;
            }
        }
    }
}

} // namespace nudgewatch
