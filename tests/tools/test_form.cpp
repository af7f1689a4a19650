// v3dtool form: faces formed from a polyhedron's points, its report and the saved result.
#include "tool_scenes.h"

#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace vorn::test {
namespace {

// 1: the unit cube's corners without faces; 2: 400 points spread over the unit sphere, closer
// to their neighbours' planes than the walk's tolerance; 3: a point; 4: five points in a plane.
std::string FormScene() {
    SceneBytes f(5);
    f.header(4, "", 8, 0, 0);
    for (int k = 0; k < 8; ++k)
        f.vertex(float(k & 1), float((k >> 1) & 1), float((k >> 2) & 1));
    const int n = 400;
    f.header(4, "", n, 0, 0);
    const double golden = 3.141592653589793 * (3 - std::sqrt(5.0));
    for (int i = 0; i < n; ++i) {
        const double z = 1 - (2 * i + 1.0) / n, r = std::sqrt(1 - z * z);
        f.vertex(float(r * std::cos(golden * i)), float(r * std::sin(golden * i)), float(z));
    }
    f.header(1, "", 1, 1, 0);
    f.vertex(0, 0, 5);
    f.face(1, 1, 1);
    f.header(4, "", 5, 0, 0);
    for (int k = 0; k < 5; ++k)
        f.vertex(float(k), float(k * k), 0);
    return f.save(ToolTempPath("form.v3d"));
}

TEST(V3dtoolForm, FormsReportsAndRefuses) {
    const std::string file = FormScene();
    const std::string hullLine = "Грані взято з опуклої оболонки підвищеної точності";
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::vector<std::string> shown, absent; // pieces of the output
    };
    const Row rows[] = {
        {"cube", {file, "1"}, 0, {"Об'єм: 1 куб. од."}, {hullLine}},
        {"dense sphere", {"--digits", "2", file, "2"}, 0, {hullLine, "Об'єм: 4.1"}, {}},
        {"a point", {file, "3"}, 2, {}, {"Об'єм"}},
        {"flat points", {file, "4"}, 1, {}, {"Об'єм"}},
        {"no such object", {file, "9"}, 2, {}, {}},
        {"not a number", {file, "1x"}, 2, {}, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::ostringstream out, err;
        EXPECT_EQ(tool::runForm(r.args, out, err), r.status) << err.str();
        for (const std::string& piece : r.shown)
            EXPECT_NE(out.str().find(piece), std::string::npos) << out.str();
        for (const std::string& piece : r.absent)
            EXPECT_EQ(out.str().find(piece), std::string::npos) << out.str();
    }
    // The formed cube is saved with its twelve triangles and read back as formed.
    const std::string saved = ToolTempPath("form_out.v3d");
    std::ostringstream out, err, again, err2;
    ASSERT_EQ(tool::runForm({file, "1", "-o", saved}, out, err), 0) << err.str();
    ASSERT_EQ(tool::runInfo({saved}, again, err2), 0) << err2.str();
    EXPECT_NE(again.str().find("Об'єм: 1 куб. од."), std::string::npos) << again.str();
    std::filesystem::remove(file);
    std::filesystem::remove(saved);
}

} // namespace
} // namespace vorn::test
