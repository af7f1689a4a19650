// Tests of region tests: systems of relations at points, typing checks and polygon regions.
#include "expr/region.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace vorn::expr {
namespace {

struct SystemRow {
    const char* system;
    double x, y;
    bool inside;
    int code;
};

class System : public ::testing::TestWithParam<SystemRow> {};

TEST_P(System, AdmitsPoint) {
    const auto& row = GetParam();
    ExpressionEngine engine;
    EXPECT_EQ(pointInSystem(engine, row.system, row.x, row.y), row.inside)
        << row.system << " at (" << row.x << ", " << row.y << ")";
    EXPECT_EQ(engine.CalcError, row.code) << row.system;
}

INSTANTIATE_TEST_SUITE_P(
    Relations, System,
    ::testing::Values(
        SystemRow{"", 123, -4, true, kCalcOk}, SystemRow{"   ", 1, 1, true, kCalcOk},
        SystemRow{"x*x+y*y<=4", 1, 1, true, kCalcOk}, SystemRow{"x*x+y*y<=4", 2, 1, false, kCalcOk},
        SystemRow{"x*x+y*y=<4", 1, 1, true, kCalcOk}, SystemRow{"x*x+y*y=<4", 2, 1, false, kCalcOk},
        SystemRow{"x*x+y*y<=4", 2, 0, true, kCalcOk}, SystemRow{"x*x+y*y<4", 2, 0, false, kCalcOk},
        SystemRow{"x >= 1", 1, 0, true, kCalcOk}, SystemRow{"x=>1", 0.5, 0, false, kCalcOk},
        SystemRow{"x>1", 1, 0, false, kCalcOk}, SystemRow{"x=y", 0.5, 0.500009, true, kCalcOk},
        SystemRow{"x=y", 0.5, 0.50002, false, kCalcOk}, SystemRow{"x<>0", 0, 1, false, kCalcOk},
        SystemRow{"x<>0", 0.000001, 1, true, kCalcOk},
        SystemRow{"x><0", 0.000001, 1, true, kCalcOk}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.system); });

INSTANTIATE_TEST_SUITE_P(Items, System,
                         ::testing::Values(SystemRow{"y>0, x>0", 1, 2, true, kCalcOk},
                                           SystemRow{"y>0, x>0", -1, 2, false, kCalcOk},
                                           SystemRow{"y>0, x>0", 1, -2, false, kCalcOk},
                                           SystemRow{"y>0,x>0,x+y<1", 0.2, 0.3, true, kCalcOk},
                                           SystemRow{"y>0,x>0,x+y<1", 0.8, 0.3, false, kCalcOk},
                                           SystemRow{"0<x, x<1", 0.5, 0, true, kCalcOk},
                                           SystemRow{"0<x, x<1", 1.5, 0, false, kCalcOk}),
                         [](const auto& info) {
                             return vorn::test::RowName(info.index, info.param.system);
                         });

INSTANTIATE_TEST_SUITE_P(
    Faults, System,
    ::testing::Values(SystemRow{"0<x<1", 0.5, 0, false, kBadText},
                      SystemRow{"x<<1", 0, 0, false, kMissingOperand},
                      SystemRow{"x==1", 1, 0, false, kMissingOperand},
                      SystemRow{"x", 0, 0, false, kMissingOperand},
                      SystemRow{"x<", 0, 0, false, kMissingOperand},
                      SystemRow{"x<1,", 0, 0, false, kMissingOperand},
                      SystemRow{"x<<1+(", 0, 0, false, kMissingOperand},
                      SystemRow{"(x<1)", 0, 0, false, kUnbalanced},
                      // A later malformed item fails the system though an earlier one is false.
                      SystemRow{"x>5, y<1<2", 0, 0, false, kBadText},
                      SystemRow{"x>5, y", 0, 0, false, kMissingOperand},
                      // Well formed, no value here: the point is outside.
                      SystemRow{"ln(x)<1", 0, 0, false, kArithmeticFault},
                      SystemRow{"1/x>0", 0.00001, 0, false, kSmallDivisor},
                      SystemRow{"y>0, 1/x>0", 0, -1, false, kSmallDivisor}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.system); });

TEST(TypingCheck, RejectsOnlyMalformedSystems) {
    ExpressionEngine engine;
    EXPECT_TRUE(acceptsTypedSystem(engine, "x*x+y*y<4"));
    EXPECT_TRUE(acceptsTypedSystem(engine, "x>1"));       // false at the probe, but well formed
    EXPECT_TRUE(acceptsTypedSystem(engine, "ln(x-1)<0")); // no value at the probe
    EXPECT_TRUE(acceptsTypedSystem(engine, ""));
    EXPECT_FALSE(acceptsTypedSystem(engine, "0<x<1"));
    EXPECT_FALSE(acceptsTypedSystem(engine, "x<<1"));
    EXPECT_FALSE(acceptsTypedSystem(engine, "z<1"));
}

geo::PointList polygon(std::initializer_list<std::pair<double, double>> points) {
    geo::PointList list;
    for (const auto& [x, y] : points)
        list.push({x, y, 0});
    return list;
}

struct PolygonRow {
    double x, y;
    bool inside;
};

class Triangle : public ::testing::TestWithParam<PolygonRow> {};

TEST_P(Triangle, ClassifiesPoint) {
    const auto triangle = polygon({{0, 0}, {4, 0}, {2, 3}});
    EXPECT_EQ(pointInPolygonRegion(triangle, GetParam().x, GetParam().y), GetParam().inside)
        << "(" << GetParam().x << ", " << GetParam().y << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Points, Triangle,
    ::testing::Values(PolygonRow{2, 1, true}, PolygonRow{0.5, 0.1, true},
                      PolygonRow{2, 0, true},   // on the base
                      PolygonRow{1, 1.5, true}, // on a side
                      PolygonRow{0, 0, true},   // a vertex
                      PolygonRow{5, 3, false},  // on the line through the top vertex
                      PolygonRow{-1, 3, false}, PolygonRow{2, -0.5, false},
                      PolygonRow{3.9, 1, false}, PolygonRow{2, 3.0001, false}));

TEST(PolygonRegion, SquareInEitherOrientationAndDegenerateLists) {
    const auto ccw = polygon({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}});
    const auto cw = polygon({{-1, -1}, {-1, 1}, {1, 1}, {1, -1}});
    for (const auto& square : {ccw, cw}) {
        EXPECT_TRUE(pointInPolygonRegion(square, 0, 0));
        EXPECT_TRUE(pointInPolygonRegion(square, 0.999, -0.999));
        EXPECT_FALSE(pointInPolygonRegion(square, 1.001, 0));
        EXPECT_FALSE(pointInPolygonRegion(square, 0, -1.5));
    }
    EXPECT_FALSE(pointInPolygonRegion(polygon({}), 0, 0));
    geo::PointList corrupt = ccw;
    corrupt.n = -7;
    EXPECT_FALSE(pointInPolygonRegion(corrupt, 0, 0));
    corrupt.n = 32000;
    EXPECT_FALSE(pointInPolygonRegion(corrupt, 5, 5));
}

TEST(PolygonRegion, BoundsAreTheBoundingBox) {
    const auto b = polygonBounds(polygon({{1, -2}, {3, 0.5}, {-4, 1}, {0, 7}}));
    EXPECT_EQ(b.xFrom, -4);
    EXPECT_EQ(b.xTo, 3);
    EXPECT_EQ(b.yFrom, -2);
    EXPECT_EQ(b.yTo, 7);
    const auto none = polygonBounds(polygon({}));
    EXPECT_EQ(none.xFrom, 0);
    EXPECT_EQ(none.yTo, 0);
}

} // namespace
} // namespace vorn::expr
