#pragma once

// Files the tests lay out: written whole with their folders, read back whole,
// and GTK's icon index in its smallest form.

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace nudgewatch::fakes {

// Writes `bytes` to `path`, making its folders first; whether all of it was written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// The whole file, or nothing where it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// GIO reads `home` and `dirs` as the XDG data folders, once per process: set
// before anything asks it. The desktop entries' fixtures name programs in
// their bin folder, found on PATH as installed ones are: GIO lists only
// entries whose program is installed.
inline void useDesktopEntries(const QString &home, const QStringList &dirs)
{
    qputenv("PATH", NUDGEWATCH_FIXTURES "/desktop-entries/bin:" + qgetenv("PATH"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dirs.join(QLatin1Char(':'))));
}

// GTK's icon index (icon-theme.cache) holding one icon, "nw-icon", as a PNG in
// "48x48/apps"; `next` is the offset of the next icon in its hash chain.
inline QByteArray smallestIconIndex(quint32 next = 0xffffffff)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);                 // big-endian, as the format is
    out << quint16(1) << quint16(0) << quint32(12) << quint32(44); // version, hash, folders
    out << quint32(1) << quint32(20);                              // 1 bucket: the icon at 20
    out << next << quint32(63) << quint32(32);                     // next, name, images
    out << quint32(1) << quint16(0) << quint16(4) << quint32(0);   // folder 0, PNG
    out << quint32(1) << quint32(52);                              // 1 folder, its name
    bytes.append("48x48/apps\0nw-icon\0", 19);
    return bytes;
}

} // namespace nudgewatch::fakes
