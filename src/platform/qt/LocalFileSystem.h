#pragma once

#include "core/FileSystem.h"

#include <QFileInfo>

namespace nudgewatch {

class LocalFileSystem final : public FileSystem {
public:
    bool exists(const QString &path) const override
    {
        return !path.isEmpty() && QFileInfo::exists(path);
    }
};

} // namespace nudgewatch
