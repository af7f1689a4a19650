// The scenes last opened or saved, newest first, as the "Файл" menu lists them.
#pragma once

#include <string>
#include <vector>

namespace vorn::lesson {

inline constexpr int kRecentFileCount = 8;
// `list` with `path` moved (or put) in front and cut to kRecentFileCount; names are compared
// byte for byte, as the file system does.
std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path);

} // namespace vorn::lesson
