// v3dtool section on scene files this code did not write.
#include "tool_scenes.h"

#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/scene.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vorn::test {
namespace {

const std::string kCube = "\xCA\xF3\xE1"; // "Куб" in cp1251
const std::string kLoaded = "Завантажено об'єкт \"Площина\"\nЗавантажено об'єкт \"Куб\"\n";
const std::string kSectionLines = "Площа перерізу: 1 кв. од.\nПериметр перерізу: 4 од.\n";
const std::string kContourQuestion = "? Створити ламану, що відповідає контуру перерізу ?\n";
const std::string kPartsQuestion =
    "? Створити об'єкти, що відповідають частинам вихідного многогранника у різних "
    "півпросторах відносно площини перерізу ?\n";

std::string PlaneAndCube(const std::string& name, float height, int skipFace = 0) {
    SceneBytes f(3);
    PlaneBlock(f, "", {{{0, 0, height}, {1, 0, height}, {0, 1, height}}});
    CubeBlock(f, kCube, skipFace);
    return f.save(ToolTempPath(name));
}

TEST(V3dtoolSection, AnswersAsTheProgramWould) {
    const std::string half = PlaneAndCube("half.v3d", 0.5f);
    const std::string top = PlaneAndCube("top.v3d", 1);
    const std::string above = PlaneAndCube("above.v3d", 1.05f);
    const std::string notCutting = "! Площина не перетинає об'єкт \"Куб\"\n";
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string out;
    };
    const Row rows[] = {
        {"half, answered No", {half, "1", "2"}, kSectionLines + kContourQuestion + kPartsQuestion},
        {"half, answered Yes",
         {"--yes", half, "1", "2"},
         kSectionLines + kContourQuestion + kPartsQuestion},
        {"top face",
         {top, "1", "2", "--yes"},
         kSectionLines + kContourQuestion + "Площина не перетинає об'єкт \"Куб\"\n" + notCutting},
        {"above the cube", {above, "1", "2"}, "Площина не перетинає об'єкт \"Куб\"\n" + notCutting},
        {"three digits",
         {"--digits", "3", half, "1", "2"},
         kSectionLines + kContourQuestion + kPartsQuestion},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::ostringstream out, err;
        EXPECT_EQ(tool::runSection(r.args, out, err), 0);
        EXPECT_EQ(out.str(), r.out);
        EXPECT_EQ(err.str(), kLoaded);
    }
    for (const std::string& file : {half, top, above})
        std::filesystem::remove(file);
}

TEST(V3dtoolSection, SavedSceneHoldsTheContourAndTheParts) {
    const std::string in = PlaneAndCube("in.v3d", 0.5f);
    const std::string saved = ToolTempPath("saved.v3d");
    std::ostringstream out, err;
    ASSERT_EQ(tool::runSection({in, "1", "2", "--yes", "--save", saved}, out, err), 0);

    std::ostringstream report;
    tool::ToolSession session(report, report);
    ASSERT_TRUE(session.load(saved));
    core::Scene& scene = session.scene;
    ASSERT_EQ(scene.objectCount(), 6);
    EXPECT_EQ(scene.object(3).visible, 0);
    EXPECT_EQ(core::DisplayName(scene, 4), "Переріз об'єкта \"Куб\"");
    EXPECT_EQ(scene.object(4).vertexCount, 4);
    for (int slot : {5, 6}) {
        EXPECT_EQ(core::DisplayName(scene, slot), "ч." + std::to_string(slot - 4) + " Куб");
        EXPECT_EQ(scene.object(slot).faceCount, 12);
        EXPECT_NEAR(scene.object(slot).volume, 0.5, 0.00001);
    }
    EXPECT_EQ(report.str().find("не замкнений"), std::string::npos);
    std::filesystem::remove(in);
    std::filesystem::remove(saved);
}

TEST(V3dtoolSection, OpenPolyhedronIsLoadedWithItsMessage) {
    // A missing top triangle shows to a vertical test line, a missing side one only in its edges.
    for (int skipFace : {3, 5}) {
        SCOPED_TRACE("face " + std::to_string(skipFace) + " missing");
        const std::string file = PlaneAndCube("open.v3d", 0.5f, skipFace);
        std::ostringstream out, err;
        EXPECT_EQ(tool::runSection({file, "1", "2"}, out, err), 0);
        EXPECT_EQ(err.str(), "Завантажено об'єкт \"Площина\"\nЗавантажено об'єкт \"Куб\"\n"
                             "Об'єкт Куб не замкнений.\n");
        EXPECT_EQ(out.str().substr(0, kSectionLines.size()), kSectionLines);
        std::filesystem::remove(file);
    }
}

TEST(V3dtoolSection, RefusesWrongObjectsAndCalls) {
    const std::string file = PlaneAndCube("wrong.v3d", 0.5f);
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Row rows[] = {
        {"polyhedron given as the plane",
         {file, "2", "2"},
         1,
         "! Необхідно вказати об'єкт типу \"Площина\"\n"},
        {"plane given as the polyhedron",
         {file, "1", "1"},
         1,
         "! Необхідно вказати об'єкт типу \"Многогранник\"\n"},
        {"no such object", {file, "1", "3"}, 2, ""},
        {"object zero", {file, "0", "2"}, 2, ""},
        {"not a number", {file, "one", "2"}, 2, ""},
        {"too few arguments", {file, "1"}, 2, ""},
        {"missing save name", {file, "1", "2", "--save"}, 2, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::ostringstream out, err;
        EXPECT_EQ(tool::runSection(r.args, out, err), r.status);
        EXPECT_EQ(out.str(), r.out);
    }
    std::filesystem::remove(file);
}

} // namespace
} // namespace vorn::test
