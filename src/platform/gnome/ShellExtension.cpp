#include "platform/gnome/ShellExtension.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace nudgewatch::shellExtension {

namespace {

constexpr int firstLegacyShell = 40;
constexpr int firstModuleShell = 45;
constexpr int lastKnownShell = 49;

} // namespace

QString shellText(const char *text)
{
    return QCoreApplication::translate("GnomeShellTracker", text);
}

std::optional<int> majorVersion(QStringView shellVersion)
{
    qsizetype start = 0;
    while (start < shellVersion.size() && !shellVersion[start].isDigit())
        ++start;
    qsizetype end = start;
    while (end < shellVersion.size() && end - start < 4 && shellVersion[end].isDigit())
        ++end;
    bool ok = false;
    const int major = shellVersion.mid(start, end - start).toInt(&ok);
    return ok ? std::optional(major) : std::nullopt;
}

std::optional<Format> formatFor(int shellMajor)
{
    if (shellMajor < firstLegacyShell)
        return std::nullopt;
    return shellMajor < firstModuleShell ? Format::Legacy : Format::Modules;
}

QString scriptResource(Format format)
{
    return format == Format::Legacy ? QStringLiteral(":/gnome-shell/legacy/extension.js")
                                    : QStringLiteral(":/gnome-shell/modules/extension.js");
}

QByteArray metadataFor(Format format, int shellMajor)
{
    QJsonArray shells;
    const int first = format == Format::Legacy ? firstLegacyShell : firstModuleShell;
    const int last = format == Format::Legacy ? firstModuleShell - 1 : lastKnownShell;
    for (int shell = first; shell <= last; ++shell)
        shells.append(QString::number(shell));
    if (shellMajor > last)
        shells.append(QString::number(shellMajor));
    const QJsonObject metadata{
        {QStringLiteral("uuid"), uuid},
        {QStringLiteral("name"), QStringLiteral("Nudgewatch")},
        {QStringLiteral("description"),
         QStringLiteral("Tells Nudgewatch which application is in front, brings an "
                        "application's window to the front when Nudgewatch opens it, and blurs "
                        "what lies behind Nudgewatch's reminder card.")},
        {QStringLiteral("shell-version"), shells},
        {QStringLiteral("version"), version},
    };
    return QJsonDocument(metadata).toJson();
}

std::optional<Installed> parseMetadata(const QByteArray &json)
{
    const QJsonObject metadata = QJsonDocument::fromJson(json).object();
    if (metadata.value(QStringLiteral("uuid")).toString() != uuid)
        return std::nullopt;
    Installed installed{metadata.value(QStringLiteral("version")).toInt(), {}};
    const QJsonArray shells = metadata.value(QStringLiteral("shell-version")).toArray();
    for (qsizetype i = 0; i < shells.size() && i < 64; ++i) {
        if (const std::optional<int> shell = majorVersion(shells[i].toString()))
            installed.shellVersions.append(*shell);
    }
    return installed;
}

bool needsUpdate(const Installed &installed, std::optional<int> shellMajor)
{
    return installed.version < version ||
           (shellMajor && formatFor(*shellMajor) && !installed.shellVersions.contains(*shellMajor));
}

TrackerStatus statusFor(const Facts &facts)
{
    if (facts.answering)
        return {};
    // Not knowing what is in front, any reminder could be for the application in use.
    if (facts.waiting)
        return {
            false, shellText("Waiting for GNOME Shell to tell which application is in front."), {}};
    const QString install = shellText("Install GNOME Shell Extension");
    if (!facts.supportedShell)
        return {false,
                shellText(
                    "This version of GNOME Shell is too old for Nudgewatch's extension, so "
                    "Nudgewatch cannot see which application is in front and does not remind you."),
                {}};
    if (!facts.setupError.isEmpty())
        return {false,
                shellText("The GNOME Shell extension could not be installed: %1.")
                    .arg(facts.setupError),
                install};
    switch (facts.folder) {
    case Facts::Folder::Foreign:
        return {false,
                shellText("Nudgewatch's GNOME Shell extension cannot be installed: %1. Nudgewatch "
                          "does not replace it. Until it is moved away Nudgewatch cannot see which "
                          "application is in front and does not remind you.")
                    .arg(facts.obstacle.isEmpty()
                             ? shellText("another extension uses its folder (%1)").arg(uuid)
                             : facts.obstacle),
                install};
    case Facts::Folder::Missing:
        return {false,
                shellText(
                    "On GNOME, Nudgewatch needs its GNOME Shell extension to see which application "
                    "is in front. The extension tells Nudgewatch which application is in front, "
                    "nothing else. Until then Nudgewatch does not remind you."),
                install};
    case Facts::Folder::Ours:
        break;
    }
    if (!facts.enabled)
        return {
            false,
            shellText(
                "Nudgewatch's GNOME Shell extension is turned off. Turn on \"Nudgewatch\" in the "
                "Extensions app, or let Nudgewatch turn it on."),
            shellText("Turn On GNOME Shell Extension")};
    if (facts.changedThisRun)
        return {false,
                shellText(
                    "The GNOME Shell extension is installed. Tracking starts after you log out and "
                    "log in again: GNOME Shell loads new extensions only when you log in."),
                {}};
    return {
        false,
        shellText("Nudgewatch's GNOME Shell extension starts after you log out and log in again. "
                  "If it still does not, check \"Nudgewatch\" in the Extensions app."),
        {}};
}

} // namespace nudgewatch::shellExtension
