// v3dtool info on files this code did not write.
#include "../core/scene_bytes.h"
#include "temp_path.h"

#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <chrono>
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

TEST(V3dtoolInfo, NamesShowControlBytesAsBlanks) {
    vorn::test::SceneBytes f(2);
    const std::size_t at = f.header(1, "A\nB", 1, 1, 0);
    f.bytes[at + 1] = 104; // over 100: the zero padding after the name is read too
    f.vertex(0, 0, 0);
    f.face(1, 1, 1);
    const std::string file = f.save(tempPath("names.v3d"));
    std::ostringstream out, err;
    ASSERT_EQ(vorn::tool::runInfo({file}, out, err), 0);
    const std::string name = "A B" + std::string(97, ' ');
    EXPECT_EQ(out.str(), "1. " + name + "\n" + name +
                             " (Точка)\nMinX=0\nMaxX=0\nMinY=0\nMaxY=0\nMinZ=0\nMaxZ=0\n"
                             "Кількість вершин (вузлів): 1\n");
    EXPECT_EQ(err.str(), "Завантажено об'єкт \"" + name + "\"\n");
    std::filesystem::remove(file);
}

// A cube of side 1e20 has faces of area 1e40, more than a face record's float holds: its surface
// area is given by its failure message, and the status tells of it.
TEST(V3dtoolInfo, MeasuresWithoutAFiniteValueGiveTheirMessageAndStatusOne) {
    vorn::test::SceneBytes f(2);
    static const int faces[12][3] = {{1, 2, 4}, {1, 4, 3}, {5, 6, 8}, {5, 8, 7},
                                     {1, 2, 6}, {1, 6, 5}, {3, 4, 8}, {3, 8, 7},
                                     {1, 3, 7}, {1, 7, 5}, {2, 4, 8}, {2, 8, 6}};
    f.header(4, "", 8, 12, 0);
    for (int k = 0; k < 8; ++k)
        f.vertex(float(k & 1) * 1e20f, float(k >> 1 & 1) * 1e20f, float(k >> 2) * 1e20f);
    for (const auto& t : faces)
        f.face(t[0], t[1], t[2]);
    const std::string file = f.save(tempPath("big.v3d"));
    std::ostringstream out, err;
    EXPECT_EQ(vorn::tool::runInfo({file}, out, err), 1);
    const std::string text = out.str();
    EXPECT_NE(text.find("Об'єм: 1E60 куб. од.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Не можу обчислити площу об'єкта, оскільки ця величина прямує до "
                        "нескінченності.\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("INF"), std::string::npos);
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

// A scene's header followed by 4 GiB, made sparse here: refused at once, without reading it.
TEST(V3dtoolInfo, RefusesAHugeFileAtOnce) {
    vorn::test::SceneBytes f(2);
    f.header(1, "", 1, 1, 0);
    f.vertex(0, 0, 0);
    f.face(1, 1, 1);
    const std::string file = f.save(tempPath("huge.v3d"));
    std::filesystem::resize_file(file, std::uintmax_t{4} << 30);
    std::ostringstream out, err;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(vorn::tool::runInfo({file}, out, err), 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(err.str(), "Файл " + file + " не містить об'ктів VORN-3D.\n");
    EXPECT_TRUE(out.str().empty());
    std::filesystem::remove(file);
}

} // namespace
