#pragma once

#include "platform/session/LauncherEntries.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nudgewatch {

// Xfce's menu entries "Terminal Emulator", "Web Browser", "File Manager" and
// "Mail Reader" run `exo-open --launch <kind>`, which starts the user's
// preferred application of that kind: the windows are that application's,
// never the entry's, so tracking the entry itself would never see it in front.
// Each such entry stands for the entry of the application it launches, or is
// not offered when that cannot be told. The preferred applications are Xfce's
// own: the kind's helper named in xfce4/helpers.rc (the user's, then the
// system's), whose description under xfce4/helpers/ names the command.
class XfcePreferredApplications final : public LauncherEntries {
public:
    // Finds a command in PATH; the canonical path of the program, or empty.
    using ProgramLookup = std::function<QString(const QString &command)>;

    // The XDG config and data folders, most important first.
    XfcePreferredApplications(QStringList configFolders, QStringList dataFolders,
                              ProgramLookup findProgram);
    // The folders and PATH of the program's environment.
    static std::unique_ptr<LauncherEntries> forCurrentUser();

    // The launched application is found among the entries by its program.
    void offerLaunchedApplications(std::vector<DesktopEntry> &entries) const override;
    QHash<QString, QString> standIns(const QStringList &trackedPaths,
                                     const std::vector<DesktopEntry> &entries) const override;

    // The kind an entry launches (e.g. "TerminalEmulator"), when it is a launcher.
    static std::optional<QString> launchedKind(const DesktopEntry &entry);
    // The canonical path of the preferred program of that kind; empty when unknown.
    QString preferredProgram(const QString &kind) const;

private:
    QString helperName(const QString &kind) const;
    // The index in `entries` of the application a launcher starts; -1 when unknown.
    qsizetype launchedEntry(const DesktopEntry &launcher,
                            const std::vector<DesktopEntry> &entries) const;

    QStringList m_configFolders;
    QStringList m_dataFolders;
    ProgramLookup m_findProgram;
};

} // namespace nudgewatch
