// Language files: which are offered, and the message sections in both directions.
#include "lang/language_file.h"
#include "temp_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vorn::lang;
namespace fs = std::filesystem;

namespace {

TEST(LanguageFile, ExportWritesEveryTextButEmptyAndOneCharacterOnes) {
    const MessageTable m;
    IniFile ini;
    exportHeader(ini);
    exportButtonsAndCaptions(ini, m);
    exportMessages(ini, m);
    EXPECT_EQ(ini.value("INFO", "Language", ""), "Українська");
    EXPECT_EQ(ini.value("INFO", "AppName", ""), "VORN-3D");
    EXPECT_EQ(ini.value("Msg", "Button0", ""), "Так");
    EXPECT_FALSE(ini.get("Msg", "Caption4")); // empty custom title
    EXPECT_EQ(ini.value("InternalResources", "r1", ""), "Обробка граней об'єкта \"%s\"...");
    EXPECT_FALSE(ini.get("InternalResources", "r46")); // message 45
    EXPECT_FALSE(ini.get("InternalResources", "r70")); // message 69
    EXPECT_EQ(ini.value("InternalResources", "r142", ""),
              "Для повернення у нормальний режим зверніться до послуги \"Режим півтонового "
              "зображення\" знову");
    // Quoted texts survive writing and reading back.
    const IniFile back = IniFile::parse(ini.serialize());
    EXPECT_EQ(back.value("InternalResources", "r121", ""), "\"Площина\"");
}

TEST(LanguageFile, ApplyReplacesPresentKeysOnly) {
    MessageTable m;
    const IniFile ini = IniFile::parse("[Msg]\nButton0=Yes\nCaption1=Error\n"
                                       "[InternalResources]\nr99=Length: %s u.\nr46=filled\n"
                                       "r70=filled\n");
    applyButtonsAndCaptions(ini, m);
    applyMessages(ini, m);
    EXPECT_EQ(m.button(0), "Yes");
    EXPECT_EQ(m.button(1), "Ні");
    EXPECT_EQ(m.caption(1), "Error");
    EXPECT_EQ(m.text(98), "Length: %s u.");
    EXPECT_EQ(m.text(97), "Кількість вершин (вузлів):");
    EXPECT_TRUE(m.text(45).empty()); // empty entries cannot be replaced
    EXPECT_TRUE(m.text(69).empty());
    std::string langs = "Українська";
    applyText(ini, "SetupFrm", "__Langs.1", langs);
    EXPECT_EQ(langs, "Українська");
}

TEST(LanguageFile, OnlyThisProgramsNamedLanguagesAreOffered) {
    const fs::path dir = vorn::test::tempPath("langs");
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto write = [&](const char* name, const char* text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    };
    write("vorn3eng.lng", "[INFO]\nLanguage=English\nAppName=VORN-3D\n");
    write("other.lng", "[INFO]\nLanguage=Other\nAppName=Something else\n");
    write("nameless.LNG", "[INFO]\nAppName=VORN-3D\n");
    write("upper.LNG", "[INFO]\nLanguage=Upper\nAppName=VORN-3D\n");
    write("notes.txt", "[INFO]\nLanguage=Text\nAppName=VORN-3D\n");
    // Very many texts between the two halves of its INFO section.
    std::string huge = "[INFO]\nLanguage=Huge\n[InternalResources]\n";
    for (int i = 0; i < 100000; ++i)
        huge += "r" + std::to_string(i) + "=text\n";
    write("huge.lng", (huge + "[info]\nAppName=VORN-3D\n").c_str());
    auto list = BuildLanguageList(dir.string());
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return a.fileName < b.fileName; });
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].language, "Huge");
    EXPECT_EQ(list[1].fileName, "upper.LNG");
    EXPECT_EQ(list[2].language, "English");
    EXPECT_TRUE(BuildLanguageList((dir / "missing").string()).empty());
    fs::remove_all(dir);
}

} // namespace
