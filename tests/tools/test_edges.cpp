// v3dtool edges: the view and the pieces of every drawn line of a scene file.
#include "tool_scenes.h"

#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace vorn::test {
namespace {

// 1: the unit cube; 2: a point behind it in the file's view (27, 49). The axes run along the
// cube's edges from vertex 1.
std::string EdgesScene() {
    SceneBytes f(3);
    CubeBlock(f, "");
    f.header(1, "", 1, 1, 0);
    f.vertex(-0.78f, -0.78f, -0.34f);
    f.face(1, 1, 1);
    return f.save(ToolTempPath("edges.v3d"));
}

TEST(V3dtoolEdges, PrintsTheViewAndEveryPiece) {
    const std::string file = EdgesScene();
    struct Row {
        std::vector<std::string> args;
        std::vector<std::string> shows, lacks;
    };
    const Row rows[] = {
        // From above: the corner at the origin is the back one, with the axes along its edges.
        {{file},
         {"1 1 2 0 1 hidden\n", "1 3 1 0 1 hidden\n", "1 5 1 0 1 hidden\n", "1 2 4 0 1 visible\n",
          "1 8 7 0 1 visible\n", "0 1 2 0 1 hidden\n", "0 1 4 0 1 hidden\n", "2 1 1 0 1 hidden\n"},
         {"1 1 4 ", "1 4 1 "}}, // a diagonal is no line
        // Along Oz from below: the face z = 0 in front, Oz seen end-on.
        {{file, "--turn", "0,0"},
         {"view 0 0 -1\n", "1 1 2 0 1 visible\n", "1 3 1 0 1 visible\n", "1 5 6 0 1 hidden\n",
          "1 5 1 0 1 hidden\n", "0 1 2 0 1 visible\n", "2 1 1 0 1 visible\n"},
         {"0 1 4 "}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.back());
        std::ostringstream out, err;
        ASSERT_EQ(tool::runEdges(r.args, out, err), 0) << err.str();
        const std::string text = out.str();
        for (const std::string& s : r.shows)
            EXPECT_NE(text.find(s), std::string::npos) << s << "in:\n" << text;
        for (const std::string& s : r.lacks)
            EXPECT_EQ(text.find(s), std::string::npos) << s << "in:\n" << text;
        // The view is a unit vector; the cube shows 12 lines of one piece and 3 hidden.
        std::istringstream lines(text);
        std::string word;
        double x = 0, y = 0, z = 0;
        lines >> word >> x >> y >> z;
        EXPECT_EQ(word, "view");
        EXPECT_NEAR(x * x + y * y + z * z, 1, 1e-5); // six digits printed
        int cube = 0, hidden = 0;
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("1 ", 0) == 0) {
                ++cube;
                hidden += line.ends_with("hidden");
            }
        EXPECT_EQ(cube, 12);
        EXPECT_EQ(hidden, r.args.size() == 1 ? 3 : 8);
    }
}

// The outline style draws the round solids of the sample by their feature lines, each row
// ending in the line's kind; the mesh style prints every mesh line, rows as before.
TEST(V3dtoolEdges, OutlineStyleEndsEachRowInItsKind) {
    const std::string file = VORN_SOURCE_DIR "/samples/revolution.v3d";
    struct Row {
        std::vector<std::string> extra;
        std::size_t fields;
        bool outline;
    };
    std::map<std::string, std::size_t> rows;
    for (const Row& r : {Row{{}, 6, false}, Row{{"--style", "mesh"}, 6, false},
                         Row{{"--style", "outline", "--grid", "2"}, 7, true}}) {
        std::vector<std::string> args = {file, "--turn", "27,49"};
        args.insert(args.end(), r.extra.begin(), r.extra.end());
        std::ostringstream out, err;
        ASSERT_EQ(tool::runEdges(args, out, err), 0) << err.str();
        std::istringstream lines(out.str());
        std::string line;
        std::getline(lines, line); // the view
        std::set<std::string> silhouettes;
        std::size_t count = 0;
        for (; std::getline(lines, line); ++count) {
            std::istringstream words(line);
            std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
            ASSERT_EQ(w.size(), r.fields) << line;
            EXPECT_TRUE(w[5] == "visible" || w[5] == "hidden") << line;
            if (!r.outline) continue;
            EXPECT_TRUE(
                std::set<std::string>({"edge", "silhouette", "rim", "crease", "grid"}).count(w[6]))
                << line;
            EXPECT_EQ(w[6] == "edge", w[0] == "0") << line; // the axes alone are edges here
            if (w[6] == "silhouette") silhouettes.insert(w[0]);
        }
        rows[r.extra.empty() ? "" : r.extra[1]] = count;
        if (r.outline) {
            EXPECT_EQ(silhouettes, (std::set<std::string>{"1", "2", "3", "4", "5"}));
        }
    }
    EXPECT_EQ(rows[""], rows["mesh"]);
    EXPECT_GT(rows["mesh"], 10 * rows["outline"]);
}

TEST(V3dtoolEdges, RefusesBadArguments) {
    const std::string file = EdgesScene();
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string says;
    };
    const Row rows[] = {
        {{}, 2, "usage: v3dtool edges FILE.v3d"},
        {{file, "--turn", "72,0"}, 2, "--turn wants H,V"},
        {{file, "--size", "10x10"}, 2, "usage: v3dtool edges"},
        {{file, "--style", "dashed"}, 2, "--style wants mesh or outline"},
        {{file, "--style", "outline", "--grid", "-1"}, 2, "--grid wants a whole number"},
        {{file, "--grid", "2x"}, 2, "--grid wants a whole number"},
        {{ToolTempPath("no-such-scene.v3d")}, 1, ""},
    };
    for (const Row& r : rows) {
        std::ostringstream out, err;
        EXPECT_EQ(tool::runEdges(r.args, out, err), r.status);
        EXPECT_NE(err.str().find(r.says), std::string::npos) << err.str();
        EXPECT_TRUE(out.str().empty());
    }
}

} // namespace
} // namespace vorn::test
