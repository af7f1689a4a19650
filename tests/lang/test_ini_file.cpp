// IniFile: parsing, lookups, cp1251 on disk and safe saving.
#include "lang/ini_file.h"
#include "temp_path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using vorn::lang::IniFile;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(IniFile, ParsesSectionsKeysAndKeepsValuesAsTheyStand) {
    const IniFile ini = IniFile::parse("; comment\r\n[INFO]\r\nLanguage=\xD3\xEA\xF0\r\n"
                                       "[InternalResources]\nr121=\"\xCF\"\n r1 = a=b \n"
                                       "[info]\nAppName=VORN-3D\nbroken line\n");
    EXPECT_EQ(ini.value("INFO", "Language", "?"), "Укр");
    EXPECT_EQ(ini.value("Info", "APPNAME", "?"), "VORN-3D"); // sections merge, case ignored
    EXPECT_EQ(ini.value("InternalResources", "r121", "?"), "\"П\"");
    EXPECT_EQ(ini.value("InternalResources", "r1", "?"), " a=b");
    EXPECT_EQ(ini.value("InternalResources", "r2", "fallback"), "fallback");
    EXPECT_EQ(ini.sections().size(), 2u);
    EXPECT_EQ(ini.intValue("INFO", "AppName", 7), 7);
}

TEST(IniFile, IntegersFallBackOnAnythingElse) {
    const IniFile ini = IniFile::parse("[Values]\nA=12\nB= -3 \nC=4x\nD=\n");
    EXPECT_EQ(ini.intValue("Values", "A", 0), 12);
    EXPECT_EQ(ini.intValue("Values", "B", 0), -3);
    EXPECT_EQ(ini.intValue("Values", "C", 5), 5);
    EXPECT_EQ(ini.intValue("Values", "D", 6), 6);
}

TEST(IniFile, SaveAndLoadRoundTripInCp1251) {
    const fs::path dir = vorn::test::tempPath("ini_rt");
    fs::remove_all(dir);
    fs::create_directories(dir);
    IniFile ini;
    ini.set("Msg", "Button0", "Так");
    ini.set("Colors", "Фон області зображення", "15");
    ini.set("Msg", "Button0", "Ні"); // replaces, keeps the place
    ini.set("Vorn2frm", "m_NewFile.caption", "&Новий\r\nдругий");
    ASSERT_TRUE(ini.save((dir / "a.ini").string()));
    const std::string bytes = readAll(dir / "a.ini");
    EXPECT_NE(bytes.find("Button0=\xCD\xB3\r\n"), std::string::npos);
    const IniFile back = IniFile::load((dir / "a.ini").string());
    EXPECT_EQ(back.value("Msg", "Button0", ""), "Ні");
    EXPECT_EQ(back.value("Colors", "Фон області зображення", ""), "15");
    EXPECT_EQ(back.value("Vorn2frm", "m_NewFile.caption", ""), "&Новий  другий");
    EXPECT_EQ(back.keys("Msg").size(), 1u);
    EXPECT_TRUE(IniFile::load((dir / "missing.ini").string()).sections().empty());

    // A save that cannot happen leaves the old file as it was.
    EXPECT_FALSE(ini.save((dir / "no" / "a.ini").string()));
    fs::create_directories(dir / "blocked.ini" / "x");
    EXPECT_FALSE(ini.save((dir / "blocked.ini").string()));
    int leftovers = 0;
    for (const auto& e : fs::directory_iterator(dir))
        leftovers += e.path().filename().string().rfind(".~", 0) == 0;
    EXPECT_EQ(leftovers, 0);
    fs::remove_all(dir);
}

// Files of very many keys, as a damaged or hostile file may hold, generated per row: every key
// and section is found, in the order of its first appearance, with the value of its last.
struct ManyKeysCase {
    const char* name;
    int sections, keysPerSection;
    bool repeatedInOtherCase; // each key once more, lower-cased, after all the others
};

class IniFileManyKeys : public ::testing::TestWithParam<ManyKeysCase> {};

TEST_P(IniFileManyKeys, FindsEveryKeyInItsOrderWithItsLastValue) {
    const ManyKeysCase& c = GetParam();
    auto key = [](int k) {
        char name[16];
        std::snprintf(name, sizeof name, "K%07d", k);
        return std::string(name);
    };
    std::string text;
    for (int s = 0; s < c.sections; ++s) {
        text += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < c.keysPerSection; ++k)
            text += key(k) + "=" + std::to_string(s + k) + "\r\n";
    }
    if (c.repeatedInOtherCase)
        for (int s = 0; s < c.sections; ++s) {
            text += "[section" + std::to_string(s) + "]\r\n";
            for (int k = 0; k < c.keysPerSection; ++k)
                text += "k" + key(k).substr(1) + "=last" + std::to_string(k) + "\r\n";
        }

    const IniFile ini = IniFile::parse(text);
    ASSERT_EQ(ini.sections().size(), static_cast<std::size_t>(c.sections));
    EXPECT_EQ(ini.sections().back(), "Section" + std::to_string(c.sections - 1));
    std::vector<std::string> keys;
    for (int k = 0; k < c.keysPerSection; ++k)
        keys.push_back(key(k));
    EXPECT_EQ(ini.keys("SECTION0"), keys);
    int wrong = 0;
    for (int s = 0; s < c.sections; ++s)
        for (int k = 0; k < c.keysPerSection; ++k)
            wrong += ini.value("section" + std::to_string(s), "k" + key(k).substr(1), "?") !=
                     (c.repeatedInOtherCase ? "last" + std::to_string(k) : std::to_string(s + k));
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(IniFile::parse(ini.serialize()).serialize(), ini.serialize());
}

INSTANTIATE_TEST_SUITE_P(Generated, IniFileManyKeys,
                         ::testing::Values(ManyKeysCase{"OneSection", 1, 50000, false},
                                           ManyKeysCase{"ManySections", 50000, 1, false},
                                           ManyKeysCase{"RepeatedInOtherCase", 4, 12500, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
