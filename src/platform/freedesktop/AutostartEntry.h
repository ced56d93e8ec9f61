#pragma once

#include <QString>

#include <optional>

namespace nudgewatch {

// One argument of a desktop entry's Exec line, quoted and escaped so that the
// desktop starts exactly this program, whatever characters its path holds.
// None for an argument no Exec line can carry (control characters).
std::optional<QString> desktopExecArgument(const QString &argument);

// The option the autostart entry starts the program with: started at login it
// comes up quietly, with the tray and the reminders but no window.
inline constexpr const char *autostartOption = "autostart";

// The text of the autostart entry that starts `executable` at login; none when
// the path cannot be written into an entry.
std::optional<QString> autostartEntryText(const QString &executable);

// "Start at login": the program's entry in the user's autostart folder
// (~/.config/autostart).
class AutostartEntry {
public:
    static constexpr const char *fileName = "nudgewatch.desktop";

    // `directory` is the autostart folder, `executable` the program to start.
    AutostartEntry(QString directory, QString executable);
    // The user's folder (XDG_CONFIG_HOME/autostart) and this program.
    static AutostartEntry forCurrentUser();

    QString filePath() const;
    // The entry exists and is not switched off (Hidden=true).
    bool isEnabled() const;
    // Writes or removes the entry. False when the folder or file cannot be written.
    bool setEnabled(bool enabled);

private:
    QString m_directory;
    QString m_executable;
};

} // namespace nudgewatch
