// Where the program keeps its settings file and language files, and where it looks for them.
#pragma once

#include <QString>
#include <QStringList>

namespace vorn::app {

inline constexpr char kSettingsFileName[] = "Vorn3d.ini";

// The user's configuration folder for the program: $XDG_CONFIG_HOME/vorn3d, or
// ~/.config/vorn3d when the variable is empty.
QString UserConfigDir();

// True when the program is installed: its folder is <prefix>/bin and <prefix>/share/vorn3d
// exists beside it.
bool IsInstalledLayout(const QString& programDir);

// The program's folder when it is writable and not an installed layout (a portable copy keeps
// everything beside the binary), otherwise `configDir`, created on demand. An installed program
// run by an administrator must not write into <prefix>/bin, which the package manager owns.
QString WritableDataDir(const QString& programDir, const QString& configDir);

// Folders searched for "*.lng": the program's folder, the configuration folder and the
// installed share folder (<prefix>/share/vorn3d beside <prefix>/bin), each once.
QStringList LanguageDirs(const QString& programDir, const QString& configDir);

} // namespace vorn::app
