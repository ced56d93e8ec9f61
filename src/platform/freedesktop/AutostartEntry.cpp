#include "platform/freedesktop/AutostartEntry.h"

#include "platform/freedesktop/KeyFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace nudgewatch {

namespace {

// Characters that make an Exec argument need quotes.
bool needsQuotes(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

} // namespace

std::optional<QString> desktopExecArgument(const QString &argument)
{
    if (argument.isEmpty())
        return std::nullopt;
    for (const QChar c : argument)
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    QString quoted;
    const bool quote = std::any_of(argument.begin(), argument.end(), needsQuotes);
    for (const QChar c : argument) {
        // Inside quotes these four are escaped with a backslash.
        if (quote && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                      c == QLatin1Char('\\')))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    if (quote)
        quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    // A literal percent sign is doubled: it starts field codes. The key file
    // escapes backslashes once more, as in every string value.
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return quoted;
}

std::optional<QString> autostartEntryText(const QString &executable)
{
    const std::optional<QString> exec = desktopExecArgument(executable);
    if (!exec)
        return std::nullopt;
    const KeyFilePtr entry(g_key_file_new());
    const std::pair<const char *, QString> keys[] = {
        {G_KEY_FILE_DESKTOP_KEY_TYPE, QStringLiteral(G_KEY_FILE_DESKTOP_TYPE_APPLICATION)},
        {G_KEY_FILE_DESKTOP_KEY_NAME, QStringLiteral("Nudgewatch")},
        {G_KEY_FILE_DESKTOP_KEY_COMMENT,
         QStringLiteral("Reminds you of the applications you mean to use")},
        {G_KEY_FILE_DESKTOP_KEY_EXEC,
         *exec + QStringLiteral(" --") + QLatin1String(autostartOption)},
        {G_KEY_FILE_DESKTOP_KEY_ICON, QStringLiteral("nudgewatch")},
        {G_KEY_FILE_DESKTOP_KEY_TERMINAL, QStringLiteral("false")},
        {"X-GNOME-Autostart-enabled", QStringLiteral("true")}};
    for (const auto &[key, value] : keys)
        g_key_file_set_string(entry.get(), G_KEY_FILE_DESKTOP_GROUP, key,
                              value.toUtf8().constData());
    return takeGString(g_key_file_to_data(entry.get(), nullptr, nullptr));
}

AutostartEntry::AutostartEntry(QString directory, QString executable)
    : m_directory(std::move(directory)), m_executable(std::move(executable))
{
}

AutostartEntry AutostartEntry::forCurrentUser()
{
    return AutostartEntry(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                              QStringLiteral("/autostart"),
                          QCoreApplication::applicationFilePath());
}

QString AutostartEntry::filePath() const
{
    return m_directory + QLatin1Char('/') + QLatin1String(fileName);
}

bool AutostartEntry::isEnabled() const
{
    const KeyFilePtr file = loadKeyFile(filePath());
    if (!file)
        return false;
    const char *group = G_KEY_FILE_DESKTOP_GROUP;
    const bool hidden =
        g_key_file_get_boolean(file.get(), group, G_KEY_FILE_DESKTOP_KEY_HIDDEN, nullptr);
    // A key that is absent reads as false here, so "enabled" is asked the other way round.
    GError *error = nullptr;
    const bool enabled =
        g_key_file_get_boolean(file.get(), group, "X-GNOME-Autostart-enabled", &error);
    const bool switchedOff = error == nullptr && !enabled;
    g_clear_error(&error);
    return !hidden && !switchedOff;
}

bool AutostartEntry::setEnabled(bool enabled)
{
    if (!enabled) {
        QFile file(filePath());
        return !file.exists() || file.remove();
    }
    const std::optional<QString> text = autostartEntryText(m_executable);
    if (!text || !QDir().mkpath(m_directory))
        return false;
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text->toUtf8());
    return file.commit();
}

} // namespace nudgewatch
