#include "platform/xfce/XfcePreferredApplications.h"

#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/LauncherScript.h"
#include "platform/freedesktop/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace nudgewatch {

namespace {

const QStringList kinds = {QStringLiteral("TerminalEmulator"), QStringLiteral("WebBrowser"),
                           QStringLiteral("FileManager"), QStringLiteral("MailReader")};

QStringList stringList(GKeyFile *keys, const char *key)
{
    QStringList list = takeGStrv(
        g_key_file_get_string_list(keys, G_KEY_FILE_DESKTOP_GROUP, key, nullptr, nullptr));
    for (QString &value : list)
        value = value.trimmed();
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

std::unique_ptr<LauncherEntries> XfcePreferredApplications::forCurrentUser()
{
    return std::make_unique<XfcePreferredApplications>(
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation),
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation),
        [](const QString &command) {
            const QString found = QStandardPaths::findExecutable(command);
            return found.isEmpty() ? found : QFileInfo(found).canonicalFilePath();
        });
}

std::optional<QString> XfcePreferredApplications::launchedKind(const DesktopEntry &entry)
{
    // Most entries are not launchers: those are not parsed.
    if (!entry.exec.contains(QLatin1String("exo-open")))
        return std::nullopt;
    const QStringList words = commandLineWords(entry.exec).value_or(QStringList());
    if (words.size() < 3 || QFileInfo(words[0]).fileName() != QLatin1String("exo-open") ||
        words[1] != QLatin1String("--launch") || !kinds.contains(words[2]))
        return std::nullopt;
    return words[2];
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
        const QStringList words = commands.isEmpty()
                                      ? QStringList()
                                      : commandLineWords(commands[0]).value_or(QStringList());
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

qsizetype XfcePreferredApplications::launchedEntry(const DesktopEntry &launcher,
                                                   const std::vector<DesktopEntry> &entries) const
{
    const auto runners = [&](const QString &program) {
        QList<const DesktopEntry *> found;
        for (const DesktopEntry &entry : entries)
            if (entry.path != launcher.path && entry.programs.contains(program))
                found.append(&entry);
        return found;
    };
    // Debian's choice (x-terminal-emulator) may end in a wrapper script that
    // starts the application: followed to the program an entry runs.
    const QString program = applicationProgram(
        preferredProgram(*launchedKind(launcher)),
        [&](const QString &candidate) { return !runners(candidate).isEmpty(); }, m_findProgram);
    const DesktopEntry *own = ownEntry(runners(program), {QFileInfo(program).fileName()});
    return own ? own - entries.data() : -1;
}

void XfcePreferredApplications::offerLaunchedApplications(std::vector<DesktopEntry> &entries) const
{
    for (DesktopEntry &launcher : entries) {
        if (!launcher.shownInMenus || !launchedKind(launcher))
            continue;
        launcher.shownInMenus = false;
        if (const qsizetype launched = launchedEntry(launcher, entries); launched >= 0)
            entries[size_t(launched)].shownInMenus = true;
    }
}

QHash<QString, QString>
XfcePreferredApplications::standIns(const QStringList &trackedPaths,
                                    const std::vector<DesktopEntry> &entries) const
{
    QHash<QString, QString> launcherFor;
    for (const QString &path : trackedPaths) {
        const auto launcher = std::ranges::find(entries, path, &DesktopEntry::path);
        if (launcher == entries.end() || !launchedKind(*launcher))
            continue;
        const qsizetype launched = launchedEntry(*launcher, entries);
        // An application tracked itself counts as itself.
        if (launched >= 0 && !trackedPaths.contains(entries[size_t(launched)].path))
            launcherFor.insert(entries[size_t(launched)].path, path);
    }
    return launcherFor;
}

} // namespace nudgewatch
