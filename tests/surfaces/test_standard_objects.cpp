// Standard solids from their measures: vertices, generatrix texts, base conversions, refusals.
#include "surfaces/standard_objects.h"

#include "env_fixture.h"
#include "fake_host.h"
#include "fake_scene_observer.h"
#include "lang/message_ids.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn::surf {
namespace {

constexpr double kFloatTol = 1e-6;

struct Fixture : vorn::test::EnvFixture {
    expr::ExpressionEngine engine;
    test::FakeSceneObserver window;

    Fixture() { scene.setObserver(&window); }
};

// Whether the object holds a vertex at p (order after face forming is the hull's).
bool hasVertex(const core::SceneObject& o, double x, double y, double z) {
    for (int v = 1; v <= o.vertexCount; ++v) {
        const core::Vec3f& q = o.vertex(v);
        if (std::fabs(q.x - x) < kFloatTol && std::fabs(q.y - y) < kFloatTol &&
            std::fabs(q.z - z) < kFloatTol)
            return true;
    }
    return false;
}

TEST(BaseConversion, AllGiveTheCircumradius) {
    const double s3 = std::sqrt(3.0);
    const struct {
        double value;
        PolygonBase by;
        int n;
        double radius;
    } polygons[] = {{3, PolygonBase::Circumradius, 5, 3},
                    {1, PolygonBase::Inradius, 4, std::sqrt(2.0)},
                    {2, PolygonBase::Side, 6, 2},
                    {2, PolygonBase::Area, 4, 1},
                    {3 * s3 / 4, PolygonBase::Area, 3, 1}};
    for (const auto& r : polygons)
        EXPECT_NEAR(CircumradiusOf(r.value, r.by, r.n), r.radius, 1e-14) << r.value;
    const struct {
        double value;
        CircleBase by;
        double radius;
    } circles[] = {{3, CircleBase::Radius, 3},
                   {2 * M_PI, CircleBase::Length, 1},
                   {4 * M_PI, CircleBase::Area, 2}};
    for (const auto& r : circles)
        EXPECT_NEAR(CircleRadiusOf(r.value, r.by), r.radius, 1e-14) << r.value;
}

TEST(StandardPolyhedra, PyramidVerticesAndFaces) {
    Fixture f;
    const int slot = CreateStandardObject(f.env, f.engine, PyramidMeasures{}, "Правильна піраміда");
    ASSERT_EQ(slot, 2);
    const core::SceneObject& o = f.scene.object(slot);
    EXPECT_EQ(o.type, core::ObjectType::Polyhedron);
    EXPECT_EQ(o.name.utf8(), "Правильна піраміда");
    EXPECT_EQ(o.vertexCount, 4);
    EXPECT_EQ(o.faceCount, 4);
    const double a = 2 * M_PI / 3;
    EXPECT_TRUE(hasVertex(o, 0, 0, 4));
    EXPECT_TRUE(hasVertex(o, 0, 3, 0));
    EXPECT_TRUE(hasVertex(o, 3 * std::sin(a), 3 * std::cos(a), 0));
    EXPECT_TRUE(hasVertex(o, 3 * std::sin(2 * a), 3 * std::cos(2 * a), 0));
    EXPECT_EQ(o.param2, 4);
    EXPECT_EQ(o.standardReserved[0], 2);
}

TEST(StandardPolyhedra, TruncatedPyramidHasTwoRingsAndNoApex) {
    Fixture f;
    PyramidMeasures m;
    m.n = 4;
    m.truncated = true;
    m.heightIsLateralEdge = true;
    m.height = 5; // lateral edge over a radius difference of 3 (radii 4 and 1): height 4
    m.lower = 4;
    m.upper = 1;
    const int slot = CreateStandardObject(f.env, f.engine, m, "p");
    ASSERT_NE(slot, 0);
    const core::SceneObject& o = f.scene.object(slot);
    EXPECT_EQ(o.vertexCount, 8);
    for (const double z : {0.0, 4.0})
        for (int k = 0; k < 4; ++k) {
            const double r = z == 0 ? 4 : 1;
            EXPECT_TRUE(hasVertex(o, r * std::sin(k * M_PI / 2), r * std::cos(k * M_PI / 2), z));
        }
    EXPECT_FALSE(hasVertex(o, 0, 0, 4));
}

TEST(StandardPolyhedra, CubeParallelepipedAndPrism) {
    Fixture f;
    const int cube = CreateStandardObject(f.env, f.engine, CubeMeasures{8, CubeBy::Volume}, "Куб");
    ASSERT_NE(cube, 0);
    EXPECT_NEAR(f.scene.object(cube).param0, 1, 1e-15);
    for (const double x : {-1.0, 1.0})
        for (const double y : {-1.0, 1.0})
            for (const double z : {0.0, 2.0})
                EXPECT_TRUE(hasVertex(f.scene.object(cube), x, y, z));

    const int box = CreateStandardObject(f.env, f.engine, ParallelepipedMeasures{}, "b");
    ASSERT_NE(box, 0);
    const double s3 = std::sqrt(3.0);
    const double base[4][2] = {
        {-(2 + s3) / 2, -0.5}, {(2 - s3) / 2, -0.5}, {(2 + s3) / 2, 0.5}, {-(2 - s3) / 2, 0.5}};
    for (const auto& p : base) {
        EXPECT_TRUE(hasVertex(f.scene.object(box), p[0], p[1], 0));
        EXPECT_TRUE(hasVertex(f.scene.object(box), p[0], p[1], 4));
    }

    // A square of circumradius 1 has area 2: volume 6 gives height 3.
    const int prism = CreateStandardObject(
        f.env, f.engine, PrismMeasures{4, 1, PolygonBase::Circumradius, 6, true}, "p");
    ASSERT_NE(prism, 0);
    EXPECT_NEAR(f.scene.object(prism).param0, 3, 1e-12);
    EXPECT_TRUE(hasVertex(f.scene.object(prism), 0, 1, 3));
    EXPECT_EQ(f.scene.objectCount(), 4);
}

TEST(StandardPolyhedra, DiagonalsGiveTheSameBoxAsTheirSides) {
    // A rectangle 4 x 2 has diagonals of sqrt(20) meeting at 2 * atan(2 / 4).
    Fixture f;
    const double d = std::sqrt(20.0);
    const double angle = 2 * std::atan(0.5) * 180 / M_PI;
    const int slot = CreateStandardObject(f.env, f.engine,
                                          ParallelepipedMeasures{3, d, d, angle, 1, false}, "b");
    ASSERT_NE(slot, 0);
    const core::SceneObject& o = f.scene.object(slot);
    for (const double x : {-1.0, 1.0})
        for (const double y : {-2.0, 2.0})
            EXPECT_TRUE(hasVertex(o, x, y, 0) && hasVertex(o, x, y, 1)) << x << " " << y;
}

struct RevolutionRow {
    StandardMeasures measures;
    const char* text;
    double from, to;
};

class StandardRevolution : public ::testing::TestWithParam<RevolutionRow> {};

TEST_P(StandardRevolution, WritesTheGeneratrixAndItsRange) {
    Fixture f;
    const int slot = CreateStandardObject(f.env, f.engine, GetParam().measures, "c");
    ASSERT_NE(slot, 0);
    const core::SceneObject& o = f.scene.object(slot);
    EXPECT_EQ(o.type, core::ObjectType::RevolutionSurface);
    EXPECT_EQ(o.part(2).text.utf8(), GetParam().text);
    EXPECT_NEAR(o.planeD, GetParam().from, 1e-14);
    EXPECT_NEAR(o.surfaceParam, GetParam().to, 1e-14);
    EXPECT_EQ(o.param0, 0);
    EXPECT_EQ(o.param1, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, StandardRevolution,
    ::testing::Values(
        RevolutionRow{ConeMeasures{}, "3*(1-X/(4))", 0, 4},
        RevolutionRow{ConeMeasures{true, 3, 1, CircleBase::Radius, CircleBase::Radius, 4, false},
                      "3*(1-X/(6))", 0, 4},
        RevolutionRow{ConeMeasures{false, 3, 0, CircleBase::Radius, CircleBase::Radius, 5, true},
                      "3*(1-X/(4))", 0, 4},
        RevolutionRow{CylinderMeasures{}, "3", 0, 4},
        RevolutionRow{CylinderMeasures{2 * M_PI, CircleBase::Length, 2 * M_PI, true}, "1", 0, 2},
        RevolutionRow{BallMeasures{4 * M_PI / 3, BallBy::Volume, 0, 0, 0}, "sqrt(sqr(1)-sqr(X))",
                      -1, 1},
        RevolutionRow{BallMeasures{16 * M_PI, BallBy::SurfaceArea, 0, 0, 0}, "sqrt(sqr(2)-sqr(X))",
                      -2, 2}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

TEST(StandardRevolution, BallKeepsItsCentre) {
    Fixture f;
    const int slot =
        CreateStandardObject(f.env, f.engine, BallMeasures{2, BallBy::Radius, 1, -2, 3}, "k");
    ASSERT_NE(slot, 0);
    EXPECT_EQ(f.scene.object(slot).origin[0], 1);
    EXPECT_EQ(f.scene.object(slot).origin[1], -2);
    EXPECT_EQ(f.scene.object(slot).origin[2], 3);
}

class StandardRefusal : public ::testing::TestWithParam<StandardMeasures> {};

TEST_P(StandardRefusal, ShowsMessage14AndGivesTheSlotBack) {
    Fixture f;
    EXPECT_EQ(CreateStandardObject(f.env, f.engine, GetParam(), "x"), 0);
    EXPECT_EQ(f.scene.objectCount(), 1);
    // The face formation lets events run, and whatever listed the slot meanwhile is redone.
    EXPECT_EQ(f.window.objectListRefreshes, 1);
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0], f.messages.text(lang::msg::kBadNumberOrExpression));
}

INSTANTIATE_TEST_SUITE_P(
    Measures, StandardRefusal,
    ::testing::Values(StandardMeasures{ConeMeasures{true, 2, 2, CircleBase::Radius,
                                                    CircleBase::Radius, 4, false}},
                      StandardMeasures{ConeMeasures{true, 5, 1, CircleBase::Radius,
                                                    CircleBase::Radius, 3, true}},
                      StandardMeasures{PyramidMeasures{3, false, 5, 0, PolygonBase::Circumradius,
                                                       PolygonBase::Circumradius, 4, true}},
                      StandardMeasures{CubeMeasures{-8, CubeBy::Volume}},
                      StandardMeasures{CylinderMeasures{-1, CircleBase::Area, 4, false}},
                      StandardMeasures{BallMeasures{1e308, BallBy::Radius, 0, 0, 0}},
                      StandardMeasures{PrismMeasures{2, 3, PolygonBase::Side, 4, false}},
                      StandardMeasures{ParallelepipedMeasures{3, 2, 2, 0, 4, false}}));

} // namespace
} // namespace vorn::surf
