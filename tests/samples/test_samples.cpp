// The shipped sample scenes: each loads as the program loads it and holds what it claims to show.
#include "v3dtool/samples.h"

#include "core/scene_file.h"
#include "entry/scene_loader.h"
#include "env_fixture.h"
#include "fake_host.h"
#include "polyhedra/cross_section.h"
#include "surfaces/integrals.h"
#include "surfaces/surface_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace vorn::test {
namespace {

using core::ObjectType;
using geo::Vec3;

const std::filesystem::path kSamplesDir = VORN_SAMPLES_DIR;
// Single-precision coordinates of a few units.
constexpr double kFloatTol = 1e-5;

// A scene with its settings and a scripted host, as the program holds them.
struct Session : vorn::test::EnvFixture {
    Session() { settings = tool::SampleSettings(); }
    expr::ExpressionEngine engine;

    // The object with number `n` in the object list.
    const core::SceneObject& object(int n) const { return scene.object(n + 1); }
    // The list number of the object called `name`; 0 when there is none.
    int number(const std::string& name) const {
        for (int slot = 2; slot <= scene.objectCount(); ++slot)
            if (scene.object(slot).name.utf8() == name) return slot - 1;
        return 0;
    }
};

// Loads a shipped sample as "&Завантажити" does.
std::unique_ptr<Session> LoadSample(const std::string& name) {
    auto s = std::make_unique<Session>();
    entry::SceneLoader loader;
    const std::string file = (kSamplesDir / (name + ".v3d")).string();
    if (core::ReadSceneFile(s->env, file, false, true, &loader) < 0) return nullptr;
    return s;
}

Vec3 V(const core::SceneObject& o, int i) {
    return {o.vertex(i).x, o.vertex(i).y, o.vertex(i).z};
}

double Length(const Vec3& v) {
    return std::sqrt(geo::dot(v, v));
}

void ExpectNear(const Vec3& a, const Vec3& b, double tol = kFloatTol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

struct Expected {
    ObjectType type;
    std::string name;
};

const std::map<std::string, std::vector<Expected>> kContents = {
    {"cube_section",
     {{ObjectType::Polyhedron, "Куб"},
      {ObjectType::Point, "K"},
      {ObjectType::Point, "L"},
      {ObjectType::Point, "M"},
      {ObjectType::Plane, "Площина KLM"},
      {ObjectType::Polyline, "Переріз об'єкта \"Куб\""}}},
    {"regular_solids",
     {{ObjectType::Polyhedron, "Тетраедр"},
      {ObjectType::Polyhedron, "Куб"},
      {ObjectType::Polyhedron, "Октаедр"},
      {ObjectType::Polyhedron, "Ікосаедр"},
      {ObjectType::Polyhedron, "Додекаедр"}}},
    {"pyramid_height",
     {{ObjectType::Polyhedron, "Правильна піраміда"},
      {ObjectType::Polyline, "Висота SO"},
      {ObjectType::Polyline, "Апофема SK"},
      {ObjectType::Polyline, "OK"},
      {ObjectType::Point, "O"},
      {ObjectType::Point, "K"},
      {ObjectType::Point, "S"}}},
    {"surfaces",
     {{ObjectType::Surface, "Параболоїд над кругом"},
      {ObjectType::Surface, "Сідло над трикутником"},
      {ObjectType::Surface, "Півсфера і конус"}}},
    {"revolution",
     {{ObjectType::RevolutionSurface, "Конус"},
      {ObjectType::RevolutionSurface, "Циліндр"},
      {ObjectType::RevolutionSurface, "Куля"},
      {ObjectType::RevolutionSurface, "Параболоїд обертання"},
      {ObjectType::RevolutionSurface, "Тор"}}},
};

TEST(SampleFiles, TheFolderHoldsExactlyTheListedScenes) {
    std::set<std::string> files, listed;
    for (const auto& entry : std::filesystem::directory_iterator(kSamplesDir))
        files.insert(entry.path().filename().string());
    for (const tool::SampleScene& s : tool::SampleScenes()) {
        listed.insert(s.name + ".v3d");
        EXPECT_TRUE(kContents.count(s.name)) << s.name;
    }
    EXPECT_EQ(files, listed);
}

TEST(SampleFiles, EachLoadsWithoutMessagesAndHoldsItsObjects) {
    for (const auto& [name, objects] : kContents) {
        SCOPED_TRACE(name);
        const auto s = LoadSample(name);
        ASSERT_NE(s, nullptr);
        // Every polyhedron closed, every mesh rebuilt: no box at all.
        EXPECT_TRUE(s->host.boxes.empty());
        ASSERT_EQ(s->scene.objectCount() - 1, static_cast<int>(objects.size()));
        for (std::size_t k = 0; k < objects.size(); ++k) {
            const core::SceneObject& o = s->object(static_cast<int>(k) + 1);
            EXPECT_EQ(o.type, objects[k].type) << k;
            EXPECT_EQ(o.name.utf8(), objects[k].name) << k;
            EXPECT_EQ(o.visible, 1) << k;
            EXPECT_GT(o.vertexCount, 0) << k;
        }
        // A stored view that fits the scene, whatever the program's AutoZoom setting.
        EXPECT_GT(s->scene.header.zoomX, 0);
        EXPECT_EQ(s->scene.header.zoomX, s->scene.header.zoomZ);
    }
}

TEST(SampleFiles, TheGeneratorStillBuildsTheShippedScenes) {
    for (const tool::SampleScene& sample : tool::SampleScenes()) {
        SCOPED_TRACE(sample.name + ": regenerate with scripts/make-samples.sh");
        const auto shipped = LoadSample(sample.name);
        ASSERT_NE(shipped, nullptr);
        Session built;
        std::ostringstream report, err;
        ASSERT_TRUE(tool::BuildSample(built.scene, built.settings, sample.name, report, err))
            << err.str();
        ASSERT_EQ(built.scene.objectCount(), shipped->scene.objectCount());
        EXPECT_EQ(built.scene.header.zoomX, shipped->scene.header.zoomX);
        EXPECT_EQ(built.scene.header.turnHorizontal, shipped->scene.header.turnHorizontal);
        for (int n = 1; n < built.scene.objectCount(); ++n) {
            const core::SceneObject& a = built.object(n);
            const core::SceneObject& b = shipped->object(n);
            EXPECT_EQ(a.name.utf8(), b.name.utf8());
            ASSERT_EQ(a.vertexCount, b.vertexCount) << b.name.utf8();
            EXPECT_EQ(a.faceCount, b.faceCount) << b.name.utf8();
            EXPECT_DOUBLE_EQ(a.volume, b.volume) << b.name.utf8();
            for (int i = 1; i <= a.vertexCount; ++i)
                ExpectNear(V(a, i), V(b, i));
        }
    }
}

TEST(SampleBuilder, RefusesAnUnknownName) {
    core::Scene scene;
    std::ostringstream report, err;
    EXPECT_FALSE(tool::BuildSample(scene, tool::SampleSettings(), "nothing", report, err));
    EXPECT_EQ(err.str(), "no sample named nothing\n");
    EXPECT_EQ(scene.objectCount(), 1);
}

TEST(CubeSection, IsTheRegularHexagonThroughSixEdgeMidpoints) {
    const auto s = LoadSample("cube_section");
    ASSERT_NE(s, nullptr);
    const core::SceneObject& cube = s->object(1);
    EXPECT_NEAR(cube.volume, 64, 1e-9);
    EXPECT_EQ(cube.vertexCount, 8);

    // The stored contour: six points of the plane x + y + z = 0, each the midpoint of an edge of
    // the cube [-2, 2]³ (two coordinates at ±2, the third 0), with sides 2√2.
    const core::SceneObject& contour = s->object(6);
    ASSERT_EQ(contour.vertexCount, 6);
    EXPECT_EQ(contour.param2, 1); // closed
    for (int i = 1; i <= 6; ++i) {
        const Vec3 p = V(contour, i);
        EXPECT_NEAR(p.x + p.y + p.z, 0, kFloatTol) << i;
        int atBounds = 0;
        for (const double c : {p.x, p.y, p.z})
            atBounds += std::fabs(std::fabs(c) - 2) < kFloatTol;
        EXPECT_EQ(atBounds, 2) << i;
        EXPECT_NEAR(std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z), 4, 3 * kFloatTol) << i;
        EXPECT_NEAR(Length(V(contour, i % 6 + 1) - p), 2 * std::sqrt(2.0), kFloatTol) << i;
    }

    // Cutting again from the loaded file reports the hexagon's area and perimeter; the contour
    // it offers is the stored one, so accepting it adds nothing.
    const int plane = s->number("Площина KLM") + 1;
    s->host.answers = {core::Answer::Yes, core::Answer::No};
    const poly::SectionResult r = poly::CrossSection(s->env, plane, 2);
    ASSERT_TRUE(r.computed);
    EXPECT_NEAR(r.area, 12 * std::sqrt(3.0), 1e-4);
    EXPECT_NEAR(r.perimeter, 12 * std::sqrt(2.0), 1e-4);
    EXPECT_EQ(r.contourSlot, 0);
    EXPECT_EQ(s->scene.objectCount(), 7);
    EXPECT_EQ(s->host.questions.size(), 2u);
}

TEST(RegularSolids, VerticesFacesEdgesAndVolumesWithEdgeTwo) {
    const double a = 2, r5 = std::sqrt(5.0);
    const struct {
        const char* name;
        int vertices, triangles, edges;
        double volume;
    } rows[] = {
        {"Тетраедр", 4, 4, 6, a * a * a / (6 * std::sqrt(2.0))},
        {"Куб", 8, 12, 12, a * a * a},
        {"Октаедр", 6, 8, 12, std::sqrt(2.0) / 3 * a * a * a},
        {"Ікосаедр", 12, 20, 30, 5 * (3 + r5) / 12 * a * a * a},
        {"Додекаедр", 20, 36, 30, (15 + 7 * r5) / 4 * a * a * a},
    };
    const auto s = LoadSample("regular_solids");
    ASSERT_NE(s, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int n = s->number(row.name);
        ASSERT_GT(n, 0);
        const core::SceneObject& o = s->object(n);
        EXPECT_EQ(o.vertexCount, row.vertices);
        EXPECT_EQ(o.faceCount, row.triangles);
        EXPECT_NEAR(o.volume, row.volume, 1e-5 * row.volume);
        // Drawn edges are the solid's edges (each seen from its two triangles), all of length a;
        // the diagonals inside square and pentagonal faces are hidden.
        const core::EdgeFlags& flags = s->scene.edgeVisibility(n + 1);
        int drawn = 0;
        for (int f = 1; f <= o.faceCount; ++f) {
            const core::Face& face = o.face(f);
            const int v[4] = {face.vertex1, face.vertex2, face.vertex3, face.vertex1};
            for (int k = 0; k < 3; ++k) {
                if (!flags[static_cast<std::size_t>(f - 1)][static_cast<std::size_t>(k)]) continue;
                ++drawn;
                EXPECT_NEAR(Length(V(o, v[k + 1]) - V(o, v[k])), a, kFloatTol);
            }
        }
        EXPECT_EQ(drawn, 2 * row.edges);
    }
}

TEST(PyramidHeight, HeightApothemAndTheirFeet) {
    const auto s = LoadSample("pyramid_height");
    ASSERT_NE(s, nullptr);
    const core::SceneObject& pyramid = s->object(1);
    ASSERT_EQ(pyramid.vertexCount, 5);
    EXPECT_NEAR(pyramid.volume, 16.0 * 5 / 3, 1e-5);
    const Vec3 apex = V(pyramid, 1);
    ExpectNear(apex, {0, 0, 5});
    Vec3 centre;
    for (int i = 2; i <= 5; ++i) {
        EXPECT_NEAR(V(pyramid, i).z, 0, kFloatTol);
        EXPECT_NEAR(Length(V(pyramid, (i - 1) % 4 + 2) - V(pyramid, i)), 4,
                    kFloatTol); // base side 4
        centre = centre + V(pyramid, i) * 0.25;
    }

    // SO from the apex to the centre of the base, perpendicular to it.
    const core::SceneObject& height = s->object(s->number("Висота SO"));
    ASSERT_EQ(height.vertexCount, 2);
    ExpectNear(V(height, 1), apex);
    ExpectNear(V(height, 2), centre);
    ExpectNear(V(s->object(s->number("O")), 1), centre);
    for (int i = 2; i <= 5; ++i)
        EXPECT_NEAR(
            geo::dot(V(height, 2) - V(height, 1), V(pyramid, (i - 1) % 4 + 2) - V(pyramid, i)), 0,
            kFloatTol);

    // SK to the midpoint K of a base edge, perpendicular to that edge; OK is half the side.
    const core::SceneObject& apothem = s->object(s->number("Апофема SK"));
    const Vec3 k = (V(pyramid, 2) + V(pyramid, 3)) * 0.5;
    ExpectNear(V(apothem, 1), apex);
    ExpectNear(V(apothem, 2), k);
    ExpectNear(V(s->object(s->number("K")), 1), k);
    EXPECT_NEAR(Length(k - apex), std::sqrt(29.0), kFloatTol);
    EXPECT_NEAR(geo::dot(k - apex, V(pyramid, 3) - V(pyramid, 2)), 0, kFloatTol);
    const core::SceneObject& ok = s->object(s->number("OK"));
    EXPECT_NEAR(Length(V(ok, 2) - V(ok, 1)), 2, kFloatTol);
}

TEST(Surfaces, MeshesFollowTheirFormulasInsideTheirRegions) {
    const auto s = LoadSample("surfaces");
    ASSERT_NE(s, nullptr);
    const core::SceneObject& paraboloid = s->object(1);
    const core::SceneObject& saddle = s->object(2);
    const core::SceneObject& twoParts = s->object(3);
    EXPECT_EQ(paraboloid.part(1).domainKind, 1);
    EXPECT_EQ(saddle.part(1).domainKind, 0);
    EXPECT_EQ(saddle.part(1).area.polygon.pointCount, 3);
    ASSERT_EQ(twoParts.partCount, 2);

    // Triangle (-2, -2), (2, -2), (0, 2.5): inside when on the inner side of all three edges.
    const auto inTriangle = [](double x, double y) {
        const double t[4][2] = {{-2, -2}, {2, -2}, {0, 2.5}, {-2, -2}};
        for (int k = 0; k < 3; ++k) {
            const double c =
                (t[k + 1][0] - t[k][0]) * (y - t[k][1]) - (t[k + 1][1] - t[k][1]) * (x - t[k][0]);
            if (c < -kFloatTol) return false;
        }
        return true;
    };
    for (const core::SceneObject* o : {&paraboloid, &saddle, &twoParts}) {
        SCOPED_TRACE(o->name.utf8());
        EXPECT_GT(o->vertexCount, 50);
        EXPECT_GT(o->faceCount, 50);
        for (int i = 1; i <= o->vertexCount; ++i) {
            const Vec3 p = V(*o, i);
            double z = 0;
            if (o == &paraboloid) {
                EXPECT_LT((p.x + 5) * (p.x + 5) + p.y * p.y, 4 + kFloatTol);
                z = ((p.x + 5) * (p.x + 5) + p.y * p.y) / 4;
            } else if (o == &saddle) {
                EXPECT_TRUE(inTriangle(p.x, p.y)) << p.x << " " << p.y;
                z = p.x * p.y / 2;
            } else {
                const double r = std::hypot(p.x - 5, p.y);
                EXPECT_LT(r, 2 + kFloatTol);
                z = p.y >= 0 ? std::sqrt(std::max(0.0, 4 - r * r)) : 2 - r;
            }
            EXPECT_NEAR(p.z, z, kFloatTol) << i;
        }
    }
    // Values at points, as "Значення функції в точці" gives them.
    EXPECT_NEAR(*surf::SurfaceValueAt(s->engine, twoParts, 5, 1), std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(*surf::SurfaceValueAt(s->engine, twoParts, 5, -1), 1, 1e-9);
    EXPECT_NEAR(*surf::SurfaceValueAt(s->engine, saddle, 1, -1), -0.5, 1e-9);
    EXPECT_FALSE(surf::SurfaceValueAt(s->engine, saddle, 1.9, 2).has_value());
    EXPECT_FALSE(surf::SurfaceValueAt(s->engine, paraboloid, -3, 1.5).has_value());

    // The volume under the paraboloid over its disc of radius 2 is 2π; cells cut by the circle
    // are lost, at most its length times the spacing 4/200 times the largest value 1.
    surf::CalcRegion region;
    region.bounds = {-7, -3, -2, 2};
    region.region.system = "sqr(x+5)+sqr(y)<4";
    core::SceneObject& target = s->scene.object(2);
    const surf::DoubleIntegralResult r =
        surf::DoubleIntegral(s->env, s->engine, target, region, 200);
    EXPECT_EQ(r.code, surf::kDoubleIntegralDone);
    EXPECT_NEAR(r.integral, 2 * M_PI, 4 * M_PI * 4 / 200);
}

TEST(Revolution, SolidsLieOnTheirAxesWithTheirVolumesAndAreas) {
    const double pi = M_PI;
    const struct {
        const char* name;
        Vec3 axis; // a point of the axis parallel to Ox
        double volume, area;
        double areaTol; // the ball's generatrix has infinite slope at its ends
    } rows[] = {
        {"Конус", {0, -10, 0}, pi * 4 * 3 / 3, pi * 2 * std::sqrt(13.0), 1e-4},
        {"Циліндр", {0, -5.5, 0}, pi * 2.25 * 3, 2 * pi * 1.5 * 3, 1e-4},
        {"Куля", {1.5, -2, 0}, 4 * pi * 3.375 / 3, 4 * pi * 2.25, 2e-3},
        {"Параболоїд обертання", {-0.5, 2, 0}, 8 * pi, pi / 6 * (std::pow(17.0, 1.5) - 1), 1e-3},
        {"Тор", {1.5, 7.5, 0}, 2 * pi * pi * 2, 4 * pi * pi * 2, 1e-4},
    };
    const auto s = LoadSample("revolution");
    ASSERT_NE(s, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int n = s->number(row.name);
        ASSERT_GT(n, 0);
        const core::SceneObject& o = s->object(n);
        EXPECT_NEAR(o.volume, row.volume, 1e-4 * row.volume);
        EXPECT_NEAR(o.surfaceArea, row.area, row.areaTol * row.area);
        for (int i = 1; i <= o.vertexCount; ++i) {
            const Vec3 p = V(o, i) - row.axis;
            const double r = std::hypot(p.y, p.z); // distance from the axis
            if (std::string(row.name) == "Конус")
                EXPECT_NEAR(r, 2 * (1 - p.x / 3), kFloatTol);
            else if (std::string(row.name) == "Циліндр")
                EXPECT_NEAR(r, 1.5, kFloatTol);
            else if (std::string(row.name) == "Куля")
                EXPECT_NEAR(Length(p), 1.5, kFloatTol);
            else if (std::string(row.name) == "Тор")
                EXPECT_NEAR(std::hypot(r - 2, p.x), 1, kFloatTol);
            else
                EXPECT_NEAR(r, std::sqrt(std::max(0.0, p.x)), kFloatTol);
        }
    }
}

} // namespace
} // namespace vorn::test
