// Tests of the polygon routines: areas, column volumes, planar point tests and the planar hull.
#include "geometry/polygon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <vector>

namespace vorn::geo {
namespace {

PointList MakeList(std::initializer_list<Vec3> points) {
    PointList list;
    for (const Vec3& v : points)
        list.push(v);
    return list;
}

TEST(Polygons, LengthsAndAreas) {
    PointList path = MakeList({{0, 0, 0}, {3, 4, 0}, {3, 4, 12}});
    path[4] = path[1]; // a closing copy beyond n is not walked
    EXPECT_NEAR(PolylineLength(path), 17, kEpsCoord);
    EXPECT_EQ(PolylineLength(MakeList({{3, 4, 5}})), 0);
    const Vec3 cw[] = {{0, 0, 9}, {0, 3, 9}, {2, 0, 9}};
    EXPECT_NEAR(PolygonArea2D(cw), -3, kEpsCoord);

    const double s = 2 * kEpsPlane; // tilt: normal x-component just above kEpsPlane
    const double r2 = std::sqrt(2.0);
    // clang-format off
    struct Row { const char* name; PointList polygon; double area; };
    const Row rows[] = {
        {"z = 0", MakeList({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}), 1},
        {"x = 0", MakeList({{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}}), 1},
        {"y = 2", MakeList({{0, 2, 0}, {1, 2, 0}, {1, 2, 1}, {0, 2, 1}}), 1},
        {"z = x", MakeList({{0, 0, 0}, {1, 0, 1}, {1, 1, 1}, {0, 1, 0}}), r2},
        {"nearly flat, via (z, y)", MakeList({{0, 0, 0}, {1, 0, s}, {1, 1, s}, {0, 1, 0}}),
         std::sqrt(1 + s * s)},
        {"repeated first vertex",
         MakeList({{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}), 0},
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_NEAR(std::fabs(PolygonArea3D(r.polygon)), r.area, kEpsCoord) << r.name;
    }
}

TEST(Polygons, ProjectionRuleTestsXThenYThenZ) {
    const double e = kEpsPlane, below = std::nextafter(kEpsPlane, 0.0);
    // clang-format off
    struct Row { double a, b, c; Projection projection; Vec3 of123; };
    const Row rows[] = {
        {e, 0, 1, Projection::DropX, {3, 2, 0}},
        {-e, 0.6, 0.8, Projection::DropX, {3, 2, 0}},
        {below, -e, 1, Projection::DropY, {1, 3, 0}},   {0, below, e, Projection::DropZ, {1, 2, 0}},
        {below, below, below, Projection::Unchanged, {1, 2, 0}},
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(ProjectionRule(r.a, r.b, r.c), r.projection) << r.a << " " << r.b << " " << r.c;
        EXPECT_EQ(ProjectPoint(r.projection, {1, 2, 3}), r.of123);
    }
}

TEST(Polygons, ColumnVolumes) {
    // clang-format off
    struct Tri { const char* name; Vec3 s, a, b; double volume; };
    const Tri triangles[] = {
        {"flat at height 1", {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, 0.5},
        {"footprint 0.5, mean height 2", {0, 0, 1}, {1, 0, 2}, {0, 1, 3}, 1},
        {"footprint 7.125, mean height 17/12", {0.5, 2, 1.5}, {3, -1, 2}, {4, 3.5, 0.75},
         7.125 * 4.25 / 3},
        // Degenerate side plane: the neutral result (callers lift solids above z = 0).
        {"A at height 0", {0, 0, 1}, {1, 0, 0}, {0, 1, 1}, 0},
    };
    // clang-format on
    for (const Tri& r : triangles)
        EXPECT_NEAR(TriangleColumnVolume(r.s, r.a, r.b), r.volume, kEpsCoord) << r.name;

    // clang-format off
    struct Poly { const char* name; PointList polygon; double volume; };
    const Poly polygons[] = {
        {"square on z = 1 + x + y", MakeList({{0, 0, 1}, {1, 0, 2}, {1, 1, 3}, {0, 1, 2}}), 2},
        {"pentagon at height 3",
         MakeList({{0, 0, 3}, {2, 0, 3}, {3, 1, 3}, {1, 3, 3}, {-1, 1, 3}}), 3 * 7},
        {"below z = 0", MakeList({{0, 0, -2}, {1, 0, -2}, {1, 1, -2}, {0, 1, -2}}), -2},
        {"vertical", MakeList({{0, 0, 1}, {1, 1, 1}, {1, 1, 2}, {0, 0, 2}}), 0},
    };
    // clang-format on
    for (const Poly& r : polygons)
        EXPECT_NEAR(PolygonColumnVolume(r.polygon), r.volume, kEpsCoord) << r.name;
}

TEST(Planar, PointOnSegment) {
    const Vec3 o{0, 0, 0}, e{3, 4, 0}, mid{1.5, 2, 7}, normal{-0.8, 0.6, 0};
    const double h = kEpsCoord / 2, eps = kEpsSegment;
    // clang-format off
    struct Row { const char* name; Vec3 p1, p2, p; bool onLine, inBox; };
    const Row rows[] = {
        {"within kEpsCoord of an end", o, e, {h, -h, 0}, true, true},
        {"ends within kEpsCoord", {1, 1, 0}, {1, 1 + h, 0}, {2, 2, 0}, false, false},
        {"beyond an end", o, e, {6, 8, 0}, true, false},
        {"0.9 eps off, z ignored", o, e, mid + normal * (0.9 * eps), true, true},
        {"1.1 eps off", o, e, mid + normal * (1.1 * eps), false, true},
        {"exactly eps off", o, {0, 2, 0}, {eps, 1, 0}, false, false},
        {"box has no tolerance", o, {2, 0, 0}, {1, eps / 2, 0}, true, false},
    };
    // clang-format on
    for (const Row& r : rows) {
        const SegmentTest t = PointOnSegment2D(r.p1, r.p2, r.p, kEpsSegment);
        EXPECT_TRUE(t.onLine == r.onLine && t.inBox == r.inBox) << r.name;
    }
}

TEST(Planar, PointInPolygon) {
    const PointList triangle = MakeList({{0, 0, 0}, {2, 0, 0}, {1, 2, 0}});
    const double h = std::sqrt(3.0);
    const PointList hexagon =
        MakeList({{2, 0, 0}, {1, h, 0}, {-1, h, 0}, {-2, 0, 0}, {-1, -h, 0}, {1, -h, 0}});
    const double off = kEpsEdge / std::sqrt(5.0); // times (2, 1): off edge (2,0)-(1,2)
    // clang-format off
    struct Row { const char* name; const PointList& polygon; double x, y; bool inside, onEdge; };
    const Row rows[] = {
        {"inside", triangle, 1, 1, true, false},
        {"on an edge", triangle, 1, 0, true, true},
        {"on the line through the top vertex", triangle, 3, 2, false, false},
        {"kEpsEdge/2 off a slanted edge", triangle, 1.5 + off, 1 + off / 2, true, true},
        {"2 kEpsEdge off a slanted edge", triangle, 1.5 + 4 * off, 1 + 2 * off, false, false},
        // The edge's box has the distance test's tolerance: a horizontal or vertical edge keeps
        // a point a rounding step outside it, and so does an edge's line just past its end.
        {"kEpsEdge/2 below a horizontal edge", triangle, 1, -kEpsEdge / 2, true, true},
        {"kEpsEdge/2 past an end, on the line", triangle, 2 + kEpsEdge / 2, 0, true, true},
        {"2 kEpsEdge below a horizontal edge", triangle, 1, -2 * kEpsEdge, false, false},
        {"line through two vertices, inside", hexagon, 0, 0, true, false},
        {"line through two vertices, outside", hexagon, 3, 0, false, false},
        {"line of a horizontal edge, outside", hexagon, 3, h, false, false},
        {"just below a horizontal edge", hexagon, 0, h - kEpsSegment, true, false},
    };
    // clang-format on
    for (const Row& r : rows) {
        const PolygonTest t = PointInPolygon2D(r.polygon, r.x, r.y);
        EXPECT_TRUE(t.inside == r.inside && t.onEdge == r.onEdge) << r.name;
    }
}

// Each hull side, closing side included, has every hull vertex on one side of it.
void ExpectBoundaryWalk(const PointList& hull, Projection proj) {
    for (int k = 1; k <= hull.n; ++k) {
        const Vec3 a = ProjectPoint(proj, hull[k]), b = ProjectPoint(proj, hull[k + 1]);
        int negative = 0, positive = 0;
        for (int i = 1; i <= hull.n; ++i) {
            const Vec3 t = ProjectPoint(proj, hull[i]);
            const double side = (t.x - a.x) * (b.y - a.y) - (t.y - a.y) * (b.x - a.x);
            negative += side < -kEpsEdge;
            positive += side > kEpsEdge;
        }
        EXPECT_TRUE(negative == 0 || positive == 0) << "side " << k;
    }
}

TEST(Hull, KeepsCornersInWalkingOrder) {
    const double c = 0.5, s = std::sqrt(3.0) / 2, r2 = 1 / std::sqrt(2.0);
    // clang-format off
    // walk: input numbers of the corners in the order stored; from the smallest corner towards
    // its neighbour with the smaller number.
    struct Row { const char* name; std::vector<Vec3> in; Plane plane; std::vector<int> walk; };
    const Row rows[] = {
        {"square, centre, side midpoint",
         {{0.5, 0.5, 0}, {0, 0, 0}, {1, 0, 0}, {0.5, 0, 0}, {1, 1, 0}, {0, 1, 0}},
         {0, 0, 1, 0}, {2, 3, 5, 6}},
        {"shuffled hexagon in z = x + 2",
         {{c, s, c + 2}, {0, 0, 2}, {-1, 0, 1}, {1, 0, 3}, {-c, -s, -c + 2}, {0.2, 0.1, 2.2},
          {-c, s, -c + 2}, {c, -s, c + 2}},
         {-r2, 0, r2, -2 * r2}, {1, 4, 8, 5, 3, 7}},
        // Each copy of a repeated point lies on a segment from the other: both drop out.
        {"repeated corner", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}, {0, 1, 0}},
         {0, 0, 1, 0}, {1, 2, 5}},
        {"collinear", {{0, 0, 0}, {2, 2, 0}, {1, 1, 0}, {3, 3, 0}}, {0, 0, 1, 0}, {1, 4}},
        // Inner points on no segment between two others stay candidates; the walk must not
        // start at them, or it ends at once.
        {"inner points first", {{1, 2, 0}, {2, 1, 0}, {0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}},
         {0, 0, 1, 0}, {3, 4, 5, 6}},
        {"inner point first in x = 3", {{3, 1, 2}, {3, 0, 0}, {3, 4, 0}, {3, 0, 4}},
         {1, 0, 0, -3}, {2, 3, 4}},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        PointList list;
        for (const Vec3& v : r.in)
            list.push(v);
        HullOrder order{};
        const int count = static_cast<int>(r.walk.size());
        ASSERT_EQ(PlanarConvexHull(list, order, r.plane), count);
        ASSERT_EQ(list.n, count);
        std::vector<int> seen;
        for (int k = 1; k <= count; ++k) {
            const int index = order[static_cast<std::size_t>(k)];
            seen.push_back(index);
            EXPECT_EQ(list[k], r.in[static_cast<std::size_t>(index - 1)]);
        }
        EXPECT_EQ(seen, r.walk); // the order is stored: no sorting
        EXPECT_EQ(list[count + 1], list[1]);
        ExpectBoundaryWalk(list, ProjectionRule(r.plane.a, r.plane.b, r.plane.c));
    }
}

TEST(Hull, FullListStaysInsideItsArrayAndBadCountsFail) {
    PointList circle;
    for (int i = 0; i < PointList::kCapacity; ++i) {
        // Scrambled angles, so the walk cannot simply follow the indices.
        const double angle = 2 * std::numbers::pi * ((i * 7) % 255) / 255;
        ASSERT_TRUE(circle.push({100 * std::cos(angle), 100 * std::sin(angle), 5}));
    }
    HullOrder order{};
    ASSERT_EQ(PlanarConvexHull(circle, order, {0, 0, 1, -5}), PointList::kCapacity);
    EXPECT_EQ(circle[PointList::kCapacity + 1], circle[1]);
    ExpectBoundaryWalk(circle, Projection::DropZ);

    PointList tooMany = MakeList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    tooMany.n = PointList::kCapacity + 1;
    EXPECT_EQ(PlanarConvexHull(tooMany, order, {0, 0, 1, 0}), 0);
    EXPECT_EQ(tooMany.n, 0);
}

// Segments cut to the box 0..10 x 0..5: what is left of them as a share of their length.
TEST(ClipToBox, KeepsThePartInsideTheBox) {
    struct Row {
        double ax, ay, bx, by;
        bool kept;
        double t0, t1;
    };
    const Row rows[] = {
        {1, 1, 9, 4, true, 0, 1},                    // inside
        {-10, 2.5, 20, 2.5, true, 1.0 / 3, 2.0 / 3}, // across both sides
        {5, -5, 5, 10, true, 1.0 / 3, 2.0 / 3},      // across top and bottom
        {-5, -5, -1, 3, false, 0, 0},                // outside
        {0, 6, 10, 6, false, 0, 0},                  // along the box, just outside
        {0, 5, 10, 5, true, 0, 1},                   // along its border
        {12, 6, 10, 5, false, 0, 0},                 // ends at a corner: nothing of positive length
    };
    for (const Row& r : rows) {
        double t0 = 0, t1 = 1;
        const bool kept = ClipToBox(r.ax, r.ay, r.bx, r.by, 0, 0, 10, 5, t0, t1);
        EXPECT_EQ(kept, r.kept) << r.ax << "," << r.ay << " " << r.bx << "," << r.by;
        if (!r.kept) continue;
        EXPECT_NEAR(t0, r.t0, 1e-12);
        EXPECT_NEAR(t1, r.t1, 1e-12);
    }
}

} // namespace
} // namespace vorn::geo
