#pragma once

#include <QString>

namespace nudgewatch {

// Lexical standard form of an absolute entry path ("." and ".." resolved, no
// doubled or trailing slashes); empty for a relative or empty path.
QString standardizedPath(const QString &path);

} // namespace nudgewatch
