// v3dtool measure on a scene file this code did not write.
#include "tool_scenes.h"

#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vorn::test {
namespace {

// 1: point (0,0,5); 2: the plane z = 0, normal +z; 3: a polyline through (0,0,0), (1,0,0),
// (0,-1,0), (0,1,0), (3,3,2).
std::string MeasureScene() {
    SceneBytes f(4);
    f.header(1, "", 1, 1, 0);
    f.vertex(0, 0, 5);
    f.face(1, 1, 1);
    PlaneBlock(f, "", {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}});
    f.header(2, "", 5, 4, 0);
    for (const auto& p :
         {std::array<float, 3>{0, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {3, 3, 2}})
        f.vertex(p[0], p[1], p[2]);
    for (int i = 1; i <= 4; ++i)
        f.face(i, i + 1, i + 1);
    return f.save(ToolTempPath("measure.v3d"));
}

TEST(V3dtoolMeasure, PrintsTheReportLinesAndOffers) {
    const std::string file = MeasureScene();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string out;
    };
    const Row rows[] = {
        {"angle", {file, "1", "p:3:2", "p:3:1", "p:3:4"}, "Кут: 1.5708 (90°)\n"},
        {"angle of line and plane",
         {file, "2", "l:3:1:5", "pl:2"},
         "Кут між прямою і площиною: 0.440511 (25.2394°)\n"},
        {"angle of planes", {file, "3", "pl:2", "pl:2"}, "Кут між площинами: 0 (0°)\n"},
        {"points", {file, "4", "p:1:1", "p:3:5"}, "Відстань між точками: 5.19615\n"},
        {"point and line", {file, "5", "p:1:1", "l:3:1:2"}, "Відстань між точкою і прямою: 5\n"},
        {"point and plane",
         {file, "6", "p:1:1", "pl:2"},
         "Відстань між точкою і площиною: 5\nВідхилення точки від площини: -5\n"},
        {"meeting lines",
         {file, "7", "l:3:1:2", "l:3:3:4"},
         "Прямі перетинаються в точці: X=0, Y=0, Z=0\n? Створити відповідну точку ?\n"},
        {"line through the plane",
         {"--digits", "3", file, "8", "l:3:5:1", "pl:2"},
         "Точка перетину прямої і площини: X= 0, Y= 0, Z= 0\n"
         "? Створити відповідну точку ?\n"},
        {"line in the plane",
         {file, "8", "l:3:1:2", "pl:2"},
         "Відстань між прямою і площиною: 0\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::ostringstream out, err;
        EXPECT_EQ(tool::runMeasure(r.args, out, err), 0) << err.str();
        EXPECT_EQ(out.str(), r.out);
    }
    std::filesystem::remove(file);
}

TEST(V3dtoolMeasure, RefusesBadPicksAndCalls) {
    const std::string file = MeasureScene();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Row rows[] = {
        {"a point as the plane",
         {file, "6", "p:1:1", "pl:1"},
         1,
         "! Необхідно вказати об'єкт типу \"Площина\"\n"},
        {"no such object", {file, "4", "p:1:1", "p:9:1"}, 2, ""},
        {"no such vertex", {file, "4", "p:1:1", "p:1:2"}, 2, ""},
        {"unknown pick", {file, "4", "p:1:1", "q:1:1"}, 2, ""},
        {"pick kinds of another mode", {file, "6", "p:1:1", "l:3:1:2"}, 2, ""},
        {"too many picks", {file, "4", "p:1:1", "p:1:1", "p:1:1"}, 2, ""},
        {"mode 9", {file, "9", "p:1:1", "p:1:1"}, 2, ""},
        {"answers cannot be given", {"--yes", file, "4", "p:1:1", "p:3:1"}, 2, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::ostringstream out, err;
        EXPECT_EQ(tool::runMeasure(r.args, out, err), r.status);
        EXPECT_EQ(out.str(), r.out);
    }
    std::filesystem::remove(file);
}

} // namespace
} // namespace vorn::test
