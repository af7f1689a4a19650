// Where the program keeps its settings file and language files, where it looks for them, and
// how file names pass between the file system's bytes and the window's text.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

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

// File names are bytes to the file system, normally UTF-8. A name that is not keeps each stray
// byte as a lone surrogate U+DC80..U+DCFF (Qt's decoding would make it U+FFFD, another name),
// so that it can be shown and still turned back into the very bytes it came from.
QString PathFromLocalBytes(std::string_view bytes);
std::string LocalBytesOfPath(const QString& path);

// The scene file named on the command line (arguments Qt took are already removed), made
// absolute against the current folder; empty when there is none.
QString CommandLineFile(int argc, const char* const* argv);

// A path as text a code page 1251 file keeps whole: its bytes, percent-encoded.
std::string PathToStoredText(const QString& path);
QString PathFromStoredText(std::string_view text);

} // namespace vorn::app
