// v3dtool net: a polyhedron's net as text, and what it refuses.
#include "tool_scenes.h"

#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <tuple>

namespace vorn::test {
namespace {

// 1: the unit cube; 2: the cube with a triangle missing; 3: a plane.
std::string NetScene() {
    SceneBytes f(4);
    CubeBlock(f, "");
    CubeBlock(f, "", 3);
    PlaneBlock(f, "", {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}});
    return f.save(ToolTempPath("net.v3d"));
}

TEST(V3dtoolNet, PrintsTheFacesOfTheNet) {
    const std::string file = NetScene();
    std::ostringstream out, err;
    ASSERT_EQ(tool::runNet({file, "1", "--text"}, out, err), 0) << err.str();
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "net FACES 6 AREA 6");
    int faces = 0;
    while (std::getline(lines, line)) {
        ++faces;
        SCOPED_TRACE(line);
        std::istringstream in(line);
        std::string word, bar;
        in >> word >> word;
        EXPECT_EQ(word, std::to_string(faces) + ":");
        int v[4];
        double xy[8];
        in >> v[0] >> v[1] >> v[2] >> v[3] >> bar;
        ASSERT_EQ(bar, "|");
        for (double& c : xy)
            in >> c;
        ASSERT_TRUE(in && (in >> word).fail());
        // A unit square in the plane of the net, its corners distinct vertices.
        for (int k = 0; k < 4; ++k) {
            const int n = (k + 1) % 4;
            EXPECT_NE(v[k], v[n]);
            EXPECT_NEAR(std::hypot(xy[2 * n] - xy[2 * k], xy[2 * n + 1] - xy[2 * k + 1]), 1, 1e-12);
        }
    }
    EXPECT_EQ(faces, 6);
}

// Folded all the way, every face's corners are distinct corners of the unit cube.
TEST(V3dtoolNet, FoldsTheNetBackOntoTheSolid) {
    const std::string file = NetScene();
    std::ostringstream out, err;
    ASSERT_EQ(tool::runNet({file, "1", "--fold", "1"}, out, err), 0) << err.str();
    std::istringstream lines(out.str());
    std::string line, word;
    std::getline(lines, line);
    int faces = 0;
    while (std::getline(lines, line)) {
        SCOPED_TRACE(line);
        std::istringstream in(line);
        in >> word >> word;
        EXPECT_EQ(word, std::to_string(++faces) + ":");
        std::set<std::tuple<long, long, long>> corners;
        double x, y, z;
        while (in >> x >> y >> z) {
            for (double c : {x, y, z})
                EXPECT_NEAR(c, std::round(c), 1e-9);
            corners.insert({std::lround(x), std::lround(y), std::lround(z)});
        }
        EXPECT_EQ(corners.size(), 4u);
    }
    EXPECT_EQ(faces, 6);
}

TEST(V3dtoolNet, RefusesWhatHasNoNet) {
    const std::string file = NetScene();
    struct Row {
        tool::Args args;
        int status;
        std::string shows; // on the error stream
    };
    const Row rows[] = {
        {{file, "2"}, 1, "neither a closed convex polyhedron"},
        {{file, "3"}, 1, "neither a closed convex polyhedron"},
        {{file, "4"}, 1, "no object number 4"},
        {{file, "x"}, 2, "OBJECT wants the object's number"},
        {{file}, 2, "usage: v3dtool net FILE.v3d OBJECT"},
        {{file, "1", "-o", "net.svg"}, 2, "-o needs the program built with Qt"},
        {{file, "1", "--fold", "1.5"}, 2, "--fold wants a number from 0 to 1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.back());
        std::ostringstream out, err;
        EXPECT_EQ(tool::runNet(r.args, out, err), r.status);
        EXPECT_TRUE(out.str().empty());
        EXPECT_NE(err.str().find(r.shows), std::string::npos) << err.str();
    }
}

} // namespace
} // namespace vorn::test
