// Bulk samplers on the compiled path against the same routines on the text path, bit for bit.
#include "core/scene.h"
#include "entry/generatrix.h"
#include "expr/compiled_expression.h"
#include "surfaces/integrals.h"
#include "surfaces/surface_mesh.h"

#include "env_fixture.h"
#include "fake_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace vorn {
namespace {

bool sameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

bool same(const surf::RevolutionMeasures& a, const surf::RevolutionMeasures& b) {
    return std::memcmp(&a.volume, &b.volume, sizeof(double)) == 0 &&
           std::memcmp(&a.area, &b.area, sizeof(double)) == 0 &&
           a.volumeInfinite == b.volumeInfinite && a.areaInfinite == b.areaInfinite;
}

struct Part {
    const char* formula;
    const char* system; // nullptr: the polygon below
};

std::unique_ptr<core::SceneObject> makeSurface(std::vector<Part> parts,
                                               expr::RegionBounds rect = {-3, 3, -3, 3}) {
    auto o = std::make_unique<core::SceneObject>();
    *o = {};
    o->type = core::ObjectType::Surface;
    o->planeB = rect.xFrom;
    o->planeC = rect.xTo;
    o->planeD = rect.yFrom;
    o->surfaceParam = rect.yTo;
    o->partCount = static_cast<std::uint8_t>(parts.size());
    for (std::size_t k = 0; k < parts.size(); ++k) {
        core::ObjectPart& p = o->partData[k];
        p.text.setRaw(parts[k].formula);
        if (parts[k].system) {
            p.domainKind = 1;
            p.area.domainText.setRaw(parts[k].system);
        } else {
            p.domainKind = 0;
            p.area.polygon.pointCount = 3;
            p.area.polygon.points[0] = {-2, -2};
            p.area.polygon.points[1] = {2.5f, -1};
            p.area.polygon.points[2] = {0, 2};
        }
    }
    return o;
}

// Runs `body` once on each path and returns both results.
template <class T> std::pair<T, T> bothPaths(const std::function<T()>& body) {
    T compiled = body();
    const expr::ReferenceEvaluationScope reference;
    return {compiled, body()};
}

class Loops : public ::testing::Test, public vorn::test::EnvFixture {
  protected:
    expr::ExpressionEngine engine;
};

const std::vector<std::vector<Part>> kSurfaces = {
    {{"sin(x*y)", "x^2+y^2<pi^2"}},
    {{"SQRT(1-x^2-y^2)", ""}},
    {{"x^2-y^2", "x^2+y^2<1"}},
    {{"1/x + ln(y)", "y>0, x<>0"}, {"-x*y", nullptr}},
    {{"sin x + cos y ^ 2", "abs(x)+abs(y)<=2.5"}, {"exp(-x^2)", "x=<0"}},
    {{"2 x + y", ""}, {"tg(x*y)*frac(x)-int(y)", "y>-x"}},
    // Relations in x alone after others, without a value, or failing for whole columns.
    {{"sin(x*y)", "y>-1, x<-1"}, {"x-y", "ln(y+3)>0, x<1, x>-1"}, {"1/(x-2)", "y<2, sqrt(x-1)>=0"}},
};

TEST_F(Loops, BuildSurfaceGivesTheSameRecord) {
    for (const double quality : {0.16, 0.51, 1.0}) {
        for (const auto& parts : kSurfaces) {
            auto a = makeSurface(parts), b = makeSurface(parts);
            const bool builtA = surf::BuildSurface(engine, *a, quality);
            bool builtB = false;
            {
                const expr::ReferenceEvaluationScope reference;
                builtB = surf::BuildSurface(engine, *b, quality);
            }
            EXPECT_EQ(builtA, builtB) << parts[0].formula;
            EXPECT_EQ(std::memcmp(a.get(), b.get(), sizeof(core::SceneObject)), 0)
                << parts[0].formula << " at quality " << quality;
        }
    }
}

TEST_F(Loops, DoubleIntegralGivesTheSameNumbers) {
    const char* regions[] = {"x^2+y^2<pi^2", "y>x^2-1, y<1", "x*y>0.5"};
    for (const auto& parts : kSurfaces) {
        for (const char* system : regions) {
            for (const bool polygon : {false, true}) {
                auto a = makeSurface(parts), b = makeSurface(parts);
                surf::CalcRegion region;
                region.region.isPolygon = polygon;
                region.region.system = system;
                region.region.polygon.push({-1, -1, 0});
                region.region.polygon.push({2, 0, 0});
                region.region.polygon.push({0, 2.5, 0});
                const auto r1 = surf::DoubleIntegral(env, engine, *a, region, 60);
                surf::DoubleIntegralResult r2;
                {
                    const expr::ReferenceEvaluationScope reference;
                    r2 = surf::DoubleIntegral(env, engine, *b, region, 60);
                }
                EXPECT_EQ(r1.code, r2.code);
                EXPECT_EQ(std::memcmp(&r1.integral, &r2.integral, sizeof(double)), 0)
                    << parts[0].formula << " over " << system << " " << r1.integral << " "
                    << r2.integral;
                EXPECT_EQ(std::memcmp(&r1.area, &r2.area, sizeof(double)), 0) << parts[0].formula;
            }
        }
    }
}

TEST_F(Loops, OneDimensionalIntegralsGiveTheSameNumbers) {
    surf::Integrator integrator(env, engine, 200);
    const char* curves[] = {"sqrt(x)", "1/x", "sin x", "x^2-1", "ln(x)", "2 x", "abs(x-0.5)"};
    for (const char* f : curves) {
        for (const surf::Axis axis : {surf::Axis::Ox, surf::Axis::Oy}) {
            const auto [m1, m2] = bothPaths<surf::RevolutionMeasures>(
                [&] { return integrator.RevolveExplicit(f, axis, 0, 1); });
            EXPECT_TRUE(same(m1, m2)) << f;
        }
        const auto [t1, t2] =
            bothPaths<long double>([&] { return integrator.TrapezoidIntegral(f, 'X', -0.3L, 2); });
        EXPECT_TRUE(sameBits(t1, t2)) << f;
    }
    const auto [p1, p2] = bothPaths<surf::RevolutionMeasures>(
        [&] { return integrator.RevolveParametric("2+sin(t)", "t^2/3", -1, 2); });
    EXPECT_TRUE(same(p1, p2));

    const std::vector<geo::Vec3> contour = {{0, 0, 0}, {3, 4, -1}, {-1, 0.5, 2}, {0, 0, 0}};
    for (const char* f : {"x*y+z", "1/(x-1)", "sqrt(x^2+y^2+z^2)", "z y"}) {
        const auto [c1, c2] = bothPaths<surf::ContourResult>(
            [&] { return surf::ContourIntegral(env, engine, f, contour); });
        EXPECT_EQ(c1.error, c2.error) << f;
        EXPECT_TRUE(sameBits(c1.value, c2.value)) << f;
    }
}

TEST_F(Loops, GeneratrixSamplesTheSamePoints) {
    using entry::GeneratrixType;
    const struct {
        GeneratrixType type;
        const char* f1;
        const char* f2;
    } rows[] = {{GeneratrixType::Explicit, "sqrt(x)", ""},
                {GeneratrixType::Explicit, "ln(x)", ""},
                {GeneratrixType::Parametric, "sin(t)", "1+cos(t)"},
                {GeneratrixType::Parametric, "t^0.5", "1/t"}};
    for (const auto& row : rows) {
        auto a = std::make_unique<core::SceneObject>(), b = std::make_unique<core::SceneObject>();
        entry::SampleGeneratrix(engine, *a, 1.0, row.type, row.f1, row.f2, -1, 2);
        {
            const expr::ReferenceEvaluationScope reference;
            entry::SampleGeneratrix(engine, *b, 1.0, row.type, row.f1, row.f2, -1, 2);
        }
        EXPECT_EQ(std::memcmp(a.get(), b.get(), sizeof(core::SceneObject)), 0) << row.f1;
    }
}

} // namespace
} // namespace vorn
