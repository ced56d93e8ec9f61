#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace nudgewatch {

// The index GTK keeps in an icon theme's folder (icon-theme.cache, written by
// gtk-update-icon-cache): which of the theme's subfolders hold an icon of a
// given name. One hash look-up replaces a stat of every subfolder, and hicolor
// alone lists hundreds. The file is mapped, not read: only the pages a look-up
// touches are loaded, and every offset in it is checked against its size.
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

private:
    IconThemeCache(const void *map, qsizetype size);
    bool readHeader(); // false when the tables do not fit the file
    // A big-endian number, or none when it lies outside the file.
    std::optional<quint32> number32(quint64 offset) const;
    std::optional<quint16> number16(quint64 offset) const;
    // The NUL-terminated text at `offset`, or null when it does not end in the file.
    QByteArrayView text(quint64 offset) const;

    const void *m_map;
    QByteArrayView m_bytes;
    quint32 m_hashOffset = 0, m_buckets = 0, m_folderListOffset = 0, m_folders = 0;
};

} // namespace nudgewatch
