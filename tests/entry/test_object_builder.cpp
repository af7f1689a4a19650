// The object builder for every kind, generatrix sampling, and rebuilding meshes on load.
#include "entry/generatrix.h"
#include "entry/object_builder.h"
#include "entry/scene_loader.h"
#include "temp_path.h"

#include "core/scene_file.h"
#include "env_fixture.h"
#include "fake_host.h"
#include "lang/message_ids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

namespace vorn::entry {
namespace {

constexpr double kFloatTol = 1e-5;

struct Fixture : vorn::test::EnvFixture {
    expr::ExpressionEngine engine;

    core::SceneObject& buffer() { return scene.object(core::kScratchSlot); }
    // A new object of `type` with its defaults, also copied into the entry buffer.
    int append(core::ObjectType type) {
        const int slot = core::AppendObject(scene, type);
        scene.copySlot(slot, core::kScratchSlot);
        return slot;
    }
};

void expectVertex(const core::Vec3f& v, const geo::Vec3& p) {
    EXPECT_NEAR(v.x, p.x, kFloatTol);
    EXPECT_NEAR(v.y, p.y, kFloatTol);
    EXPECT_NEAR(v.z, p.z, kFloatTol);
}

TEST(MeshSizes, RoundHalfToEvenAndNeverBelowFive) {
    const struct {
        int position, points, rings;
    } rows[] = {{50, 13, 20}, {49, 12, 20}, {99, 25, 40}, {0, 5, 5}, {14, 5, 6}, {29, 8, 12}};
    for (const auto& r : rows) {
        core::Settings s;
        s.qualityPosition = r.position;
        EXPECT_EQ(CurvePointLimit(s.Quality()), r.points) << r.position;
        EXPECT_EQ(RingCount(s.Quality()), r.rings) << r.position;
    }
}

struct PlaneRow {
    int mode;
    geo::Vec3 p1, p2, p3;
    double d;
    geo::Vec3 v1, v2, v3, foot;
};

class PlaneBuilder : public ::testing::TestWithParam<PlaneRow> {};

TEST_P(PlaneBuilder, MakesThreePointsAndTheFoot) {
    Fixture f;
    const PlaneRow& r = GetParam();
    const int slot = f.append(core::ObjectType::Plane);
    f.buffer().vertex(1) = {float(r.p1.x), float(r.p1.y), float(r.p1.z)};
    f.buffer().vertex(2) = {float(r.p2.x), float(r.p2.y), float(r.p2.z)};
    f.buffer().vertex(3) = {float(r.p3.x), float(r.p3.y), float(r.p3.z)};
    EntryValues v;
    v.planeMode = r.mode;
    v.planeD = r.d;
    ASSERT_TRUE(BuildObject(f.env, f.engine, slot, core::ObjectType::Plane, v, true));
    const core::SceneObject& o = f.scene.object(slot);
    EXPECT_EQ(o.vertexCount, 3);
    EXPECT_EQ(o.faceCount, 1);
    EXPECT_EQ(o.param0, r.mode);
    expectVertex(o.vertex(1), r.v1);
    expectVertex(o.vertex(2), r.v2);
    expectVertex(o.vertex(3), r.v3);
    expectVertex(o.vertex(5), r.foot);
    const core::Face& face = o.face(1);
    EXPECT_EQ(face.vertex1 * 100 + face.vertex2 * 10 + face.vertex3, 123);
    for (int k = 1; k <= 3; ++k) {
        const core::Vec3f& p = o.vertex(k);
        EXPECT_NEAR(face.a * p.x + face.b * p.y + face.c * p.z + face.d, 0, kFloatTol);
    }
    EXPECT_TRUE(f.scene.sceneModified);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, PlaneBuilder,
    ::testing::Values(
        PlaneRow{2, {0, 0, 1}, {}, {}, -2, {0, -3, 2}, {-3, 0, 2}, {0, 3, 2}, {0, 0, 2}},
        PlaneRow{1, {0, 0, 0}, {1, 1, 1}, {}, 0, {0, -3, 3}, {-3, 0, 3}, {0, 3, -3}, {0, 0, 0}},
        PlaneRow{2, {1, 2, 0}, {}, {}, 0, {0, 0, -3}, {-3, 1.5, 0}, {0, 0, 3}, {0, 0, 0}},
        PlaneRow{
            2, {2, 0, 1}, {}, {}, -4, {3.1, 0, -2.2}, {1.6, -3, 0.8}, {0.1, 0, 3.8}, {1.6, 0, 0.8}},
        PlaneRow{0,
                 {0, 0, 5},
                 {0, 5, 0},
                 {5, 0, 0},
                 0,
                 {0, 0, 5},
                 {0, 5, 0},
                 {5, 0, 0},
                 {5.0 / 3, 5.0 / 3, 5.0 / 3}}));

TEST(PlaneBuilder, NoPlaneKeepsTheObject) {
    const struct {
        int mode;
        geo::Vec3 p1, p2, p3;
    } rows[] = {{1, {1, 1, 1}, {0, 0, 0}, {}},
                {2, {0, 0, 0.000001}, {}, {}},
                {0, {0, 0, 0}, {1, 1, 1}, {2, 2, 2}}};
    for (const auto& r : rows) {
        Fixture f;
        const int slot = f.append(core::ObjectType::Plane);
        const auto before = std::make_unique<core::SceneObject>(f.scene.object(slot));
        f.buffer().vertex(1) = {float(r.p1.x), float(r.p1.y), float(r.p1.z)};
        f.buffer().vertex(2) = {float(r.p2.x), float(r.p2.y), float(r.p2.z)};
        f.buffer().vertex(3) = {float(r.p3.x), float(r.p3.y), float(r.p3.z)};
        EntryValues v;
        v.planeMode = r.mode;
        EXPECT_FALSE(BuildObject(f.env, f.engine, slot, core::ObjectType::Plane, v, true));
        EXPECT_EQ(std::memcmp(before.get(), &f.scene.object(slot), sizeof(core::SceneObject)), 0);
        EXPECT_EQ(f.host.boxes.size(), 1u);
    }
}

TEST(Builder, PointPolylineAndPolyhedron) {
    Fixture f;
    const int point = f.append(core::ObjectType::Point);
    EntryValues v;
    v.name = "A";
    v.colorIndex = 12;
    v.pointX = 1;
    v.pointY = -2;
    v.pointZ = 0.5;
    ASSERT_TRUE(BuildObject(f.env, f.engine, point, core::ObjectType::Point, v, true));
    expectVertex(f.scene.object(point).vertex(1), {1, -2, 0.5});
    EXPECT_EQ(f.scene.object(point).name.utf8(), "A");
    EXPECT_EQ(f.scene.object(point).color, core::kPalette[12]);

    const int line = f.append(core::ObjectType::Polyline);
    f.buffer().vertexCount = 3;
    f.buffer().vertex(3) = {5, 5, 5};
    f.buffer().faceCount = 2;
    v.closed = true;
    v.polylineMode = 1;
    ASSERT_TRUE(BuildObject(f.env, f.engine, line, core::ObjectType::Polyline, v, true));
    EXPECT_EQ(f.scene.object(line).vertexCount, 3);
    EXPECT_EQ(f.scene.object(line).param2, 1);
    EXPECT_EQ(f.scene.object(line).param0, 1);

    const int solid = f.append(core::ObjectType::Polyhedron);
    const float corners[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const int faces[4][3] = {{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}};
    for (int k = 0; k < 4; ++k) {
        f.buffer().vertex(k + 1) = {corners[k][0], corners[k][1], corners[k][2]};
        f.buffer().face(k + 1).vertex1 = static_cast<std::int16_t>(faces[k][0]);
        f.buffer().face(k + 1).vertex2 = static_cast<std::int16_t>(faces[k][1]);
        f.buffer().face(k + 1).vertex3 = static_cast<std::int16_t>(faces[k][2]);
    }
    f.buffer().faceCount = 4;
    ASSERT_TRUE(BuildObject(f.env, f.engine, solid, core::ObjectType::Polyhedron, v, true));
    EXPECT_EQ(f.scene.object(solid).faceCount, 4);
    EXPECT_NEAR(f.scene.object(solid).volume, 1.0 / 6, 1e-6);
}

// A surface of revolution entered in the dialog: generatrix sampled, then built.
bool buildRevolution(Fixture& f, int slot, EntryValues& v) {
    SampleGeneratrix(f.engine, f.buffer(), f.settings.Quality(),
                     static_cast<GeneratrixType>(v.generatrixType), v.func1, v.func2, v.rangeFrom,
                     v.rangeTo);
    return BuildObject(f.env, f.engine, slot, core::ObjectType::RevolutionSurface, v, true);
}

TEST(RevolutionBuilder, CylinderMeshRingsAndMeasures) {
    Fixture f;
    const int slot = f.append(core::ObjectType::RevolutionSurface);
    EntryValues v;
    v.func1 = "1";
    v.rangeFrom = 0;
    v.rangeTo = 1;
    v.shiftX = 1;
    v.shiftY = 2;
    v.shiftZ = 3;
    ASSERT_TRUE(buildRevolution(f, slot, v));
    const core::SceneObject& o = f.scene.object(slot);
    EXPECT_EQ(o.vertexCount, 260);
    EXPECT_EQ(o.faceCount, 480);
    EXPECT_EQ(o.partCount, 3);
    EXPECT_EQ(o.part(2).text.utf8(), "1");
    for (int k = 1; k <= o.vertexCount; ++k) {
        const core::Vec3f& p = o.vertex(k);
        EXPECT_NEAR(std::hypot(p.y - 2.0, p.z - 3.0), 1, kFloatTol);
        EXPECT_GE(p.x, 1 - kFloatTol);
        EXPECT_LE(p.x, 2 + kFloatTol);
    }
    // Ring 2 starts one turn step after ring 1.
    expectVertex(o.vertex(14), {1, 2 + std::cos(2 * M_PI / 20), 3 - std::sin(2 * M_PI / 20)});
    EXPECT_NEAR(o.volume, M_PI, 1e-6);
    EXPECT_NEAR(o.surfaceArea, 2 * M_PI * (1 + 2.02e-7), 1e-12);
    EXPECT_EQ(o.volumeInfinite, 0);
    EXPECT_EQ(o.areaInfinite, 0);
    EXPECT_TRUE(f.host.boxes.empty());
}

TEST(RevolutionBuilder, ParametricCurvesFollowTheAxis) {
    const struct {
        int axis;
        double from, to;
    } rows[] = {{0, 0, M_PI}, {1, -M_PI / 2, M_PI / 2}};
    for (const auto& r : rows) {
        Fixture f;
        f.settings.integrationPoints = 1000;
        const int slot = f.append(core::ObjectType::RevolutionSurface);
        EntryValues v; // x = cos t, y = sin t: a half circle that sweeps the unit sphere
        v.generatrixType = 1;
        v.axis = r.axis;
        v.func1 = "sin(t)";
        v.func2 = "cos(t)";
        v.rangeFrom = r.from;
        v.rangeTo = r.to;
        ASSERT_TRUE(buildRevolution(f, slot, v));
        EXPECT_NEAR(f.scene.object(slot).volume, 4 * M_PI / 3, 1e-4) << r.axis;
        EXPECT_NEAR(f.scene.object(slot).surfaceArea, 4 * M_PI, 1e-4) << r.axis;
        for (int k = 1; k <= f.scene.object(slot).vertexCount; ++k) {
            const core::Vec3f& p = f.scene.object(slot).vertex(k);
            EXPECT_NEAR(p.x * p.x + p.y * p.y + p.z * p.z, 1, 1e-5);
        }
    }
}

TEST(RevolutionBuilder, TwoPointPolylineMakesOneBand) {
    Fixture f;
    const int slot = f.append(core::ObjectType::RevolutionSurface);
    core::ObjectPart& line = f.buffer().part(3);
    line.area.polygon.pointCount = 2;
    line.area.polygon.points[0] = {0, 1};
    line.area.polygon.points[1] = {1, 1};
    EntryValues v;
    v.generatrixType = 2;
    ASSERT_TRUE(buildRevolution(f, slot, v));
    const core::SceneObject& o = f.scene.object(slot);
    EXPECT_EQ(o.vertexCount, 2 * 20);
    EXPECT_EQ(o.faceCount, 2 * 20);
    EXPECT_NEAR(o.volume, M_PI, 1e-12);
    EXPECT_NEAR(o.surfaceArea, 2 * M_PI, 1e-12);
}

TEST(RevolutionBuilder, UnboundedAreaIsFlaggedAndReported) {
    Fixture f;
    const int slot = f.append(core::ObjectType::RevolutionSurface);
    EntryValues v;
    v.func1 = "sqrt(x)";
    v.rangeFrom = 1.01e-7;
    v.rangeTo = 1;
    ASSERT_TRUE(buildRevolution(f, slot, v));
    EXPECT_EQ(f.scene.object(slot).areaInfinite, 1);
    EXPECT_EQ(f.scene.object(slot).surfaceArea, 0);
    EXPECT_EQ(f.scene.object(slot).volumeInfinite, 0);
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0], f.messages.text(lang::msg::kAreaInfinite));
}

TEST(SurfaceBuilder, FailedEditKeepsThePreviousDefinitionAndMesh) {
    Fixture f;
    const int slot = f.append(core::ObjectType::Surface);
    EntryValues v;
    ASSERT_TRUE(BuildObject(f.env, f.engine, slot, core::ObjectType::Surface, v, true));
    ASSERT_GT(f.scene.object(slot).vertexCount, 0);
    const auto before = std::make_unique<core::SceneObject>(f.scene.object(slot));
    f.scene.copySlot(slot, core::kScratchSlot);
    f.buffer().part(1).area.domainText.setRaw("x>100");
    EXPECT_FALSE(BuildObject(f.env, f.engine, slot, core::ObjectType::Surface, v, true));
    EXPECT_EQ(std::memcmp(before.get(), &f.scene.object(slot), sizeof(core::SceneObject)), 0);
    EXPECT_EQ(f.scene.objectCount(), 2);
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0], f.messages.text(lang::msg::kTooFewSurfacePoints));
}

TEST(SceneLoader, RebuildsMeshesKeepsRevolutionMeasuresAndKeepsTheBadSurfaceUnbuilt) {
    const std::string file = vorn::test::tempPath("entry_load.v3d").string();
    {
        Fixture f;
        f.append(core::ObjectType::Point);
        const int good = f.append(core::ObjectType::Surface);
        f.scene.object(good).name.length = 150; // a file may say so; the rebuild keeps it
        const int bad = f.append(core::ObjectType::Surface);
        f.scene.object(bad).part(1).area.domainText.setRaw("x>100");
        f.scene.object(bad).name.setRaw("bad");
        const int rev = f.append(core::ObjectType::RevolutionSurface);
        f.scene.object(rev).volume = 123.5;
        f.scene.object(rev).surfaceArea = 77;
        f.scene.object(rev).planeB = 0; // range 1..10 stays in planeD / surfaceParam
        const int last = f.append(core::ObjectType::Point);
        f.scene.object(last).name.setRaw("last");
        ASSERT_TRUE(core::WriteSceneFile(f.env, file));
    }
    Fixture f;
    SceneLoader loader;
    ASSERT_EQ(core::ReadSceneFile(f.env, file, false, true, &loader), 0);
    std::filesystem::remove(file);
    ASSERT_EQ(f.scene.objectCount(), 6);
    const core::ObjectType order[] = {core::ObjectType::Point, core::ObjectType::Surface,
                                      core::ObjectType::Surface,
                                      core::ObjectType::RevolutionSurface, core::ObjectType::Point};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(f.scene.object(k + 2).type, order[k]) << k;
    EXPECT_EQ(f.scene.object(6).name.utf8(), "last");
    EXPECT_GT(f.scene.object(3).vertexCount, 100);
    EXPECT_EQ(f.scene.object(3).name.length, 150);
    EXPECT_EQ(f.scene.object(4).vertexCount, 0);
    EXPECT_EQ(f.scene.object(4).faceCount, 0);
    EXPECT_EQ(core::ListCaption(f.scene, 4), "3. bad");
    const core::SceneObject& rev = f.scene.object(5);
    EXPECT_EQ(rev.vertexCount, 260);
    EXPECT_EQ(rev.faceCount, 480);
    EXPECT_EQ(rev.volume, 123.5);
    EXPECT_EQ(rev.surfaceArea, 77);
    // The generatrix y = sin(x) was sampled again over the stored range 1..10.
    EXPECT_NEAR(rev.vertex(1).x, 1, kFloatTol);
    EXPECT_NEAR(rev.vertex(1).y, std::sin(1.0), kFloatTol);
    EXPECT_NEAR(rev.vertex(13).x, 10, kFloatTol);
    EXPECT_EQ(f.host.report.size(), 5u);
    EXPECT_EQ(f.host.boxes,
              std::vector<std::string>{f.messages.format(lang::msg::kNotRebuilt, {"\"bad\""})});
    EXPECT_NE(f.scene.unbuiltHeader(4), nullptr);
    // Mended in the dialog, it is an ordinary surface again, saved as it now is.
    f.scene.copySlot(4, core::kScratchSlot);
    f.buffer().part(1).area.domainText.setRaw("x>0");
    const EntryValues v = EntryValuesFromRecord(f.buffer());
    ASSERT_TRUE(BuildObject(f.env, f.engine, 4, core::ObjectType::Surface, v, true));
    EXPECT_EQ(f.scene.unbuiltHeader(4), nullptr);
}

} // namespace
} // namespace vorn::entry
