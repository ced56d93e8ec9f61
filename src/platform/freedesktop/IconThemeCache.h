#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include <vector>

namespace nudgewatch {

// The index GTK keeps in an icon theme's folder (icon-theme.cache, written by
// gtk-update-icon-cache): which of the theme's subfolders hold an icon of a
// given name. One hash look-up replaces a stat of every subfolder, and hicolor
// alone lists hundreds. A look-up reads the few records it needs from the open
// file, each checked against the file's size: neither a hostile index nor one
// cut short while open can make the program read out of bounds or fault.
class IconThemeCache {
public:
    // The file suffixes an icon has in one subfolder, in the order they are tried.
    enum Suffix : unsigned { Png = 1u << 2, Svg = 1u << 1, Xpm = 1u << 0 };
    struct Location {
        QString subfolder; // relative to the theme's folder, e.g. "48x48/apps"
        unsigned suffixes = 0;
    };

    ~IconThemeCache();
    IconThemeCache(const IconThemeCache &) = delete;
    IconThemeCache &operator=(const IconThemeCache &) = delete;

    // The cache of the theme folder `folder`; none when there is no cache, when
    // it is older than the folder (icons were added since) or not one this
    // reader knows.
    static std::unique_ptr<IconThemeCache> open(const QString &folder);

    // Where the icon `name` is; empty when the theme holds none by that name.
    QList<Location> find(const QString &name) const;

    // Whether another reader of the theme folder's cache (Qt's) would find an
    // end to every hash chain: true when there is no cache, or one too old to
    // be read at all; false for a cache that is no regular file or not one
    // this reader knows.
    static bool isSound(const QString &folder);

private:
    IconThemeCache(int fd, quint64 size);
    bool readHeader(); // false when the tables do not fit the file
    // Whether every bucket's chain ends inside the file, no record visited twice.
    bool chainsEnd() const;
    // Shorter at the file's end. A vector, not a QByteArray: an empty one points
    // at no shared byte, which compilers would take for a one-byte buffer read past.
    std::vector<char> bytes(quint64 offset, quint64 length) const;
    // A big-endian number, or none when it lies outside the file.
    std::optional<quint32> number32(quint64 offset) const;
    // The NUL-terminated text at `offset`; null when it does not end soon, or in the file.
    QByteArray text(quint64 offset) const;

    int m_fd;
    quint64 m_size;
    quint32 m_hashOffset = 0, m_buckets = 0;
    QStringList m_subfolders;
};

} // namespace nudgewatch
