#pragma once

#include <QProcessEnvironment>
#include <QStringList>

namespace nudgewatch {

// The user's configuration folder: XDG_CONFIG_HOME, ~/.config when it is unset
// or not absolute.
QString xdgConfigHome(const QProcessEnvironment &environment);

// Configuration folders in precedence order: the user's, then XDG_CONFIG_DIRS
// (/etc/xdg when unset).
QStringList xdgConfigDirs(const QProcessEnvironment &environment);

// Data folders in precedence order: XDG_DATA_HOME (~/.local/share when unset),
// then XDG_DATA_DIRS (/usr/local/share:/usr/share when unset).
QStringList xdgDataDirs(const QProcessEnvironment &environment);

// The applications/ folder of each data folder, in the same order.
QStringList applicationDirs(const QStringList &dataDirs);

} // namespace nudgewatch
