// Language and settings files far larger than any real one: not read, and the program goes on.
#include "lang/ini_file.h"
#include "temp_path.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

using vorn::lang::IniFile;
namespace fs = std::filesystem;

namespace {

TEST(IniFile, AHugeFileIsTakenAsUnreadableAtOnce) {
    const struct {
        std::uintmax_t size; // 0: as written
        bool read;
    } rows[] = {{0, true}, {std::uintmax_t{3} << 30, false}};
    const fs::path file = vorn::test::tempPath("huge.lng");
    for (const auto& r : rows) {
        { std::ofstream(file, std::ios::binary) << "[INFO]\nLanguage=X\n"; }
        // Sparse: the test makes gigabytes without writing them.
        if (r.size) fs::resize_file(file, r.size);
        const auto start = std::chrono::steady_clock::now();
        const IniFile ini = IniFile::load(file.string());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << r.size;
        EXPECT_EQ(ini.value("INFO", "Language", "none"), r.read ? "X" : "none") << r.size;
    }
    fs::remove(file);
}

} // namespace
