// Tests of plane cross-sections: reports, questions, contour, parts and refusals.
#include "poly_fixture.h"

#include "polyhedra/cross_section.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include "geometry/tolerances.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace vorn::test {
namespace {

using core::Answer;

const char* kContourQuestion = "Створити ламану, що відповідає контуру перерізу ?";
const char* kPartsQuestion = "Створити об'єкти, що відповідають частинам вихідного многогранника "
                             "у різних півпросторах відносно площини перерізу ?";

class Section : public PolyFixture {
  protected:
    int Cube(const std::string& name = "Куб") {
        const int slot = AddPoints(CubeCorners(), name);
        EXPECT_TRUE(poly::FormConvexFaces(env, slot));
        EXPECT_TRUE(poly::CompleteObject(env, slot));
        return slot;
    }
    void Answers(std::initializer_list<Answer> a) { host.answers.assign(a.begin(), a.end()); }
};

TEST_F(Section, CubeCutInHalf) {
    const int cube = Cube();
    const int plane = AddHorizontalPlane(0.5f, "П");
    const core::SceneObject before = Object(cube);
    Answers({Answer::Yes, Answer::Yes});
    const poly::SectionResult r = poly::CrossSection(env, plane, cube);

    const std::vector<std::string> report = {"Площа перерізу: 1 кв. од.",
                                             "Периметр перерізу: 4 од."};
    EXPECT_EQ(host.report, report);
    EXPECT_EQ(host.questions, (std::vector<std::string>{kContourQuestion, kPartsQuestion}));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_NEAR(r.area, 1, geo::kEpsPlane);
    EXPECT_NEAR(r.perimeter, 4, geo::kEpsPlane);

    ASSERT_EQ(scene.objectCount(), 6);
    const core::SceneObject& contour = Object(r.contourSlot);
    EXPECT_EQ(r.contourSlot, 4);
    EXPECT_EQ(contour.type, core::ObjectType::Polyline);
    EXPECT_EQ(core::DisplayName(scene, r.contourSlot), "Переріз об'єкта \"Куб\"");
    EXPECT_EQ(contour.param2, 1);
    EXPECT_EQ(contour.vertexCount, 4);
    EXPECT_EQ(contour.faceCount, 4);
    for (int j = 1; j <= 4; ++j) {
        const core::Vec3f& v = contour.vertex(j);
        EXPECT_EQ(v.z, 0.5f);
        EXPECT_TRUE((v.x == 0 || v.x == 1) && (v.y == 0 || v.y == 1));
        EXPECT_EQ(contour.face(j).vertex1, j % 4 + 1);
        EXPECT_EQ(contour.face(j).vertex2, j);
    }

    // Part 1 lies on the side the plane's normal (+z) points to.
    const struct {
        int slot;
        const char* name;
        float zLow, zHigh;
    } parts[] = {{r.partSlots[0], "ч.1 Куб", 0.5f, 1}, {r.partSlots[1], "ч.2 Куб", 0, 0.5f}};
    for (const auto& p : parts) {
        SCOPED_TRACE(p.name);
        ASSERT_GT(p.slot, 0);
        const core::SceneObject& o = Object(p.slot);
        EXPECT_EQ(core::DisplayName(scene, p.slot), p.name);
        EXPECT_EQ(o.vertexCount, 8);
        EXPECT_EQ(o.faceCount, 12);
        EXPECT_NEAR(o.volume, 0.5, geo::kEpsPlane);
        EXPECT_EQ(o.visible, 1);
        for (int m = 1; m <= o.vertexCount; ++m)
            EXPECT_TRUE(o.vertex(m).z == p.zLow || o.vertex(m).z == p.zHigh);
    }
    // The cube is only hidden.
    EXPECT_EQ(Object(cube).visible, 0);
    EXPECT_EQ(Object(cube).vertexCount, before.vertexCount);
    EXPECT_EQ(std::memcmp(Object(cube).faceData, before.faceData, sizeof before.faceData), 0);
    EXPECT_TRUE(scene.sceneModified);
}

TEST_F(Section, PlaneThroughTheTopFaceCutsNothing) {
    const int cube = Cube();
    const int plane = AddHorizontalPlane(1);
    Answers({Answer::No});
    const poly::SectionResult r = poly::CrossSection(env, plane, cube);
    const std::vector<std::string> expected = {
        "report: Площа перерізу: 1 кв. од.", "report: Периметр перерізу: 4 од.",
        std::string("ask: ") + kContourQuestion, "report: Площина не перетинає об'єкт \"Куб\"",
        "info: Площина не перетинає об'єкт \"Куб\""};
    EXPECT_EQ(host.calls, expected);
    EXPECT_TRUE(r.computed);
    EXPECT_EQ(scene.objectCount(), 3);
    EXPECT_EQ(Object(cube).visible, 1);
}

// A plane beyond the cube must not make points past the ends of its edges.
TEST_F(Section, PlanesMissingTheCubeCutNothing) {
    struct Row {
        const char* name;
        Point3 p1, p2, p3;
    };
    const Row rows[] = {
        {"z = 1.05", {0, 0, 1.05f}, {1, 0, 1.05f}, {0, 1, 1.05f}},
        {"z = -0.2", {0, 0, -0.2f}, {1, 0, -0.2f}, {0, 1, -0.2f}},
        {"x = 1.25", {1.25f, 0, 0}, {1.25f, 1, 0}, {1.25f, 0, 1}},
        {"x + y + z = 3.1", {3.1f, 0, 0}, {0, 3.1f, 0}, {0, 0, 3.1f}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        host = FakeHost{};
        host.defaultAnswer = Answer::Yes;
        const int cube = Cube();
        const int plane = AddPlane(r.p1, r.p2, r.p3);
        const poly::SectionResult result = poly::CrossSection(env, plane, cube);
        EXPECT_FALSE(result.computed);
        EXPECT_EQ(host.report, std::vector<std::string>{"Площина не перетинає об'єкт \"Куб\""});
        EXPECT_TRUE(host.questions.empty());
        EXPECT_EQ(scene.objectCount(), plane);
        EXPECT_EQ(Object(cube).visible, 1);
        core::DropLastObject(scene);
        core::DropLastObject(scene);
    }
}

TEST_F(Section, CornerCutGivesATriangleAndATetrahedron) {
    const int cube = Cube();
    const int plane = AddPlane({0.5f, 0, 0}, {0, 0.5f, 0}, {0, 0, 0.5f}); // normal (1,1,1)
    Answers({Answer::No, Answer::Yes});
    const poly::SectionResult r = poly::CrossSection(env, plane, cube);
    const double side = 0.5 * std::sqrt(2.0);
    EXPECT_NEAR(r.area, std::sqrt(3.0) / 4 * side * side, geo::kEpsPlane);
    EXPECT_NEAR(r.perimeter, 3 * side, geo::kEpsPlane);
    EXPECT_EQ(r.contourSlot, 0);
    ASSERT_GT(r.partSlots[0], 0);
    ASSERT_GT(r.partSlots[1], 0);
    EXPECT_NEAR(Object(r.partSlots[0]).volume, 1 - 1.0 / 48, geo::kEpsPlane);
    EXPECT_EQ(Object(r.partSlots[0]).vertexCount, 10);
    EXPECT_NEAR(Object(r.partSlots[1]).volume, 1.0 / 48, geo::kEpsPlane);
    EXPECT_EQ(Object(r.partSlots[1]).vertexCount, 4);
}

// A plane along two diagonals of the hand-made cube meets its edges only at corners, yet it
// splits the cube into two triangular prisms; a plane touching an edge or a corner splits nothing.
TEST_F(Section, PlanesThroughCornersSplitOnlyWhenCornersLieOnBothSides) {
    struct Row {
        const char* name;
        Point3 p1, p2, p3;
        bool splits;
    };
    const Row rows[] = {
        {"x = y, along the bottom and top diagonals", {0, 0, 0}, {1, 1, 0}, {0, 0, 1}, true},
        {"x = z, along the diagonals of two sides", {0, 0, 0}, {0, 1, 0}, {1, 0, 1}, true},
        {"x + y = 2, touching an edge", {1, 1, 0}, {1, 1, 1}, {2, 0, 0}, false},
        {"x + y + z = 3, touching a corner", {1, 1, 1}, {2, 1, 0}, {2, 0, 1}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        host = FakeHost{};
        host.defaultAnswer = Answer::Yes;
        const int cube = AddMesh(CubeCorners(), kCubeTriangles, "Куб");
        ASSERT_TRUE(poly::CompleteObject(env, cube));
        const int plane = AddPlane(r.p1, r.p2, r.p3);
        const poly::SectionResult result = poly::CrossSection(env, plane, cube);
        if (!r.splits) {
            EXPECT_EQ(host.report, std::vector<std::string>{"Площина не перетинає об'єкт \"Куб\""});
            EXPECT_TRUE(host.questions.empty());
            EXPECT_EQ(scene.objectCount(), plane);
        } else {
            // A 1 by sqrt 2 rectangle.
            EXPECT_EQ(host.report, (std::vector<std::string>{"Площа перерізу: 1.41421 кв. од.",
                                                             "Периметр перерізу: 4.82843 од."}));
            EXPECT_EQ(host.questions, (std::vector<std::string>{kContourQuestion, kPartsQuestion}));
            ASSERT_GT(result.contourSlot, 0);
            const core::SceneObject& contour = Object(result.contourSlot);
            ASSERT_EQ(contour.vertexCount, 4);
            double around = 0;
            for (int j = 1; j <= 4; ++j) {
                const core::Vec3f &a = contour.vertex(j), &b = contour.vertex(j % 4 + 1);
                around += geo::PointDistance({a.x, a.y, a.z}, {b.x, b.y, b.z});
            }
            EXPECT_NEAR(around, 2 + 2 * std::sqrt(2.0), geo::kEpsPlane);
            for (int slot : result.partSlots) {
                ASSERT_GT(slot, 0);
                EXPECT_EQ(Object(slot).vertexCount, 6);
                EXPECT_EQ(Object(slot).faceCount, 8);
                EXPECT_NEAR(Object(slot).volume, 0.5, geo::kEpsPlane);
            }
            EXPECT_EQ(Object(cube).visible, 0);
        }
        while (scene.objectCount() >= cube)
            core::DropLastObject(scene);
    }
}

TEST_F(Section, NonConvexPolyhedronIsRefused) {
    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    LPrism(points, faces);
    const int prism = AddMesh(points, faces, "Г");
    const int plane = AddHorizontalPlane(0.5f);
    host.defaultAnswer = Answer::Yes;
    const poly::SectionResult r = poly::CrossSection(env, plane, prism);
    const std::vector<std::string> expected = {"report: Многогранник \"Г\" не є опуклим.",
                                               "error: Многогранник \"Г\" не є опуклим."};
    EXPECT_EQ(host.calls, expected);
    EXPECT_FALSE(r.computed);
    EXPECT_EQ(scene.objectCount(), plane);
}

TEST_F(Section, WrongKindsDoNothing) {
    const int cube = Cube();
    const int plane = AddHorizontalPlane(0.5f);
    host.defaultAnswer = Answer::Yes;
    poly::CrossSection(env, cube, plane);
    poly::CrossSection(env, plane, plane);
    poly::CrossSection(env, plane, 9);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(scene.objectCount(), plane);
}

TEST_F(Section, SameContourTwiceIsKeptOnce) {
    const int cube = Cube();
    const int plane = AddHorizontalPlane(0.25f);
    Answers({Answer::Yes, Answer::No, Answer::Yes, Answer::No});
    EXPECT_GT(poly::CrossSection(env, plane, cube).contourSlot, 0);
    EXPECT_EQ(poly::CrossSection(env, plane, cube).contourSlot, 0);
    EXPECT_EQ(scene.objectCount(), plane + 1);
    EXPECT_EQ(host.questions.size(), 4u);
    // The second Yes is answered with where the contour already is.
    EXPECT_EQ(host.report.back(),
              "Ламана цього контуру перерізу вже є: об'єкт \"Переріз об'єкта \"Куб\"\".");
}

TEST_F(Section, QuestionsAreOnlyAskedWhenTheirObjectsFit) {
    const int cube = Cube();
    const int plane = AddHorizontalPlane(0.5f);
    while (scene.objectCount() < core::kMaxObjectCount - 1)
        core::AppendObject(scene, core::ObjectType::Point);
    host.defaultAnswer = Answer::Yes;
    poly::CrossSection(env, plane, cube); // room for the contour, not for two parts
    EXPECT_EQ(host.questions, std::vector<std::string>{kContourQuestion});
    EXPECT_EQ(scene.objectCount(), core::kMaxObjectCount);
    EXPECT_EQ(Object(cube).visible, 1);

    host.questions.clear();
    host.report.clear();
    const poly::SectionResult r = poly::CrossSection(env, plane, cube); // full
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(host.report.size(), 2u);
    EXPECT_TRUE(r.computed);
}

// Cuts too big for the working arrays end with "not completed" and leave the scene alone.
TEST_F(Section, OversizedCutsAreNotCompleted) {
    struct Row {
        const char* name;
        int sides; // a regular prism: 2k vertices, its cut at half height 2k new points
    };
    const Row rows[] = {
        {"more section points than a polygon holds", 150},
        {"more vertices than a record holds", 300},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        host = FakeHost{};
        host.defaultAnswer = Answer::Yes;
        std::vector<Point3> points;
        std::vector<std::array<int, 3>> faces;
        RegularPrism(r.sides, points, faces);
        const int prism = AddMesh(points, faces);
        const int plane = AddHorizontalPlane(0.5f);
        const poly::SectionResult result = poly::CrossSection(env, plane, prism);
        const std::vector<std::string> expected = {"report: Обчислення не було завершено.",
                                                   "error: Обчислення не було завершено."};
        EXPECT_EQ(host.calls, expected);
        EXPECT_FALSE(result.computed);
        EXPECT_EQ(scene.objectCount(), plane);
        core::DropLastObject(scene);
        core::DropLastObject(scene);
    }
}

// A move can take vertices beyond the float range; their section has no finite perimeter.
TEST_F(Section, CornersAtInfinityAreNotCompleted) {
    const int cube = Cube();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    scene.object(cube).vertex(4) = {kInf, kInf, 0};
    scene.object(cube).vertex(8) = {kInf, kInf, 1};
    poly::RecomputeFacePlanes(scene.object(cube));
    const int plane = AddHorizontalPlane(0.5f);
    host.defaultAnswer = Answer::Yes;
    const poly::SectionResult result = poly::CrossSection(env, plane, cube);
    const std::vector<std::string> expected = {"report: Обчислення не було завершено.",
                                               "error: Обчислення не було завершено."};
    EXPECT_EQ(host.calls, expected);
    EXPECT_FALSE(result.computed);
    EXPECT_EQ(scene.objectCount(), plane);
}

} // namespace
} // namespace vorn::test
