// Surface sampling, narrowing, triangulation and the value of a surface at a point.
#include "surfaces/surface_mesh.h"

#include "core/scene.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace vorn::surf {
namespace {

// Stored coordinates are floats: one float step at the magnitudes used here.
constexpr double kFloatTol = 1e-5;
constexpr double kDefaultQuality = 0.51;

struct PartSpec {
    const char* formula;
    const char* system; // nullptr: polygon part
    std::vector<core::PartPoint> polygon;
};

std::unique_ptr<core::SceneObject> makeSurface(std::vector<PartSpec> parts,
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
            p.area.polygon.pointCount = static_cast<std::uint8_t>(parts[k].polygon.size());
            for (std::size_t i = 0; i < parts[k].polygon.size(); ++i)
                p.area.polygon.points[i] = parts[k].polygon[i];
        }
    }
    return o;
}

// Every face joins three distinct vertices of the mesh.
void expectSoundMesh(const core::SceneObject& o) {
    for (int f = 1; f <= o.faceCount; ++f) {
        const core::Face& face = o.face(f);
        for (int v : {face.vertex1, face.vertex2, face.vertex3}) {
            ASSERT_GE(v, 1);
            ASSERT_LE(v, o.vertexCount);
        }
        EXPECT_NE(face.vertex1, face.vertex2);
        EXPECT_NE(face.vertex2, face.vertex3);
        // The stored plane holds the face's own vertices.
        for (int v : {face.vertex1, face.vertex2, face.vertex3}) {
            const core::Vec3f& p = o.vertex(v);
            EXPECT_NEAR(face.a * p.x + face.b * p.y + face.c * p.z + face.d, 0, 1e-4);
        }
    }
}

TEST(SurfaceGridSize, FollowsQualityWithAtLeastFiveNodes) {
    const struct {
        double quality;
        int nodes;
    } rows[] = {{0.51, 16}, {1.00, 31}, {0.50, 15}, {0.19, 6}, {0.16, 5},
                {0.15, 5},  {0.07, 5},  {0.01, 5},  {0, 5}};
    for (const auto& r : rows)
        EXPECT_EQ(SurfaceGridSize(r.quality), r.nodes) << r.quality;
}

TEST(BuildSurface, DefaultSurfaceIsNotNarrowed) {
    core::Scene scene;
    core::InitObject(scene, core::ObjectType::Surface, 2);
    core::SceneObject& o = scene.object(2);
    expr::ExpressionEngine engine;
    ASSERT_TRUE(BuildSurface(engine, o, kDefaultQuality));
    EXPECT_EQ(o.planeB, -3);
    EXPECT_EQ(o.planeC, 3);
    EXPECT_EQ(o.planeD, -3);
    EXPECT_EQ(o.surfaceParam, 3);
    EXPECT_GT(o.vertexCount, 100);
    EXPECT_LE(o.vertexCount, 256);
    for (int v = 1; v <= o.vertexCount; ++v) {
        const core::Vec3f& p = o.vertex(v);
        EXPECT_LT(p.x * p.x + p.y * p.y, 3.1415926 * 3.1415926);
        EXPECT_NEAR(p.z, std::sin(double(p.x) * p.y), kFloatTol);
    }
    expectSoundMesh(o);
}

TEST(BuildSurface, UnitDiscNarrowsTheRectangle) {
    auto o = makeSurface({{"x+y", "x^2+y^2<1", {}}});
    expr::ExpressionEngine engine;
    ASSERT_TRUE(BuildSurface(engine, *o, kDefaultQuality));
    // One spacing before the disc and two after it, so well inside the first rectangle.
    const double bounds[4] = {o->planeB, o->planeC, o->planeD, o->surfaceParam};
    EXPECT_LT(bounds[0], -0.9);
    EXPECT_GT(bounds[0], -1.5);
    EXPECT_GT(bounds[1], 0.9);
    EXPECT_LT(bounds[1], 1.5);
    EXPECT_LT(bounds[2], -0.9);
    EXPECT_GT(bounds[3], 0.9);
    // The whole grid is spent on the disc: far more nodes fall into it than at -3..3.
    EXPECT_GT(o->vertexCount, 100);
    for (int v = 1; v <= o->vertexCount; ++v)
        EXPECT_LT(o->vertex(v).x * o->vertex(v).x + o->vertex(v).y * o->vertex(v).y, 1 + 1e-6);
    expectSoundMesh(*o);
}

TEST(BuildSurface, FormulaUndefinedOutsideTheDiscLeavesItsRimRagged) {
    auto o = makeSurface({{"SQRT(1-x^2-y^2)", "", {}}});
    expr::ExpressionEngine engine;
    ASSERT_TRUE(BuildSurface(engine, *o, kDefaultQuality));
    EXPECT_LT(o->planeC - o->planeB, 3);
    for (int v = 1; v <= o->vertexCount; ++v) {
        const core::Vec3f& p = o->vertex(v);
        EXPECT_LE(p.x * p.x + p.y * p.y, 1 + 1e-6);
        EXPECT_NEAR(p.z, std::sqrt(std::max(0.0, 1 - double(p.x) * p.x - double(p.y) * p.y)),
                    kFloatTol);
    }
    // Cells with a corner outside the disc get fewer than two faces.
    EXPECT_LT(o->faceCount, 2 * 15 * 15);
    expectSoundMesh(*o);
}

TEST(BuildSurface, OverlapBelongsToTheFirstPartAndNoFaceJoinsParts) {
    auto o = makeSurface({{"1", "x<0.5", {}}, {"2", "x>-0.5", {}}});
    expr::ExpressionEngine engine;
    ASSERT_TRUE(BuildSurface(engine, *o, kDefaultQuality));
    int second = 0;
    for (int v = 1; v <= o->vertexCount; ++v) {
        const core::Vec3f& p = o->vertex(v);
        EXPECT_EQ(p.z, p.x < 0.5 ? 1.0f : 2.0f) << p.x;
        second += p.z == 2.0f;
    }
    EXPECT_GT(second, 0);
    for (int f = 1; f <= o->faceCount; ++f) {
        const core::Face& face = o->face(f);
        EXPECT_EQ(o->vertex(face.vertex1).z, o->vertex(face.vertex2).z);
        EXPECT_EQ(o->vertex(face.vertex1).z, o->vertex(face.vertex3).z);
    }
}

TEST(BuildSurface, PolygonPartUsesOnlyNodesInsideItsTriangle) {
    auto o = makeSurface({{"x*y", nullptr, {{0, 0}, {2, 0}, {0, 2}}}});
    expr::ExpressionEngine engine;
    ASSERT_TRUE(BuildSurface(engine, *o, kDefaultQuality));
    for (int v = 1; v <= o->vertexCount; ++v) {
        const core::Vec3f& p = o->vertex(v);
        EXPECT_GE(p.x, -1e-6);
        EXPECT_GE(p.y, -1e-6);
        EXPECT_LE(p.x + p.y, 2 + 1e-5);
    }
    EXPECT_GT(o->planeB, -0.5); // narrowed to the triangle
    expectSoundMesh(*o);
}

TEST(BuildSurface, FullQualityFillsTheWholeGrid) {
    auto o = makeSurface({{"x-y", "", {}}});
    expr::ExpressionEngine engine;
    ASSERT_TRUE(BuildSurface(engine, *o, 1.0));
    EXPECT_EQ(o->vertexCount, 961);
    EXPECT_EQ(o->faceCount, 1800);
    expectSoundMesh(*o);
}

TEST(BuildSurface, LowestQualityStillMakesFiveNodesPerAxis) {
    auto o = makeSurface({{"1", "", {}}});
    expr::ExpressionEngine engine;
    ASSERT_TRUE(BuildSurface(engine, *o, 0.01));
    EXPECT_EQ(o->vertexCount, 25);
    EXPECT_EQ(o->faceCount, 32);
}

// What the default quality builds, every lower quality builds too: on its own coarse grid
// where that finds enough points, else on the default grid.
TEST(BuildSurface, LowQualityNeverLosesASurface) {
    constexpr int kAsDefault = -1;
    const struct {
        const char* system;
        double quality;
        int vertices;
    } rows[] = {
        {"x^2+y^2<pi^2", 0, 13}, {"x^2+y^2<pi^2", 0.07, 13},       {"x^2+y^2<pi^2", 0.10, 13},
        {"x^2+y^2<1", 0.01, 3},  {"abs(y)<0.3", 0.01, kAsDefault}, {"abs(y)<0.3", 0.15, kAsDefault},
    };
    for (const auto& r : rows) {
        auto o = makeSurface({{"sin(x*y)", r.system, {}}});
        auto usual = makeSurface({{"sin(x*y)", r.system, {}}});
        expr::ExpressionEngine engine;
        ASSERT_TRUE(BuildSurface(engine, *usual, kDefaultQuality));
        ASSERT_TRUE(BuildSurface(engine, *o, r.quality)) << r.system << " " << r.quality;
        EXPECT_EQ(o->vertexCount, r.vertices == kAsDefault ? usual->vertexCount : r.vertices)
            << r.system << " " << r.quality;
        expectSoundMesh(*o);
    }
}

// Bounds given from high to low are swapped; equal bounds or no usable node build nothing.
struct RectRow {
    expr::RegionBounds rect;
    const char* system;
    bool builds;
};

class SurfaceRectangle : public ::testing::TestWithParam<RectRow> {};

TEST_P(SurfaceRectangle, SwapsOrRefuses) {
    auto o = makeSurface({{"x", GetParam().system, {}}}, GetParam().rect);
    o->vertexCount = 7; // a previous mesh that a failed build must leave alone
    expr::ExpressionEngine engine;
    ASSERT_EQ(BuildSurface(engine, *o, kDefaultQuality), GetParam().builds);
    if (!GetParam().builds) {
        EXPECT_EQ(o->vertexCount, 7);
        return;
    }
    EXPECT_LT(o->planeB, o->planeC);
    EXPECT_LT(o->planeD, o->surfaceParam);
    EXPECT_EQ(o->vertexCount, 256);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, SurfaceRectangle,
    ::testing::Values(RectRow{{3, -3, -3, 3}, "", true}, RectRow{{-3, 3, 3, -3}, "", true},
                      RectRow{{2, 2, -3, 3}, "", false}, RectRow{{-3, 3, 1, 1}, "", false},
                      RectRow{{NAN, 3, -3, 3}, "", false}, RectRow{{-3, 3, -3, 3}, "x>5", false},
                      RectRow{{-3, 3, -3, 3}, "x>", false}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.system); });

TEST(SampleSurface, ClipRegionNarrowsWithoutTouchingTheSurface) {
    auto o = makeSurface({{"1", "", {}}});
    const auto before = std::make_unique<core::SceneObject>(*o);
    ClipRegion clip;
    clip.system = "x^2+y^2<0.25";
    expr::ExpressionEngine engine;
    const SurfaceSample s = SampleSurface(engine, *o, 16, {-3, 3, -3, 3}, &clip);
    EXPECT_GT(s.rect.xFrom, -0.8);
    EXPECT_LT(s.rect.xTo, 0.8);
    for (const geo::Vec3& v : s.vertices)
        EXPECT_LT(v.x * v.x + v.y * v.y, 0.25);
    EXPECT_EQ(std::memcmp(before.get(), o.get(), sizeof(core::SceneObject)), 0);
}

TEST(SurfaceValueAt, FirstPartWithRegionAndValueAnswers) {
    auto o = makeSurface({{"ln(x)", "x<1", {}}, {"10", "x<2", {}}});
    expr::ExpressionEngine engine;
    const struct {
        double x, y;
        std::optional<double> z;
    } rows[] = {{0.5, 0, std::log(0.5)}, {-1, 0, 10}, {1.5, 0, 10}, {2.5, 0, std::nullopt}};
    for (const auto& r : rows) {
        const auto z = SurfaceValueAt(engine, *o, r.x, r.y);
        ASSERT_EQ(z.has_value(), r.z.has_value()) << r.x;
        if (z) {
            EXPECT_NEAR(*z, *r.z, 1e-12) << r.x;
        }
    }
}

} // namespace
} // namespace vorn::surf
