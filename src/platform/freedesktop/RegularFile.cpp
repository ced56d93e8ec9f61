#include "platform/freedesktop/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

bool isSaneRegularFile(const struct stat &status, qint64 maximumSize)
{
    return S_ISREG(status.st_mode) && status.st_size >= 0 && status.st_size <= maximumSize;
}

} // namespace

bool isReadableRegularFile(const QString &path, qint64 maximumSize)
{
    struct stat status {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0 &&
           isSaneRegularFile(status, maximumSize);
}

std::optional<QByteArray> readRegularFile(const QString &path, qint64 maximumSize)
{
    if (path.isEmpty())
        return std::nullopt;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &status) == 0 && isSaneRegularFile(status, maximumSize)) {
        // Read to the end, never past the limit: the file may grow meanwhile.
        QByteArray data(qsizetype(status.st_size) + 1, Qt::Uninitialized);
        qsizetype filled = 0;
        while (filled < data.size()) {
            const ssize_t n = ::read(fd, data.data() + filled, size_t(data.size() - filled));
            if (n == 0)
                break;
            if (n < 0) {
                filled = -1;
                break;
            }
            filled += n;
        }
        if (filled >= 0 && filled <= maximumSize) {
            data.truncate(filled);
            bytes = std::move(data);
        }
    }
    ::close(fd);
    return bytes;
}

} // namespace nudgewatch
