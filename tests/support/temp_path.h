// Per-process temporary paths, so tests running side by side never share a file.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

namespace vorn::test {

inline std::filesystem::path tempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("vorn_test_" + std::to_string(::getpid()) + "_" + name);
}

} // namespace vorn::test
