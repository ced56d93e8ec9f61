#pragma once

#include <QString>

namespace nudgewatch {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for an existing file or directory.
    virtual bool exists(const QString &path) const = 0;
};

} // namespace nudgewatch
