// Where the program keeps its settings file and language files, and where it looks for them.
#pragma once

#include <QString>
#include <QStringList>

namespace vorn::app {

inline constexpr char kSettingsFileName[] = "Vorn3d.ini";

// The user's configuration folder for the program: $XDG_CONFIG_HOME/vorn3d, or
// ~/.config/vorn3d when the variable is empty.
QString UserConfigDir();

// The program's folder when it is writable (a portable install keeps everything beside the
// binary), otherwise `configDir`, created on demand.
QString WritableDataDir(const QString& programDir, const QString& configDir);

// Folders searched for "*.lng": the program's folder, the configuration folder and the
// installed share folder (<prefix>/share/vorn3d beside <prefix>/bin), each once.
QStringList LanguageDirs(const QString& programDir, const QString& configDir);

} // namespace vorn::app
