// One-dimensional, revolution, contour and double integrals.
#include "surfaces/integrals.h"

#include "env_fixture.h"
#include "fake_host.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

namespace vorn::surf {
namespace {

// The engine's PI is 3.1415926; a result built on it differs from pi by this relative amount.
constexpr double kEnginePiTol = 2e-8;
// Sums of a few hundred extended-precision terms.
constexpr double kSumTol = 1e-12;

struct Fixture : vorn::test::EnvFixture {
    expr::ExpressionEngine engine;
};

TEST(TrapezoidIntegral, ExactForLinearAndWithTheKnownErrorForAParabola) {
    Fixture f;
    Integrator in(f.env, f.engine, 50);
    EXPECT_NEAR(double(in.TrapezoidIntegral("X", 'X', 0, 1)), 0.5, kSumTol);
    // The trapezoid rule overestimates x^2 on [0, 1] by h^2/6.
    const double h = 1.0 / 50;
    EXPECT_NEAR(double(in.TrapezoidIntegral("x^2", 'X', 0, 1)), 1.0 / 3 + h * h / 6, kSumTol);
    EXPECT_NEAR(double(in.TrapezoidIntegral("t", 'T', 1, -1)), 0, kSumTol);
    EXPECT_EQ(f.host.calls.front(), "progress: " + f.messages.text(10) + " /50");
    EXPECT_EQ(f.host.calls.back(), "progress end");
}

struct DerivativeRow {
    const char* f;
    double x, slope;
    bool infinite;
};

class Derivative : public ::testing::TestWithParam<DerivativeRow> {};

TEST_P(Derivative, SettlesOrFlagsInfinity) {
    Fixture f;
    Integrator in(f.env, f.engine, 50);
    in.InfiniteFlag = !GetParam().infinite; // every call starts by clearing it
    const double d = double(in.NumericDerivative(GetParam().f, 'X', GetParam().x));
    EXPECT_EQ(in.InfiniteFlag, GetParam().infinite);
    if (!GetParam().infinite) {
        EXPECT_NEAR(d, GetParam().slope, 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Functions, Derivative,
    ::testing::Values(DerivativeRow{"sin(x)", 0, 1, false}, DerivativeRow{"x^3", 2, 12, false},
                      DerivativeRow{"abs(x)", 0, 0, false}, DerivativeRow{"sqrt(x)", 0, 0, true}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.f); });

TEST(Revolution, CylinderVolumeAndWidenedArea) {
    Fixture f;
    Integrator in(f.env, f.engine, 50);
    const RevolutionMeasures m = in.RevolveExplicit("1", Axis::Ox, 0, 1);
    EXPECT_NEAR(m.volume, M_PI, M_PI * kEnginePiTol);
    EXPECT_NEAR(m.area, 2 * M_PI * (1 + 2.02e-7), 1e-13);
    EXPECT_FALSE(m.volumeInfinite);
    EXPECT_FALSE(m.areaInfinite);
    // About Oy the unit segment sweeps a disc: volume 2*pi*int x dx, area pi r^2 (widened 1e-9).
    const RevolutionMeasures oy = in.RevolveExplicit("1", Axis::Oy, 0, 1);
    EXPECT_NEAR(oy.volume, M_PI, 1e-12);
    EXPECT_NEAR(oy.area, M_PI, 1e-7);
}

TEST(Revolution, ConeAndSphereMatchTheirFormulas) {
    Fixture f;
    Integrator in(f.env, f.engine, 1000);
    const RevolutionMeasures cone = in.RevolveExplicit("1-x", Axis::Ox, 0, 1);
    EXPECT_NEAR(cone.volume, M_PI / 3, 1e-6);
    EXPECT_NEAR(cone.area, M_PI * std::sqrt(2.0), 1e-6);
    // x = cos t, y = sin t on [0, pi] about Ox: the unit sphere. F is the radius sin t.
    const RevolutionMeasures ball = in.RevolveParametric("sin(t)", "cos(t)", 0, kPi);
    EXPECT_NEAR(ball.volume, 4 * M_PI / 3, 1e-5);
    EXPECT_NEAR(ball.area, 4 * M_PI, 1e-4);
    EXPECT_FALSE(ball.volumeInfinite);
}

TEST(Revolution, SteepLowerEndFlagsTheArea) {
    Fixture f;
    Integrator in(f.env, f.engine, 50);
    // sqrt(x) from the widening margin: the last node of the area sits at x = 0.
    const RevolutionMeasures m =
        in.RevolveExplicit("sqrt(x)", Axis::Ox, double(kAreaWidening + kAreaWideningOx), 1);
    EXPECT_FALSE(m.volumeInfinite);
    EXPECT_NEAR(m.volume, M_PI / 2, 1e-3);
    EXPECT_TRUE(m.areaInfinite);
}

// An end node of the widened interval outside the generatrix's domain takes the integrand of
// the node next to it: a ball's poles are no longer lost, and a pole's unbounded slope (about
// Oy) neither blows the area up nor flags it as infinite.
TEST(Revolution, EndNodesOutsideTheDomainTakeTheirNeighbours) {
    const struct {
        const char* f;
        Axis axis;
        long double a, b;
        double area, relative;
    } rows[] = {
        {"sqrt(4-x^2)", Axis::Ox, -2, 2, 16 * M_PI, 1e-6},
        {"sqrt(4-x^2)", Axis::Ox, 0, 2, 8 * M_PI, 1e-6},
        // About Oy the integrand is unbounded at the pole; its sum converges as the root of h.
        {"sqrt(4-x^2)", Axis::Oy, 0, 2, 8 * M_PI, 0.1},
        {"sqrt(4-x^2)", Axis::Oy, -2, 0, 8 * M_PI, 0.1},
    };
    for (const auto& r : rows) {
        Fixture f;
        Integrator in(f.env, f.engine, 50);
        const RevolutionMeasures m = in.RevolveExplicit(r.f, r.axis, r.a, r.b);
        EXPECT_NEAR(m.area, r.area, r.area * r.relative) << r.f << " " << double(r.a);
        EXPECT_FALSE(m.areaInfinite) << r.f << " " << double(r.a);
    }
}

// A measure whose integrand has no value at any node, or whose sum a double cannot hold, is
// flagged and given as 0, never as infinity or as a plain 0.
TEST(Revolution, MeasuresWithoutAFiniteValueAreFlagged) {
    const struct {
        const char* f;
        const char* g; // the curve's coordinate along the axis; none for y = f(x)
        Axis axis;
        bool volumeInfinite, areaInfinite, volumeUndefined, areaUndefined;
    } rows[] = {
        {"1", nullptr, Axis::Ox, false, false, false, false},
        {"1/0", nullptr, Axis::Ox, false, false, true, true},
        {"1/0", nullptr, Axis::Oy, false, false, true, true},
        {"sqrt(0-1-x)", nullptr, Axis::Oy, false, false, true, true},
        {"10^300", nullptr, Axis::Ox, true, false, false, false},
        {"1/0", "t", Axis::Ox, false, false, true, true},
        {"t", "1/0", Axis::Ox, false, false, true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.f) + (r.g ? std::string(", ") + r.g : ""));
        Fixture f;
        Integrator in(f.env, f.engine, 50);
        const RevolutionMeasures m =
            r.g ? in.RevolveParametric(r.f, r.g, 0, 1) : in.RevolveExplicit(r.f, r.axis, 0, 1);
        EXPECT_EQ(m.volumeInfinite, r.volumeInfinite);
        EXPECT_EQ(m.areaInfinite, r.areaInfinite);
        EXPECT_EQ(m.volumeUndefined, r.volumeUndefined);
        EXPECT_EQ(m.areaUndefined, r.areaUndefined);
        EXPECT_TRUE(std::isfinite(m.volume) && std::isfinite(m.area));
        if (r.volumeInfinite) {
            EXPECT_EQ(m.volume, 0);
        }
    }
}

struct SplitRow {
    std::vector<geo::Vec3> in, out;
};

class AxisSplit : public ::testing::TestWithParam<SplitRow> {};

TEST_P(AxisSplit, InsertsInteriorCrossingsInOrder) {
    const auto out = SplitAtAxes(GetParam().in);
    ASSERT_EQ(out.size(), GetParam().out.size());
    for (std::size_t k = 0; k < out.size(); ++k) {
        EXPECT_NEAR(out[k].x, GetParam().out[k].x, 1e-12) << k;
        EXPECT_NEAR(out[k].y, GetParam().out[k].y, 1e-12) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Polylines, AxisSplit,
    ::testing::Values(SplitRow{{{0, 1, 0}, {1, -1, 0}}, {{0, 1, 0}, {0.5, 0, 0}, {1, -1, 0}}},
                      SplitRow{{{-1, 0.5, 0}, {1, -1.5, 0}},
                               {{-1, 0.5, 0}, {-0.5, 0, 0}, {0, -0.5, 0}, {1, -1.5, 0}}},
                      SplitRow{{{0, 1, 0}, {1, 0, 0}}, {{0, 1, 0}, {1, 0, 0}}},
                      SplitRow{{{0, 1, 0}, {1, 1, 0}, {2, 3, 0}},
                               {{0, 1, 0}, {1, 1, 0}, {2, 3, 0}}},
                      SplitRow{{{0.00004, 1, 0}, {-1, -1, 0}},
                               {{0.00004, 1, 0}, {-0.49998, 0, 0}, {-1, -1, 0}}}));

TEST(RevolvePolyline, FrustumSumsAboutBothAxes) {
    const struct {
        std::vector<geo::Vec3> points;
        PolylineRevolution expected;
    } rows[] = {
        {{{0, 1, 0}, {1, 1, 0}}, {M_PI, 0, 2 * M_PI, M_PI}},
        // Split at (0.5, 0): two cones about Ox, lateral area pi * sqrt(5) instead of 0.
        {{{0, 1, 0}, {1, -1, 0}},
         {M_PI / 3, 2 * M_PI / 3, M_PI * std::sqrt(5.0), M_PI * std::sqrt(5.0)}},
    };
    for (const auto& r : rows) {
        const PolylineRevolution p = RevolvePolyline(r.points);
        EXPECT_NEAR(p.volumeOx, r.expected.volumeOx, 1e-12);
        EXPECT_NEAR(p.volumeOy, r.expected.volumeOy, 1e-12);
        EXPECT_NEAR(p.areaOx, r.expected.areaOx, 1e-12);
        EXPECT_NEAR(p.areaOy, r.expected.areaOy, 1e-12);
    }
}

TEST(ContourIntegral, LengthsMidpointsAndErrors) {
    Fixture f;
    const struct {
        const char* f;
        std::vector<geo::Vec3> points;
        double value;
        bool error;
    } rows[] = {
        {"1", {{0, 0, 0}, {3, 4, 0}}, 5, false},
        {"x+z", {{0, 0, 0}, {2, 0, 0}, {2, 0, 1}}, 2 + 2.5, false},
        {"1", {{1, 1, 1}}, 0, false},
        {"ln(x)", {{1, 0, 0}, {-1, 0, 0}}, 0, true},
        {"1", {{0, 0, 0}, {1e200, 0, 0}}, 0, true}, // a length beyond the doubles
    };
    for (const auto& r : rows) {
        const ContourResult c = ContourIntegral(f.env, f.engine, r.f, r.points);
        EXPECT_EQ(c.error, r.error) << r.f;
        if (!r.error) {
            EXPECT_NEAR(double(c.value), r.value, kSumTol) << r.f;
        }
    }
    EXPECT_EQ(f.host.progressShown, 0); // short contours show no progress window
}

std::unique_ptr<core::SceneObject> flatSurface(const char* formula) {
    auto o = std::make_unique<core::SceneObject>();
    *o = {};
    o->type = core::ObjectType::Surface;
    o->partCount = 1;
    o->part(1).text.setRaw(formula);
    o->part(1).domainKind = 1;
    o->part(1).area.domainText.setRaw("");
    return o;
}

TEST(DoubleIntegral, OneOverTheUnitDiscApproachesItsArea) {
    Fixture f;
    auto o = flatSurface("1");
    CalcRegion region;
    region.bounds = {-2, 2, -2, 2};
    region.region.system = "x^2+y^2<1";
    double previous = 1;
    for (const int n : {50, 200}) {
        const DoubleIntegralResult r = DoubleIntegral(f.env, f.engine, *o, region, n);
        ASSERT_EQ(r.code, kDoubleIntegralDone);
        const double error = std::fabs(r.integral - M_PI);
        // Cells cut by the rim are lost: about half a cell along the circumference.
        EXPECT_LT(error, 10.0 / n) << n;
        EXPECT_LT(error, previous);
        previous = error;
        EXPECT_NEAR(r.area, r.integral, 1e-9); // a flat surface has its projected area
        EXPECT_EQ(o->areaInfinite, r.integral);
        EXPECT_EQ(o->surfaceArea, r.area);
        EXPECT_EQ(o->volume, 0);
    }
    const std::string count = "50";
    EXPECT_NE(std::find(f.host.calls.begin(), f.host.calls.end(),
                        "progress: " + f.messages.format(90, {count, count}) + " /50"),
              f.host.calls.end());
}

TEST(DoubleIntegral, LinearSurfaceOverAPolygonIsExact) {
    Fixture f;
    auto o = flatSurface("x+y");
    CalcRegion region;
    region.region.isPolygon = true;
    for (const geo::Vec3& p : {geo::Vec3{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}})
        region.region.polygon.push(p);
    // 65 nodes put every node exactly on the binary grid, so the edges hold nodes.
    const DoubleIntegralResult r = DoubleIntegral(f.env, f.engine, *o, region, 65);
    EXPECT_NEAR(r.integral, 1, 1e-9);
    EXPECT_NEAR(r.area, std::sqrt(3.0), 1e-9);
}

// Nodes on the region's boundary count: the last node of an axis is its bound, and the
// on-edge test does not lose a node a rounding step outside an edge.
TEST(DoubleIntegral, BoundaryNodesOfAPolygonCount) {
    const struct {
        const char* formula;
        double lo, hi; // the square (lo, lo)..(hi, hi)
        int n;
        double integral, tolerance;
    } rows[] = {
        {"1", 0, 1, 50, 1, 1e-12},
        {"1", -1, 1, 50, 4, 1e-12},
        // 8/3 plus the method's own error with every node of the grid counted.
        {"x^2+y^2", -1, 1, 50, 2.6674, 5e-5},
    };
    for (const auto& r : rows) {
        Fixture f;
        auto o = flatSurface(r.formula);
        CalcRegion region;
        region.region.isPolygon = true;
        for (const geo::Vec3& p :
             {geo::Vec3{r.lo, r.lo, 0}, {r.hi, r.lo, 0}, {r.hi, r.hi, 0}, {r.lo, r.hi, 0}})
            region.region.polygon.push(p);
        const DoubleIntegralResult d = DoubleIntegral(f.env, f.engine, *o, region, r.n);
        EXPECT_NEAR(d.integral, r.integral, r.tolerance) << r.formula << " " << r.n;
        if (std::string_view(r.formula) == "1") {
            EXPECT_NEAR(d.area, r.integral, r.tolerance) << r.n; // flat: its projected area
        }
    }
}

TEST(DoubleIntegral, SumsBeyondTheDoublesAreNoAnswer) {
    Fixture f;
    auto o = flatSurface("1");
    CalcRegion region;
    region.bounds = {-1e300, 1e300, -1e300, 1e300};
    const DoubleIntegralResult r = DoubleIntegral(f.env, f.engine, *o, region, 50);
    EXPECT_EQ(r.code, kDoubleIntegralNoValue);
    // The surface keeps what its file can hold.
    EXPECT_EQ(o->areaInfinite, 0);
    EXPECT_EQ(o->surfaceArea, 0);
}

TEST(DoubleIntegral, StopButtonEndsTheRun) {
    Fixture f;
    f.host.abortAfterSteps = 3;
    auto o = flatSurface("1");
    CalcRegion region;
    const DoubleIntegralResult r = DoubleIntegral(f.env, f.engine, *o, region, 100);
    EXPECT_EQ(r.code, kDoubleIntegralStopped);
    EXPECT_EQ(f.host.calls.back(), "progress end");
}

// Rows shared by any number of threads give the sums of one thread to the last bit, and the
// window hears of the rows in the same order, also when stopped part-way. 67 nodes leave a last
// block of fewer rows than threads.
TEST(DoubleIntegral, AnyThreadCountGivesTheSumsOfOne) {
    auto twoParts = flatSurface("sin(x*y)+2");
    twoParts->partCount = 2;
    twoParts->part(1).area.domainText.setRaw("x<0.3");
    twoParts->part(2).text.setRaw("sqrt(9-x^2-y^2)");
    twoParts->part(2).domainKind = 1;
    twoParts->part(2).area.domainText.setRaw("x^2+y^2<pi^2");
    CalcRegion disc;
    disc.bounds = {-3, 3, -3, 3};
    disc.region.system = "x^2+y^2<pi^2";
    auto bowl = flatSurface("ln(x^2+y^2)");
    CalcRegion pentagon;
    pentagon.region.isPolygon = true;
    for (const geo::Vec3& p :
         {geo::Vec3{-2, -1, 0}, {1.5, -2, 0}, {2, 1, 0}, {0, 2.5, 0}, {-1.5, 1, 0}})
        pentagon.region.polygon.push(p);
    const struct {
        core::SceneObject* surface;
        const CalcRegion& region;
        int points;
        int stopAfter; // steps of the progress window before the stop button; -1 for none
    } rows[] = {
        {twoParts.get(), disc, 101, -1},  {twoParts.get(), disc, 101, 40},
        {twoParts.get(), disc, 101, 150}, {bowl.get(), pentagon, 67, -1},
        {bowl.get(), pentagon, 67, 100},
    };
    for (const auto& r : rows) {
        Fixture one;
        one.host.abortAfterSteps = r.stopAfter;
        const DoubleIntegralResult a =
            DoubleIntegral(one.env, one.engine, *r.surface, r.region, r.points, 1);
        EXPECT_EQ(a.code, r.stopAfter < 0 ? kDoubleIntegralDone : kDoubleIntegralStopped);
        if (r.stopAfter < 0) {
            EXPECT_GT(std::fabs(a.integral), 1) << r.points;
        }
        for (const int threads : {2, 3, 8}) {
            Fixture many;
            many.host.abortAfterSteps = r.stopAfter;
            const DoubleIntegralResult b =
                DoubleIntegral(many.env, many.engine, *r.surface, r.region, r.points, threads);
            const std::string row =
                std::to_string(r.points) + " stop " + std::to_string(r.stopAfter);
            EXPECT_EQ(a.code, b.code) << row << ", threads " << threads;
            EXPECT_EQ(std::memcmp(&a.integral, &b.integral, sizeof a.integral), 0)
                << row << ", threads " << threads;
            EXPECT_EQ(std::memcmp(&a.area, &b.area, sizeof a.area), 0)
                << row << ", threads " << threads;
            EXPECT_EQ(one.host.calls, many.host.calls) << row << ", threads " << threads;
        }
    }
}

// A request is checked for its points first, then for its region; the engine's error is left
// clear whatever it held.
TEST(DoubleIntegral, RequestChecks) {
    const auto system = [](const char* text) {
        CalcRegion r;
        r.region.system = text;
        return r;
    };
    const auto polygon = [](int vertices) {
        CalcRegion r;
        r.region.isPolygon = true;
        for (int k = 0; k < vertices; ++k)
            r.region.polygon.push({double(k), double(k % 3), 0});
        return r;
    };
    const struct {
        CalcRegion region;
        long double points;
        RequestFault fault;
    } rows[] = {
        // points
        {system("x<1"), 50, RequestFault::None},
        {system("x<1"), 1000, RequestFault::None},
        {system("x<1"), 49.9L, RequestFault::PointsOutOfRange},
        {system("x<1"), 1000.5L, RequestFault::PointsOutOfRange},
        {system("x<1"), std::nanl(""), RequestFault::PointsOutOfRange},
        {system("x<<1"), 10, RequestFault::PointsOutOfRange},
        {polygon(1), 2000, RequestFault::PointsOutOfRange},
        // systems: only a malformed one is refused, not one without a value at the probe
        {system(""), 50, RequestFault::None},
        {system("x<<1"), 50, RequestFault::BadSystem},
        {system("x^2+(y<1"), 50, RequestFault::BadSystem},
        {system("1/(x-0.01)<1"), 50, RequestFault::None},
        // polygons
        {polygon(2), 50, RequestFault::TooFewVertices},
        {polygon(kMinRegionVertices), 50, RequestFault::None},
        {polygon(kMaxRegionVertices), 50, RequestFault::None},
        {polygon(kMaxRegionVertices + 1), 50, RequestFault::TooManyVertices},
    };
    for (const auto& r : rows) {
        expr::ExpressionEngine engine;
        engine.CalcError = expr::kBadText;
        EXPECT_EQ(CheckDoubleIntegralRequest(engine, r.region, r.points), r.fault)
            << r.region.region.system << " " << r.region.region.polygon.n << " "
            << double(r.points);
        EXPECT_EQ(engine.CalcError, expr::kCalcOk);
    }
}

} // namespace
} // namespace vorn::surf
