// Tests of polyhedron completion (areas, closedness, volume) and of the face list.
#include "poly_fixture.h"

#include "polyhedra/face_list.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include "geometry/tolerances.h"

#include <cmath>

namespace vorn::test {
namespace {

class Metrics : public PolyFixture {
  protected:
    int FormedCube(float size = 1, float z0 = 0, const std::string& name = "") {
        const int slot = AddPoints(CubeCorners(size, z0), name);
        EXPECT_TRUE(poly::FormConvexFaces(env, slot));
        return slot;
    }
};

TEST_F(Metrics, CubesHaveTheirVolumeAndAreaAtAnyHeight) {
    struct Row {
        float size, z0;
    };
    const Row rows[] = {{1, 0}, {1, -5}, {1, -0.5f}, {1, 10}, {2, -1}, {0.5f, 3}};
    for (const Row& r : rows) {
        SCOPED_TRACE("size " + std::to_string(r.size) + " at z " + std::to_string(r.z0));
        const int slot = FormedCube(r.size, r.z0);
        ASSERT_TRUE(poly::CompleteObject(env, slot));
        const core::SceneObject& o = Object(slot);
        const double s = r.size;
        EXPECT_NEAR(o.volume, s * s * s, geo::kEpsPlane);
        EXPECT_NEAR(poly::SurfaceArea(o), 6 * s * s, geo::kEpsPlane);
        for (int f = 1; f <= o.faceCount; ++f)
            EXPECT_NEAR(o.face(f).area, s * s / 2, geo::kEpsPlane);
        core::DropLastObject(scene);
    }
}

TEST_F(Metrics, MeshesGivenFaceByFace) {
    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    struct Row {
        const char* name;
        double volume, area;
    };
    LPrism(points, faces);
    const int lPrism = AddMesh(points, faces);
    ASSERT_TRUE(poly::CompleteObject(env, lPrism));
    EXPECT_NEAR(Object(lPrism).volume, 3, geo::kEpsPlane);
    EXPECT_NEAR(poly::SurfaceArea(Object(lPrism)), 14, geo::kEpsPlane);

    // A tilted tetrahedron with no vertical face: |det| / 6.
    const int tetra = AddMesh({{0, 0, 0}, {2, 0, 1}, {0, 3, 2}, {1, 1, 4}},
                              {{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}});
    ASSERT_TRUE(poly::CompleteObject(env, tetra));
    // (2,0,1) . ((0,3,2) x (1,1,4)) = 2*10 + 1*(-3) = 17
    EXPECT_NEAR(Object(tetra).volume, 17.0 / 6, geo::kEpsPlane);
}

TEST_F(Metrics, OpenOrDamagedMeshesAreNotClosed) {
    struct Row {
        const char* name;
        int dropFace;  // remove the n-th face lying in a side of the kind below (0: none)
        bool vertical; // which sides dropFace counts
        int badVertex; // a vertex number written into face 1 (0: none)
        bool collapse; // face 1 given zero area
    };
    const Row rows[] = {
        {"a triangle of one horizontal side removed", 1, false, 0, false},
        {"a triangle of the other horizontal side removed", 3, false, 0, false},
        // No vertical test line meets these holes; their edges show them.
        {"a triangle of a vertical side removed", 1, true, 0, false},
        {"a triangle of another vertical side removed", 6, true, 0, false},
        {"face naming a missing vertex", 0, false, 9, false},
        {"face naming vertex 0", 0, false, 0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = FormedCube();
        core::SceneObject& o = scene.object(slot);
        for (int f = 1, seen = 0; f <= o.faceCount && r.dropFace > 0; ++f) {
            if ((std::fabs(o.face(f).c) < geo::kEpsPlane) != r.vertical || ++seen < r.dropFace)
                continue;
            o.face(f) = o.face(o.faceCount);
            --o.faceCount;
            break;
        }
        if (r.badVertex > 0) o.face(1).vertex1 = static_cast<std::int16_t>(r.badVertex);
        if (r.collapse) o.face(1).vertex1 = 0;
        scene.edgeVisibility(slot)[0] = {7, 7, 7};
        EXPECT_FALSE(poly::CompleteObject(env, slot));
        EXPECT_EQ(o.volume, 0);
        EXPECT_EQ(scene.edgeVisibility(slot)[0][0], 7); // edge table not recomputed
        core::DropLastObject(scene);
    }
}

// Faces meeting along part of an edge, or through a second copy of a corner, still close.
TEST_F(Metrics, SplitEdgesAndCopiedCornersStayClosed) {
    std::vector<Point3> points = CubeCorners();
    std::vector<std::array<int, 3>> tJunction = kCubeTriangles, copied = kCubeTriangles;
    // The side y = 0 fanned from the midpoint 9 of its top edge, which the top keeps whole.
    points.push_back({0.5f, 0, 1});
    tJunction[4] = {1, 2, 9};
    tJunction[5] = {2, 6, 9};
    tJunction.push_back({1, 9, 5});
    // Vertex 10 repeats corner 8 for the faces of the side x = 1.
    points.push_back(points[7]);
    copied[10] = {2, 4, 10};
    copied[11] = {2, 10, 6};
    const struct {
        const char* name;
        std::vector<std::array<int, 3>> faces;
    } rows[] = {{"an edge split by a vertex inside it", tJunction},
                {"a corner given twice", copied}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = AddMesh(points, r.faces);
        ASSERT_TRUE(poly::CompleteObject(env, slot));
        EXPECT_NEAR(Object(slot).volume, 1, geo::kEpsPlane);
        core::DropLastObject(scene);
    }
}

TEST_F(Metrics, ZeroAreaFaceAdmitsNoTestLine) {
    // A tetrahedron plus a sliver face inside: its test line cannot be drawn.
    const int slot = AddMesh({{0, 0, 0}, {2, 0, 1}, {0, 3, 2}, {1, 1, 4}, {0.5f, 0.5f, 1}},
                             {{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}, {1, 5, 5}});
    scene.object(slot).face(5) = scene.object(slot).face(1);
    scene.object(slot).face(5).vertex2 = 5;
    scene.object(slot).face(5).vertex3 = 5;
    EXPECT_FALSE(poly::CompleteObject(env, slot));
}

TEST_F(Metrics, ProgressAboveAHundredFaces) {
    const int cube = FormedCube(1, 0, "Куб");
    ASSERT_TRUE(poly::CompleteObject(env, cube));
    EXPECT_EQ(host.progressShown, 0);

    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    RegularPrism(30, points, faces); // 4 * 30 - 4 = 116 faces
    const int prism = AddMesh(points, faces, "Призма");
    ASSERT_TRUE(poly::CompleteObject(env, prism));
    const std::vector<std::string> expected = {
        "progress: Обчислення об'єму об'єкта \"Призма\"... /116", "progress end",
        "progress: Видалення зайвих ліній між гранями об'єкта \"Призма\"... /116", "progress end"};
    EXPECT_EQ(host.calls, expected);
    const double area = 30 * std::sin(2 * 3.141592653589793 / 30) / 2;
    EXPECT_NEAR(Object(prism).volume, area, geo::kEpsPlane);
}

TEST_F(Metrics, CubeFaceListInBothModes) {
    const int slot = FormedCube();
    ASSERT_TRUE(poly::CompleteObject(env, slot));
    const core::SceneObject& o = Object(slot);
    struct Row {
        bool drawContur;
        std::size_t entries;
        int corners;
        double area, perimeter;
    };
    const Row rows[] = {{true, 6, 4, 1, 4}, {false, 12, 3, 0.5, 2 + std::sqrt(2.0)}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.drawContur ? "flat faces" : "triangles");
        settings.DrawContur = r.drawContur;
        const poly::FaceList list = poly::BuildFaceList(env, slot);
        ASSERT_EQ(list.size(), r.entries);
        std::set<std::vector<std::int16_t>> seen;
        for (const poly::FaceListEntry& e : list) {
            EXPECT_EQ(e.vertexCount(), r.corners);
            EXPECT_EQ(e.vertices.front(), e.vertices.back());
            EXPECT_NEAR(e.area, r.area, geo::kEpsPlane);
            EXPECT_NEAR(e.perimeter, r.perimeter, geo::kEpsPlane);
            // The corners of one entry share a coordinate: they lie in one side of the cube.
            int common = 0;
            for (auto coord : {&core::Vec3f::x, &core::Vec3f::y, &core::Vec3f::z}) {
                bool same = true;
                for (std::int16_t v : e.vertices)
                    same = same && o.vertex(v).*coord == o.vertex(e.vertices[0]).*coord;
                common += same;
            }
            EXPECT_EQ(common, 1);
            std::vector<std::int16_t> key(e.vertices.begin(), e.vertices.end() - 1);
            std::sort(key.begin(), key.end());
            EXPECT_TRUE(seen.insert(key).second);
        }
    }
}

TEST_F(Metrics, NonConvexObjectsListTriangles) {
    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    LPrism(points, faces);
    const int slot = AddMesh(points, faces);
    ASSERT_TRUE(poly::CompleteObject(env, slot));
    EXPECT_EQ(poly::BuildFaceList(env, slot).size(), faces.size());
}

TEST_F(Metrics, FaceListTextsAndMarks) {
    const int slot = FormedCube(1, 0, "Куб");
    EXPECT_EQ(poly::FaceListCaption(env, slot), "Перелік граней об'єкта \"Куб\"");

    poly::FaceListEntry square;
    square.vertices = {1, 2, 3, 4, 1};
    square.area = 1;
    square.perimeter = 4;
    struct Row {
        const char* name;
        bool letters;
        int vertexCount;
        std::vector<std::int16_t> vertices;
        int number;
        std::string text;
    };
    const Row rows[] = {
        {"letters", true, 8, {1, 2, 3, 4, 1}, 1, " Грань 1: вершини: (A, B, C, D), S=1, P=4"},
        {"numbers when letters are off",
         false,
         8,
         {1, 2, 3, 4, 1},
         12,
         " Грань 12: вершини: (1, 2, 3, 4), S=1, P=4"},
        {"vertex 26 is Z", true, 26, {26, 1, 2, 26}, 3, " Грань 3: вершини: (Z, A, B), S=1, P=4"},
        {"27 vertices take numbers",
         true,
         27,
         {26, 27, 1, 26},
         3,
         " Грань 3: вершини: (26, 27, 1), S=1, P=4"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        settings.PutLetters = r.letters;
        scene.object(slot).vertexCount = static_cast<std::int16_t>(r.vertexCount);
        poly::FaceListEntry e = square;
        e.vertices = r.vertices;
        EXPECT_EQ(poly::FaceListItemText(env, slot, e, r.number), r.text);
    }
    settings.answerDigits = 3;
    square.area = 2.0 / 3;
    square.perimeter = std::sqrt(2.0);
    settings.PutLetters = true;
    scene.object(slot).vertexCount = 8;
    EXPECT_EQ(poly::FaceListItemText(env, slot, square, 2),
              " Грань 2: вершини: (A, B, C, D), S=0.667, P=1.41");
    // A face too large for a double shows no INF.
    square.area = HUGE_VAL;
    EXPECT_EQ(poly::FaceListItemText(env, slot, square, 2),
              " Грань 2: вершини: (A, B, C, D): Дані не коректні.");
    poly::FaceList huge{square};
    poly::MarkAll(huge);
    EXPECT_EQ(poly::MarkedAreaText(env, huge), "Дані не коректні.");
}

TEST_F(Metrics, MarkedAreasAddUp) {
    const int slot = FormedCube();
    ASSERT_TRUE(poly::CompleteObject(env, slot));
    poly::FaceList list = poly::BuildFaceList(env, slot);
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(poly::MarkedAreaText(env, list), "0");
    poly::MarkAll(list);
    EXPECT_EQ(poly::MarkedAreaText(env, list), "6");
    list[0].marked = false;
    list[3].marked = false;
    poly::InvertMarks(list);
    EXPECT_NEAR(poly::MarkedArea(list), 2, geo::kEpsPlane);
    poly::UnmarkAll(list);
    EXPECT_EQ(poly::MarkedArea(list), 0);
}

} // namespace
} // namespace vorn::test
