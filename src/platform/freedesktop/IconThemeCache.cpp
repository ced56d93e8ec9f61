#include "platform/freedesktop/IconThemeCache.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

constexpr quint32 none = 0xffffffffu;
// hicolor's and Adwaita's caches are well under a megabyte.
constexpr qint64 largestCache = 64 << 20;
constexpr qint64 headerSize = 12;
// Icon and folder names are short; a longer one is no name.
constexpr quint64 longestName = 1024;

// GTK's hash of an icon name: over its bytes as signed chars.
quint32 nameHash(const QByteArray &name)
{
    quint32 hash = 0;
    for (const char c : name)
        hash = (hash << 5) - hash + quint32(qint32(static_cast<signed char>(c)));
    return hash;
}

// The number at `at` in bytes the caller has checked hold it.
quint32 bigEndian32(const std::vector<char> &data, size_t at)
{
    return qFromBigEndian<quint32>(data.data() + at);
}

quint16 bigEndian16(const std::vector<char> &data, size_t at)
{
    return qFromBigEndian<quint16>(data.data() + at);
}

} // namespace

IconThemeCache::IconThemeCache(int fd, quint64 size) : m_fd(fd), m_size(size) {}

IconThemeCache::~IconThemeCache()
{
    ::close(m_fd);
}

std::unique_ptr<IconThemeCache> IconThemeCache::open(const QString &folder)
{
    const QByteArray folderPath = QFile::encodeName(folder);
    const QByteArray path = folderPath + "/icon-theme.cache";
    struct stat folderStatus {};
    if (::stat(folderPath.constData(), &folderStatus) != 0)
        return nullptr;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    // A cache older than its folder misses what was installed since.
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < headerSize ||
        status.st_size > largestCache || status.st_mtime < folderStatus.st_mtime) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<IconThemeCache> cache(new IconThemeCache(fd, quint64(status.st_size)));
    return cache->readHeader() ? std::move(cache) : nullptr;
}

std::vector<char> IconThemeCache::bytes(quint64 offset, quint64 length) const
{
    if (offset >= m_size)
        return {};
    length = std::min(length, m_size - offset);
    std::vector<char> data(static_cast<size_t>(length));
    const ssize_t got = ::pread(m_fd, data.data(), size_t(length), off_t(offset));
    data.resize(got < 0 ? 0 : size_t(got)); // shorter: the file was cut since
    return data;
}

std::optional<quint32> IconThemeCache::number32(quint64 offset) const
{
    const std::vector<char> data = bytes(offset, 4);
    return data.size() == 4 ? std::optional(bigEndian32(data, 0)) : std::nullopt;
}

QByteArray IconThemeCache::text(quint64 offset) const
{
    const std::vector<char> data = bytes(offset, longestName);
    const auto end = std::find(data.begin(), data.end(), '\0');
    return end == data.end() ? QByteArray() : QByteArray(data.data(), end - data.begin());
}

bool IconThemeCache::readHeader()
{
    const std::vector<char> header = bytes(0, headerSize);
    // Version 1.x: the layout below has not changed since the format began.
    if (header.size() != size_t(headerSize) || bigEndian16(header, 0) != 1)
        return false;
    m_hashOffset = bigEndian32(header, 4);
    const quint32 folderListOffset = bigEndian32(header, 8);
    const auto buckets = number32(m_hashOffset);
    const auto folders = number32(folderListOffset);
    if (!buckets || !folders || *buckets == 0 || *folders > 0xffff)
        return false;
    m_buckets = *buckets;
    // The bucket table lies wholly inside the file; the folder names are read
    // once, as every look-up names them.
    if (!number32(m_hashOffset + 4 * quint64(m_buckets)))
        return false;
    const std::vector<char> offsets = bytes(folderListOffset + 4, 4 * quint64(*folders));
    if (offsets.size() != 4 * size_t(*folders))
        return false;
    for (quint32 i = 0; i < *folders; ++i)
        m_subfolders.append(QString::fromUtf8(text(bigEndian32(offsets, 4 * size_t(i)))));
    return true;
}

QList<IconThemeCache::Location> IconThemeCache::find(const QString &name) const
{
    const QByteArray wanted = name.toUtf8();
    QList<Location> found;
    auto icon = number32(m_hashOffset + 4 + 4 * quint64(nameHash(wanted) % m_buckets));
    // Each icon record is 12 bytes: a chain longer than the file could hold loops.
    for (quint64 steps = m_size / 12; icon && *icon != none && steps > 0; --steps) {
        const std::vector<char> record = bytes(*icon, 12);
        if (record.size() != 12)
            return {};
        if (text(bigEndian32(record, 4)) == wanted) {
            const quint64 imagesOffset = bigEndian32(record, 8);
            const quint64 images = number32(imagesOffset).value_or(0);
            // Each image is 8 bytes: never more than what is left of the file.
            const std::vector<char> list =
                bytes(imagesOffset + 4, 8 * std::min(images, m_size / 8));
            for (size_t at = 0; at + 8 <= list.size(); at += 8) {
                const quint16 folder = bigEndian16(list, at);
                const unsigned suffixes = bigEndian16(list, at + 2) & (Png | Svg | Xpm);
                if (folder < m_subfolders.size() && !m_subfolders[folder].isEmpty() && suffixes)
                    found.append({m_subfolders[folder], suffixes});
            }
            return found;
        }
        icon = bigEndian32(record, 0);
    }
    return found;
}

bool IconThemeCache::chainsEnd() const
{
    const std::vector<char> data = bytes(0, m_size);
    if (data.size() != m_size)
        return false;
    // Each icon record (12 bytes) lies on one chain: all chains together hold
    // no more records than the file has room for.
    quint64 records = m_size / 12;
    for (quint64 bucket = 0; bucket < m_buckets; ++bucket) {
        for (quint64 icon = bigEndian32(data, size_t(m_hashOffset + 4 + 4 * bucket)); icon != none;
             icon = bigEndian32(data, size_t(icon))) {
            if (records-- == 0 || icon + 12 > m_size)
                return false;
        }
    }
    return true;
}

bool IconThemeCache::isSound(const QString &folder)
{
    const QByteArray folderPath = QFile::encodeName(folder);
    struct stat cacheStatus {};
    struct stat folderStatus {};
    if (::stat((folderPath + "/icon-theme.cache").constData(), &cacheStatus) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    if (!S_ISREG(cacheStatus.st_mode))
        return false;
    if (::stat(folderPath.constData(), &folderStatus) == 0 &&
        cacheStatus.st_mtime < folderStatus.st_mtime)
        return true;
    const std::unique_ptr<IconThemeCache> cache = open(folder);
    return cache && cache->chainsEnd();
}

} // namespace nudgewatch
