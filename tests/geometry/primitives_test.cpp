// Tests of the point, line, plane and planar-angle routines, mostly at their tolerance boundaries.
#include "geometry/angle_tables.h"
#include "geometry/primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace vorn::geo {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEps = kEpsCoord;

void ExpectPointNear(const Vec3& got, const Vec3& want) {
    EXPECT_NEAR(got.x, want.x, kEpsCoord);
    EXPECT_NEAR(got.y, want.y, kEpsCoord);
    EXPECT_NEAR(got.z, want.z, kEpsCoord);
}

TEST(Scalars, StrictNearnessAndSignDeadBand) {
    EXPECT_FALSE(IsNear(0, kEpsCoord));
    EXPECT_TRUE(IsNear(0, kEpsCoord / 2));
    EXPECT_FALSE(IsNear(-kEpsEdge, 0, kEpsEdge));
    EXPECT_TRUE(IsNear(1, 1 + kEpsEdge / 2, kEpsEdge));
    EXPECT_EQ(SignTol(2e-9f), 1);
    EXPECT_EQ(SignTol(-2e-9f), -1);
    EXPECT_EQ(SignTol(5e-10f), 0);
    EXPECT_EQ(SignTol(-5e-10f), 0);
}

TEST(Planes, ThroughThreePointsAndDeviation) {
    const double r3 = 1 / std::sqrt(3.0);
    // clang-format off
    struct Row { const char* name; Vec3 p1, p2, p3; bool degenerate; Plane plane; };
    const Row rows[] = {
        {"counter-clockwise", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, false, {0, 0, 1, 0}},
        {"order swapped", {0, 0, 0}, {0, 1, 0}, {1, 0, 0}, false, {0, 0, -1, 0}},
        {"x + y + z = 1", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, false, {r3, r3, r3, -r3}},
        {"normal length kEps", {0, 0, 0}, {1, 0, 0}, {0, kEps, 0}, false, {0, 0, 1, 0}},
        // Degenerate planes keep the raw, unnormalised cross product.
        {"normal length kEps/2", {0, 0, 0}, {1, 0, 0}, {0, kEps / 2, 0}, true, {0, 0, kEps / 2, 0}},
        {"collinear", {0, 0, 0}, {1, 1, 1}, {3, 3, 3}, true, {0, 0, 0, 0}},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const PlaneFit fit = PlaneThroughPoints(r.p1, r.p2, r.p3);
        EXPECT_EQ(fit.degenerate, r.degenerate);
        ExpectPointNear({fit.plane.a, fit.plane.b, fit.plane.c}, {r.plane.a, r.plane.b, r.plane.c});
        EXPECT_NEAR(fit.plane.d, r.plane.d, kEpsCoord);
    }
    // The deviation is minus the signed distance, also for an unnormalised plane.
    const PlaneFit fit = PlaneThroughPoints({1, 2, 3}, {4, -1, 0}, {2, 2, 7});
    const Vec3 n{fit.plane.a, fit.plane.b, fit.plane.c};
    EXPECT_NEAR(PointPlaneDeviation(Vec3{1, 2, 3} + n * 2.5, fit.plane), -2.5, kEpsCoord);
    EXPECT_NEAR(PointPlaneDeviation({0, 0, 3}, Plane{0, 0, 4, -8}), -1, kEpsCoord);
}

// Points from a damaged record: no plane rather than a NaN plane that callers would store.
TEST(Planes, NonFiniteOrOverflowingPointsGiveNoPlane) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kMax = std::numeric_limits<double>::max();
    // clang-format off
    struct Row { const char* name; Vec3 p1, p2, p3; };
    const Row rows[] = {
        {"NaN coordinate", {0, 0, 0}, {1, 0, 0}, {0, kNaN, 0}},
        {"infinite coordinate", {0, 0, 0}, {kInf, 0, 0}, {0, 1, 0}},
        {"infinite first point", {-kInf, 0, 0}, {1, 0, 0}, {0, 1, 0}},
        // x + y + z = 2.5 max: the offset 2.5 max / sqrt(3) is past the largest double.
        {"offset beyond the double range", {kMax, kMax, kMax / 2}, {kMax, kMax / 2, kMax},
         {kMax / 2, kMax, kMax}},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_TRUE(PlaneThroughPoints(r.p1, r.p2, r.p3).degenerate);
    }
    // Large but representable points still give their plane.
    const PlaneFit far = PlaneThroughPoints({1e300, 0, 5}, {0, 1e300, 5}, {-1e300, 0, 5});
    EXPECT_FALSE(far.degenerate);
    EXPECT_NEAR(std::fabs(far.plane.c), 1, kEpsCoord);
    EXPECT_NEAR(far.plane.d / far.plane.c, -5, kEpsCoord);
}

TEST(Distances, PointToLineAndProjectedLength) {
    EXPECT_NEAR(PointLineDistance({5, 3, 4}, {0, 0, 0}, {1, 0, 0}), 5, kEpsCoord);
    EXPECT_NEAR(PointLineDistance({-7, 9, 2}, {0, 0, 0}, {0, 1, 0}), std::hypot(7, 2), kEpsCoord);
    // Line ends closer than kEpsCoord: the distance to the first end.
    EXPECT_NEAR(PointLineDistance({3, 4, 0}, {0, 0, 0}, {kEps / 2, kEps / 2, 0}), 5, kEpsCoord);
    EXPECT_NEAR(ProjectedLength({0, 2, 0}, {5, -3, 1}), -3, kEpsCoord);
    EXPECT_NEAR(ProjectedLength({kEpsCoord, 0, 0}, {5, 0, 0}), 5, kEpsCoord);
    EXPECT_EQ(ProjectedLength({kEpsCoord / 2, 0, 0}, {5, 0, 0}), 0);
}

TEST(LinePlane, IntersectionAndLooseWithinSegmentFlag) {
    const Plane z0{0, 0, 1, 0};
    const double b = kWithinSegmentBound;
    // clang-format off
    struct Row { const char* name; Vec3 q0, q1; Plane plane; Vec3 x; double t; bool within; };
    const Row rows[] = {
        {"crossing", {0, 0, -1}, {0, 0, 1}, z0, {0, 0, 0}, 0.5, true},
        {"beyond the end", {0, 0, 1}, {0, 0, 2}, z0, {0, 0, 0}, -1, false},
        {"0.05 * 1 < bound", {0, 0, 0.05}, {0, 0, 1}, z0, {0, 0, 0}, -0.05 / 0.95, true},
        {"product = bound, z", {0, 0, b}, {0, 0, 1}, z0, {0, 0, 0}, -b / (1 - b), false},
        {"product = bound, x", {b, 0, 0}, {1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0}, -b / (1 - b), false},
        {"denominator = kEps", {0, 0, 0}, {2, 0, 0}, {kEps, 0, 0, -kEps}, {1, 0, 0}, 0.5, true},
        // Beyond the end along y only: x and z stay at the line's values.
        {"along y", {3, 0, 5}, {3, 2, 5}, {0, 2, 0, -5}, {3, 2.5, 5}, 1.25, false},
        {"x too flat, y used", {0, 0, -0x1p-24}, {1024, 1, 0}, z0, {1024, 1, 0}, 1, true},
        {"along z", {7, -1, 4}, {7, -1, 8}, {0, 0, 2, -1}, {7, -1, 0.5}, -0.875, false},
        {"oblique", {0, 0, 0}, {2, 4, 6}, {1, 2, -1, -2}, {1, 2, 3}, 0.5, true},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const LinePlaneHit hit = LinePlaneIntersection(r.q0, r.q1, r.plane);
        ASSERT_TRUE(hit.ok);
        ExpectPointNear(hit.point, r.x);
        EXPECT_NEAR(hit.lineParam, r.t, kEpsCoord);
        EXPECT_EQ(hit.withinSegment, r.within);
    }
    // clang-format off
    struct Fail { const char* name; Vec3 q0, q1; Plane plane; };
    const Fail failures[] = {
        {"parallel", {0, 0, 1}, {5, 3, 1}, z0},
        {"every axis too flat", {0, 0, 0}, {1, 0, kEps / 2}, {0, 0, 1, -1}},
        {"ends closer than kEps", {1, 1, 1}, {1 + kEps / 2, 1, 1 - kEps / 2}, z0},
        {"overflow", {0, 0, 0}, {1, 0, 0}, {1e-5, 0, 0, -1e308}},
        {"NaN", {0, 0, 0}, {0, 0, 1}, {0, 0, 1, kNaN}},
    };
    // clang-format on
    for (const Fail& f : failures)
        EXPECT_FALSE(LinePlaneIntersection(f.q0, f.q1, f.plane).ok) << f.name;
}

TEST(LineLine, DistanceMeetingPointAndDegenerateCases) {
    const LineLineResult skew = LineLineDistance({0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {0, 2, 1});
    EXPECT_FALSE(skew.degenerate || skew.meets);
    EXPECT_NEAR(std::fabs(skew.distance), 1, kEpsCoord);
    // Offset exactly kEpsEdge along the common normal: not coplanar.
    const LineLineResult apart =
        LineLineDistance({0, 0, 0}, {1, 0, 0}, {0, 0, kEpsEdge}, {0, 1, kEpsEdge});
    EXPECT_FALSE(apart.meets);
    EXPECT_NEAR(std::fabs(apart.distance), kEpsEdge, kEpsCoord);

    const double h = kEpsEdge / 2;
    // clang-format off
    struct Row { const char* name; Vec3 l1a, l1b, l2a, l2b, at; };
    const Row meets[] = {
        {"perpendicular", {0, 0, 0}, {1, 0, 0}, {2, -1, 0}, {2, 1, 0}, {2, 0, 0}},
        {"far from the given points", {1, 2, 3}, {2, 3, 5}, {11, 12, 3}, {11, 12, 5}, {11, 12, 23}},
        // A plane through line 2 and the third point (k, 0, -k^2), k = 2, contains line 1.
        {"in a naive auxiliary plane", {0, 0, 0}, {2, 0, -4}, {0, 0, 0}, {0, 1, 0}, {0, 0, 0}},
        {"offset kEpsEdge/2", {0, 0, 0}, {1, 0, 0}, {0, 0, h}, {0, 1, h}, {0, 0, 0}},
    };
    const Row degenerate[] = {
        {"parallel", {0, 0, 0}, {1, 0, 0}, {0, 3, 4}, {2, 3, 4}, {}},
        {"line 1 is a point", {1, 1, 1}, {1, 1, 1}, {0, 0, 0}, {0, 1, 0}, {}},
        {"nearly parallel, far apart", {0, 0, 0}, {1, 0, 0}, {0, 0, 1e5}, {0, 1e-10, 1e5}, {}},
    };
    // clang-format on
    for (const Row& r : meets) {
        SCOPED_TRACE(r.name);
        const LineLineResult res = LineLineDistance(r.l1a, r.l1b, r.l2a, r.l2b);
        ASSERT_TRUE(res.meets && !res.degenerate);
        EXPECT_EQ(res.distance, 0);
        ExpectPointNear(res.meetingPoint, r.at);
    }
    for (const Row& r : degenerate) {
        const LineLineResult res = LineLineDistance(r.l1a, r.l1b, r.l2a, r.l2b);
        EXPECT_TRUE(res.degenerate && !res.meets && res.distance == 0) << r.name;
    }
}

TEST(Cosines, VectorDirectionAndVertex) {
    // clang-format off
    struct Row { Vec3 u, v; double cosine; bool degenerate; };
    const Row rows[] = {
        {{2, 0, 0}, {5, 0, 0}, 1, false},       {{0, 3, 0}, {0, -1, 0}, -1, false},
        {{1, 1, 0}, {-1, 1, 7}, 0, false},      {{1, 0, 0}, {1, std::sqrt(3.0), 0}, 0.5, false},
        {{1, 0, 0}, {kEps, 0, 0}, 1, false},    {{1, 0, 0}, {kEps / 2, 0, 0}, 0, true},
    };
    // clang-format on
    for (const Row& r : rows) {
        const CosineResult c = VectorCosine(r.u, r.v);
        EXPECT_EQ(c.degenerate, r.degenerate) << r.v.x;
        EXPECT_NEAR(c.value, r.cosine, kEpsCoord) << r.v.x;
    }
    EXPECT_NEAR(DirectionCosine({1, 1, 1}, {1, 1, 4}, {0, 0, -2}).value, -1, kEpsCoord);
    EXPECT_NEAR(VertexAngleCosine({2, 0, 0}, {0, 0, 0}, {1, std::sqrt(3.0), 0}).value, 0.5,
                kEpsCoord);
    EXPECT_TRUE(VertexAngleCosine({1, 2, 3}, {1, 2, 3}, {4, 5, 6}).degenerate);
}

TEST(Planar, SignedAngleTurnsCdOntoAb) {
    const Vec3 o{0, 0, 0}, x{1, 0, 0};
    // clang-format off
    struct Row { Vec3 a, b, c, d; double angle; };
    const Row rows[] = {
        {o, {1, 0, 0}, o, x, 0},                  {o, {0, 1, 0}, o, x, kPi / 2},
        {o, {0, -1, 0}, o, x, -kPi / 2},          {o, {-1, 0, 0}, o, x, -kPi},
        {o, {-1, 1, 0}, o, x, 3 * kPi / 4},       {o, {-1, -1, 0}, o, x, -3 * kPi / 4},
        {{5, 5, 9}, {5, 7, -3}, {-2, 1, 4}, {0, 3, 0}, kPi / 4},
        // A hair short of +pi rounds to pi in double: reported at the closed end, -pi.
        {o, {-1, 1e-17, 0}, o, x, -kPi},
    };
    const Row errors[] = {
        {{1, 1, 0}, {1, 1, 5}, o, x, 0},  {o, x, {2, 2, 0}, {2, 2, 0}, 0},
        {o, {kEps, 0, 0}, o, {0, 0.5, 0}, 0},  {o, {kNaN, 1, 0}, o, x, 0},
        // Perpendicular directions whose sine rounds just past -1: the arcsine fault is caught.
        {o, {-4.1627067894555498, 6.0647264433458083, 0}, o,
         {27.905079453864939, 19.153487760416816, 0}, 0},
    };
    // clang-format on
    for (const Row& r : rows) {
        const AngleResult res = SignedAngle2D(r.a, r.b, r.c, r.d);
        EXPECT_FALSE(res.error);
        EXPECT_NEAR(res.radians, r.angle, kEpsCoord) << r.b.x << ", " << r.b.y;
        EXPECT_TRUE(res.radians >= -kPi && res.radians < kPi);
    }
    for (const Row& r : errors) {
        const AngleResult res = SignedAngle2D(r.a, r.b, r.c, r.d);
        EXPECT_TRUE(res.error && res.radians == 0) << r.b.x << ", " << r.d.x;
    }
}

TEST(Planar, LineIntersection2D) {
    const Point2Result cross = LineIntersection2D({0, 5, 0}, {1, 5, 0}, {-3, 0, 7}, {-3, 1, 7});
    EXPECT_FALSE(cross.error);
    EXPECT_NEAR(cross.x, -3, kEpsCoord);
    EXPECT_NEAR(cross.y, 5, kEpsCoord);
    EXPECT_TRUE(LineIntersection2D({0, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 2, 0}).error);
    EXPECT_TRUE(LineIntersection2D({0, 0, 0}, {1, kNaN, 0}, {0, 1, 0}, {1, 0, 0}).error);
    // Nearly parallel: the meeting point lies beyond the range of double.
    const Vec3 far{1e300, std::nextafter(1.0, 0.0), 0};
    EXPECT_TRUE(LineIntersection2D({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, far).error);
}

TEST(Lists, PositionOfFirstEqualEntry) {
    const std::int16_t list[] = {4, -2, 9, -2, 32767};
    EXPECT_EQ(PositionInList(-2, list), 2);
    EXPECT_EQ(PositionInList(32767, list), 5);
    EXPECT_EQ(PositionInList(0, list), 0);
}

TEST(AngleTables, StepIsBuiltWith314ForPi) {
    EXPECT_EQ(CosTable()[0], 1.0f);
    // sin(3.14) and cos(1.57), not 0: the step is 3.14/36, not pi/36.
    EXPECT_FLOAT_EQ(SinTable()[36], 0.0015926529f);
    EXPECT_FLOAT_EQ(CosTable()[18], 0.00079632673f);
    EXPECT_FLOAT_EQ(SinTable()[71], -0.090284422f);
}

} // namespace
} // namespace vorn::geo
