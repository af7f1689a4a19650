// v3dtool info on files this code did not write.
#include "../core/scene_bytes.h"
#include "temp_path.h"

#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

std::string tempPath(const std::string& name) {
    return vorn::test::tempPath("info_" + name).string();
}

TEST(V3dtoolInfo, ListsObjectsWithTheirCharacteristics) {
    vorn::test::SceneBytes f(3);
    f.header(1, "\xC0", 1, 1, 0); // "А"
    f.vertex(1, 2, 3);
    f.face(1, 1, 1);
    f.header(2, "", 4, 4, 0, 1.0);
    f.vertex(0, 0, 0);
    f.vertex(2, 0, 0);
    f.vertex(2, 2, 0);
    f.vertex(0, 2, 0);
    for (int i = 1; i <= 4; ++i)
        f.face(i, i % 4 + 1, i % 4 + 1);
    const std::string file = f.save(tempPath("two.v3d"));
    std::ostringstream out, err;
    ASSERT_EQ(vorn::tool::runInfo({"--digits", "3", file}, out, err), 0);
    const std::string expected = "1. А\n"
                                 "А (Точка)\nMinX=1\nMaxX=1\nMinY=2\nMaxY=2\nMinZ=3\nMaxZ=3\n"
                                 "Кількість вершин (вузлів): 1\n"
                                 "\n"
                                 "2. Ламана\n"
                                 " (Ламана)\nMinX=0\nMaxX=2\nMinY=0\nMaxY=2\nMinZ=0\nMaxZ=0\n"
                                 "Кількість вершин (вузлів): 4\n"
                                 "Довжина: 8 од.\nОхоплює площу: 4 кв. од.\n";
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(err.str(), "Завантажено об'єкт \"А\"\nЗавантажено об'єкт \"Ламана\"\n");
    std::filesystem::remove(file);
}

TEST(V3dtoolInfo, RefusesWhatIsNotASceneOrAnUnusableCall) {
    const std::string file = tempPath("text.v3d");
    { std::ofstream(file) << "hello"; }
    std::ostringstream out, err;
    EXPECT_EQ(vorn::tool::runInfo({file}, out, err), 2);
    EXPECT_EQ(err.str(), "Файл " + file + " не містить об'ктів VORN-3D.\n");
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(vorn::tool::runInfo({}, out, err), 2);
    EXPECT_EQ(vorn::tool::runInfo({"--digits", "x", file}, out, err), 2);
    std::filesystem::remove(file);
}

} // namespace
