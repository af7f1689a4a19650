// Tests of hull formation, face planes, the convexity test and the visible-edge table.
#include "poly_fixture.h"

#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include "geometry/tolerances.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <utility>

namespace vorn::test {
namespace {

using poly::FormConvexFaces;

double Value(const core::Face& f, const core::Vec3f& v) {
    return double(f.a) * v.x + double(f.b) * v.y + double(f.c) * v.z + f.d;
}

// Every face is a supporting triangle of the point set: its plane is normalised, holds its
// three vertices and has every vertex on one side.
void ExpectSupportingFaces(const core::SceneObject& o) {
    for (int f = 1; f <= o.faceCount; ++f) {
        SCOPED_TRACE("face " + std::to_string(f));
        const core::Face& face = o.face(f);
        EXPECT_NEAR(double(face.a) * face.a + double(face.b) * face.b + double(face.c) * face.c, 1,
                    geo::kEpsPlane);
        for (int v : {face.vertex1, face.vertex2, face.vertex3}) {
            ASSERT_GE(v, 1);
            ASSERT_LE(v, o.vertexCount);
            EXPECT_LT(std::fabs(Value(face, o.vertex(v))), geo::kEpsPlane);
        }
        int below = 0, above = 0;
        for (int m = 1; m <= o.vertexCount; ++m) {
            below += Value(face, o.vertex(m)) < -geo::kEpsPlane;
            above += Value(face, o.vertex(m)) > geo::kEpsPlane;
        }
        EXPECT_TRUE(below == 0 || above == 0);
    }
}

bool HasVertex(const core::SceneObject& o, Point3 p) {
    for (int m = 1; m <= o.vertexCount; ++m) {
        const core::Vec3f& v = o.vertex(m);
        if (v.x == p.x && v.y == p.y && v.z == p.z) return true;
    }
    return false;
}

class Formation : public PolyFixture {};

TEST_F(Formation, ConvexPointSetsKeepOnlyTheirCorners) {
    const std::vector<Point3> cube = CubeCorners();
    const auto with = [&cube](std::initializer_list<Point3> extra) {
        std::vector<Point3> p = cube;
        p.insert(p.end(), extra);
        return p;
    };
    struct Row {
        const char* name;
        std::vector<Point3> points;
        std::vector<Point3> corners;
        int faces;
    };
    const std::vector<Point3> tetra = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const std::vector<Point3> octa = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                      {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    std::vector<Point3> centreFirst = {{0.5f, 0.5f, 0.5f}};
    centreFirst.insert(centreFirst.end(), cube.begin(), cube.end());
    // On the top face but on no segment between two of its corners.
    std::vector<Point3> facePointFirst = {{0.3f, 0.6f, 1}};
    facePointFirst.insert(facePointFirst.end(), cube.begin(), cube.end());
    const Row rows[] = {
        {"cube", cube, cube, 12},
        {"cube and its centre", with({{0.5f, 0.5f, 0.5f}}), cube, 12},
        {"centre listed first", centreFirst, cube, 12},
        {"a face point listed first", facePointFirst, cube, 12},
        {"cube and an edge midpoint", with({{0.5f, 0, 0}}), cube, 12},
        {"cube and a face centre", with({{0.5f, 0.5f, 1}}), cube, 12},
        {"tetrahedron", tetra, tetra, 4},
        {"octahedron", octa, octa, 8},
        {"a corner given twice", with({{1, 1, 1}}), cube, 12},
        {"a corner repeated within 1e-7", with({{1, 1, 1.0000001f}}), cube, 12},
        {"box with a pyramid roof", with({{0.5f, 0.5f, 2}}), with({{0.5f, 0.5f, 2}}), 2 * 9 - 4},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = AddPoints(r.points);
        ASSERT_TRUE(FormConvexFaces(env, slot));
        const core::SceneObject& o = Object(slot);
        EXPECT_EQ(o.vertexCount, static_cast<int>(r.corners.size()));
        EXPECT_EQ(o.faceCount, r.faces);
        for (const Point3& c : r.corners)
            EXPECT_TRUE(HasVertex(o, c)) << c.x << " " << c.y << " " << c.z;
        ExpectSupportingFaces(o);
        EXPECT_TRUE(poly::IsConvex(o));
        core::DropLastObject(scene);
    }
}

// The face records written to a file: vertex numbers in stored order, as the boundary walk and
// the fan give them, and which way each stored normal points. Files saved earlier hold exactly
// these, so they are compared unsorted.
TEST_F(Formation, FormedFacesKeepTheirStoredTriples) {
    using Triples = std::vector<std::array<int, 3>>;
    struct Row {
        const char* name;
        std::vector<Point3> points;
        Triples faces;
        const char* normals; // per face: 'o' points out of the solid, 'i' into it
    };
    std::vector<Point3> prism;
    for (float z : {0.0f, 1.0f})
        for (Point3 p : {Point3{0, 0, z}, Point3{1, 0, z}, Point3{0, 1, z}})
            prism.push_back(p);
    std::vector<Point3> centreFirst = CubeCorners();
    centreFirst.insert(centreFirst.begin(), {0.5f, 0.5f, 0.5f});
    // clang-format off
    const Row rows[] = {
        {"tetrahedron", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
         {{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}}, "ioio"},
        {"cube", CubeCorners(),
         {{1, 2, 4}, {1, 4, 3}, {1, 2, 6}, {1, 6, 5}, {1, 3, 7}, {1, 7, 5},
          {2, 4, 8}, {2, 8, 6}, {3, 4, 8}, {3, 8, 7}, {5, 6, 8}, {5, 8, 7}}, "iiooiiooiioo"},
        // The centre is deleted and every number above it moves down: the cube's faces again.
        {"cube, centre first", centreFirst,
         {{1, 2, 4}, {1, 4, 3}, {1, 2, 6}, {1, 6, 5}, {1, 3, 7}, {1, 7, 5},
          {2, 4, 8}, {2, 8, 6}, {3, 4, 8}, {3, 8, 7}, {5, 6, 8}, {5, 8, 7}}, "iiooiiooiioo"},
        {"pyramid, apex first", {{0.5f, 0.5f, 1}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}},
         {{1, 2, 3}, {1, 2, 4}, {1, 3, 5}, {1, 4, 5}, {2, 3, 5}, {2, 5, 4}}, "oioiii"},
        {"triangular prism", prism,
         {{1, 2, 3}, {1, 2, 5}, {1, 5, 4}, {1, 3, 6}, {1, 6, 4}, {2, 3, 6}, {2, 6, 5}, {4, 5, 6}},
         "iooiiooo"},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = AddPoints(r.points);
        ASSERT_TRUE(FormConvexFaces(env, slot));
        const core::SceneObject& o = Object(slot);
        core::Vec3f inside{0, 0, 0};
        for (int m = 1; m <= o.vertexCount; ++m) {
            inside.x += o.vertex(m).x / float(o.vertexCount);
            inside.y += o.vertex(m).y / float(o.vertexCount);
            inside.z += o.vertex(m).z / float(o.vertexCount);
        }
        Triples faces;
        std::string normals;
        for (int f = 1; f <= o.faceCount; ++f) {
            const core::Face& face = o.face(f);
            faces.push_back({face.vertex1, face.vertex2, face.vertex3});
            normals += Value(face, inside) < 0 ? 'o' : 'i';
        }
        EXPECT_EQ(faces, r.faces);
        EXPECT_EQ(normals, r.normals);
        // A closed surface: every side of a triangle is shared with exactly one other.
        std::map<std::pair<int, int>, int> uses;
        for (const auto& t : faces)
            for (int k = 0; k < 3; ++k)
                ++uses[std::minmax(t[static_cast<std::size_t>(k)], t[(k + 1) % 3])];
        for (const auto& [edge, count] : uses)
            EXPECT_EQ(count, 2) << edge.first << "-" << edge.second;
        core::DropLastObject(scene);
    }
}

TEST_F(Formation, RepeatedCornerLeavesAClosedSolid) {
    std::vector<Point3> points = CubeCorners();
    points.insert(points.begin() + 3, points[0]); // copy of corner 1 before the others
    const int slot = AddPoints(points);
    ASSERT_TRUE(FormConvexFaces(env, slot));
    ASSERT_TRUE(poly::CompleteObject(env, slot));
    EXPECT_NEAR(Object(slot).volume, 1, geo::kEpsPlane);
    EXPECT_NEAR(poly::SurfaceArea(Object(slot)), 6, geo::kEpsPlane);
}

TEST_F(Formation, FlatOrDegeneratePointSetsFail) {
    struct Row {
        const char* name;
        std::vector<Point3> points;
    };
    const Row rows[] = {
        {"four coplanar points", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}},
        {"a tilted square with its centre",
         {{0, 0, 0}, {1, 0, 1}, {1, 1, 1}, {0, 1, 0}, {0.5f, 0.5f, 0.5f}}},
        {"collinear points", {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}},
        {"three points", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
        {"one point four times", {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}}},
        {"no points", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = AddPoints(r.points);
        EXPECT_FALSE(FormConvexFaces(env, slot));
        core::DropLastObject(scene);
    }
}

TEST_F(Formation, MorePointsInOneFacePlaneThanAFaceHoldsFailCleanly) {
    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    RegularPrism(260, points, faces);
    const int slot = AddPoints(points);
    EXPECT_FALSE(FormConvexFaces(env, slot));
    const core::SceneObject& o = Object(slot);
    EXPECT_LE(o.vertexCount, 520);
    for (int f = 1; f <= o.faceCount; ++f)
        for (int v : {o.face(f).vertex1, o.face(f).vertex2, o.face(f).vertex3})
            EXPECT_TRUE(v >= 1 && v <= o.vertexCount);
}

// Sets that can make no solid fail: values that are no numbers (at once, instead of retrying
// every triple through them), and points along a line with a hair of scatter.
TEST_F(Formation, HopelessSetsFailWithoutWalkingOn) {
    std::vector<Point3> cube = CubeCorners();
    cube.push_back({std::nanf(""), 0.5f, 0.5f});
    const int withNaN = AddPoints(cube);
    EXPECT_FALSE(FormConvexFaces(env, withNaN));
    EXPECT_EQ(Object(withNaN).faceCount, 0);

    std::vector<Point3> line;
    for (int i = 0; i < 60; ++i) {
        const float t = float(i) / 59;
        line.push_back({t, 2 * t, -t + (i % 5 == 0 ? 3e-5f * float(i % 7) : 0.f)});
    }
    const int nearLine = AddPoints(line);
    EXPECT_FALSE(FormConvexFaces(env, nearLine));
}

TEST_F(Formation, ProgressIsShownOnlyAboveFortyPoints) {
    const int small = AddPoints(CubeCorners(), "Куб");
    ASSERT_TRUE(FormConvexFaces(env, small));
    EXPECT_EQ(host.progressShown, 0);

    const int large = AddPoints(SpherePoints(41), "Куля");
    ASSERT_TRUE(FormConvexFaces(env, large));
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.front(), "progress: Формування об'єкта \"Куля\"... /41");
    EXPECT_EQ(host.calls.back(), "progress end");
    EXPECT_NE(
        std::find(host.calls.begin(), host.calls.end(), "progress: Видалення зайвих вершин... /41"),
        host.calls.end());
    EXPECT_EQ(host.progressSteps, 39);
}

TEST_F(Formation, TwoHundredSpherePointsFormAndCompleteInTime) {
    const std::vector<Point3> points = SpherePoints(200);
    const int slot = AddPoints(points);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(FormConvexFaces(env, slot));
    const auto formed = std::chrono::steady_clock::now();
    ASSERT_TRUE(poly::CompleteObject(env, slot));
    const auto completed = std::chrono::steady_clock::now();
    const auto ms = [](auto d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    std::cout << "[ timing ] FormConvexFaces(200 sphere points): " << ms(formed - start)
              << " ms, CompleteObject: " << ms(completed - formed) << " ms\n";

    const core::SceneObject& o = Object(slot);
    EXPECT_EQ(o.vertexCount, 200);
    EXPECT_EQ(o.faceCount, 2 * 200 - 4);
    ExpectSupportingFaces(o);
    // The same volume as the cones from the centre over every face.
    long double cones = 0;
    for (int f = 1; f <= o.faceCount; ++f) {
        const core::Face& face = o.face(f);
        cones += std::fabs(double(face.d)) * face.area / 3;
    }
    EXPECT_NEAR(o.volume, static_cast<double>(cones), geo::kEpsPlane);
    EXPECT_LT(o.volume, 4 * 3.141592653589793 / 3);
}

TEST_F(Formation, FacePlanesAreRecomputedUpToTheFirstBadFace) {
    std::vector<Point3> points = CubeCorners();
    const std::vector<std::array<int, 3>> none;
    EXPECT_EQ(poly::RecomputeFacePlanes(scene.object(AddMesh(points, none))), -1);

    struct Row {
        const char* name;
        std::array<int, 3> second; // the first face is always good
        int result;
    };
    const Row rows[] = {
        {"all faces good", {1, 2, 5}, 0},       {"a vertex past the count", {1, 2, 9}, 2},
        {"a vertex number zero", {0, 1, 2}, 2}, {"a repeated vertex", {3, 3, 4}, 2},
        {"collinear vertices", {1, 2, 2}, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = AddMesh(points, {{1, 2, 3}, r.second, {5, 6, 7}});
        core::SceneObject& o = scene.object(slot);
        o.face(3).a = 7; // a sentinel: faces after a bad one stay as they are
        EXPECT_EQ(poly::RecomputeFacePlanes(o), r.result);
        EXPECT_EQ(o.face(3).a, r.result == 0 ? 0.0f : 7.0f);
        // Normal (p2 - p1) x (p3 - p1) of (0,0,0), (1,0,0), (0,1,0): +z, through the origin.
        EXPECT_EQ(o.face(1).c, 1.0f);
        EXPECT_EQ(o.face(1).d, 0.0f);
        core::DropLastObject(scene);
    }
}

TEST_F(Formation, ConvexityOfMeshes) {
    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    LPrism(points, faces);
    EXPECT_FALSE(poly::IsConvex(Object(AddMesh(points, faces))));

    RegularPrism(12, points, faces);
    EXPECT_TRUE(poly::IsConvex(Object(AddMesh(points, faces))));

    EXPECT_TRUE(poly::IsConvex(Object(AddPoints(CubeCorners()))));

    // A cube whose top corner is pushed inwards: a dent.
    const int dented = AddPoints(CubeCorners());
    ASSERT_TRUE(FormConvexFaces(env, dented));
    for (int m = 1; m <= Object(dented).vertexCount; ++m) {
        core::Vec3f& v = scene.object(dented).vertex(m);
        if (v.x == 1 && v.y == 1 && v.z == 1) v = {0.6f, 0.6f, 0.6f};
    }
    ASSERT_EQ(poly::RecomputeFacePlanes(scene.object(dented)), 0);
    EXPECT_FALSE(poly::IsConvex(Object(dented)));
}

// Hidden edges of a formed mesh: a diagonal joins corners that differ in two coordinates.
TEST_F(Formation, OnlyFaceOutlinesStayVisible) {
    struct Row {
        const char* name;
        std::vector<Point3> points;
        int hiddenEdges; // triangle edges (each diagonal lies in two triangles)
    };
    const std::vector<Point3> tetra = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::vector<Point3> prism; // a triangular prism: three square sides
    for (float z : {0.0f, 1.0f})
        for (Point3 p : {Point3{0, 0, z}, Point3{1, 0, z}, Point3{0, 1, z}})
            prism.push_back(p);
    const Row rows[] = {
        {"cube", CubeCorners(), 12},
        {"tetrahedron", tetra, 0},
        {"triangular prism", prism, 6},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int slot = AddPoints(r.points);
        ASSERT_TRUE(FormConvexFaces(env, slot));
        poly::MarkFaceEdges(env, slot);
        const core::SceneObject& o = Object(slot);
        int hidden = 0;
        for (int f = 1; f <= o.faceCount; ++f) {
            const int v[3] = {o.face(f).vertex1, o.face(f).vertex2, o.face(f).vertex3};
            for (int k = 0; k < 3; ++k) {
                const core::Vec3f& p = o.vertex(v[k]);
                const core::Vec3f& q = o.vertex(v[(k + 1) % 3]);
                const int differ = (p.x != q.x) + (p.y != q.y) + (p.z != q.z);
                const bool visible = scene.edgeVisibility(slot)[f - 1][k] == 1;
                hidden += !visible;
                // Every drawn edge is an edge of the solid; axis-parallel edges always are.
                if (differ == 1) {
                    EXPECT_TRUE(visible);
                }
            }
        }
        EXPECT_EQ(hidden, r.hiddenEdges);
    }
}

TEST_F(Formation, EveryEdgeOfANonConvexMeshIsDrawn) {
    std::vector<Point3> points;
    std::vector<std::array<int, 3>> faces;
    LPrism(points, faces);
    const int slot = AddMesh(points, faces);
    poly::MarkFaceEdges(env, slot);
    for (int f = 1; f <= Object(slot).faceCount; ++f)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(scene.edgeVisibility(slot)[f - 1][k], 1);
}

} // namespace
} // namespace vorn::test
