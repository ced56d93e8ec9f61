#include "platform/gnome/ShellExtensionFiles.h"

#include "platform/freedesktop/PlatformLog.h"
#include "platform/freedesktop/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace nudgewatch {

namespace {

constexpr qint64 largestMetadata = 64 * 1024;

// A path that is a link, or below a link the program would create folders
// through, is someone else's arrangement.
bool isLink(const QString &path)
{
    return QFileInfo(path).isSymLink();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

ShellExtensionFiles::ShellExtensionFiles(QString extensionsFolder)
    : m_folder(std::move(extensionsFolder))
{
}

QString ShellExtensionFiles::userExtensionsFolder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // By hand: Qt 6.4's QStandardPaths takes a relative XDG_DATA_HOME, which the XDG rules ignore.
    if (!QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/gnome-shell/extensions");
}

shellExtension::Facts::Folder ShellExtensionFiles::state() const
{
    using Folder = shellExtension::Facts::Folder;
    const QFileInfo target(folder());
    if (!target.exists() && !target.isSymLink())
        return Folder::Missing;
    return installed() ? Folder::Ours : Folder::Foreign;
}

std::optional<shellExtension::Installed> ShellExtensionFiles::installed() const
{
    const QString metadata = folder() + QStringLiteral("/metadata.json");
    if (isLink(folder()) || !QFileInfo(folder()).isDir() || isLink(metadata))
        return std::nullopt;
    const std::optional<QByteArray> bytes = readRegularFile(metadata, largestMetadata);
    return bytes ? shellExtension::parseMetadata(*bytes) : std::nullopt;
}

QString ShellExtensionFiles::obstacle() const
{
    const QString parent = QFileInfo(m_folder).path();
    for (const QString &path : {parent, m_folder, folder()}) {
        const QFileInfo info(path);
        if (info.isSymLink())
            return shellText("a link to %1 is at %2").arg(info.symLinkTarget(), path);
        if (path != folder() && info.exists() && !info.isDir())
            return shellText("a file that is not a folder is at %1").arg(path);
    }
    const QFileInfo target(folder());
    if (!target.exists())
        return {};
    if (!target.isDir())
        return shellText("a file is at %1").arg(folder());
    if (!installed())
        return shellText("a folder that is not Nudgewatch's extension is at %1").arg(folder());
    return {};
}

QString ShellExtensionFiles::install(shellExtension::Format format, int shellMajor) const
{
    using Folder = shellExtension::Facts::Folder;
    if (const QString inTheWay = obstacle(); !inTheWay.isEmpty())
        return inTheWay;
    const Folder before = state();
    if (!QDir().mkpath(m_folder))
        return QStringLiteral("cannot create %1").arg(m_folder);

    QTemporaryDir staging(m_folder + QStringLiteral("/.nudgewatch-XXXXXX"));
    if (!staging.isValid())
        return staging.errorString();
    QFile script(shellExtension::scriptResource(format));
    if (!script.open(QIODevice::ReadOnly) ||
        !writeFile(staging.filePath(QStringLiteral("extension.js")), script.readAll()) ||
        !writeFile(staging.filePath(QStringLiteral("metadata.json")),
                   shellExtension::metadataFor(format, shellMajor)))
        return QStringLiteral("cannot write into %1").arg(staging.path());
    QFile::setPermissions(staging.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther);

    const QByteArray from = QFile::encodeName(staging.path());
    const QByteArray to = QFile::encodeName(folder());
    if (before == Folder::Missing) {
        // Never over whatever appeared there meanwhile.
        if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) != 0)
            return QStringLiteral("cannot move the files into place: %1").arg(systemError());
        qCDebug(lcPlatform) << "installed the GNOME Shell extension in" << folder();
        return {};
    }
    // The old copy comes out in the same step the new one goes in, and is
    // removed from the staging name afterwards.
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) != 0)
        return QStringLiteral("cannot move the files into place: %1").arg(systemError());
    if (isLink(staging.path()))
        QFile::remove(staging.path()); // swapped in by someone else: only the link goes
    else
        staging.remove();
    qCDebug(lcPlatform) << "updated the GNOME Shell extension in" << folder();
    return {};
}

} // namespace nudgewatch
