#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace nudgewatch {

// What in a settings file QSettings would not read back as it stands, said
// for the user with the line it is on; none when nothing is found. QSettings
// itself only says "format error", or reads bytes that are not UTF-8 as
// U+FFFD and would save a different path than the one in the file.
struct SettingsFileProblem {
    QString description;
    bool textIsNotUtf8 = false;
};
std::optional<SettingsFileProblem> settingsFileProblem(QByteArrayView content);

} // namespace nudgewatch
