// Half-tone display data without OpenGL: materials, view, depth range, lists of every kind.
#include "halftone_scenes.h"

#include "env_fixture.h"
#include "fake_host.h"
#include "view/halftone_materials.h"
#include "view/halftone_scene.h"
#include "view/halftone_view.h"
#include "view/view_state.h"

#include "core/scene_file.h"
#include "expr/compiled_expression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

namespace vorn::pic {
namespace {

using test::AddCube;
using test::AddRevolution;
using test::AddSurface;

// Tolerances: float storage of vertices, and one pixel between the wire-frame tables' step of
// 3.14/36 and the exact 5 degrees of the half-tone view.
constexpr double kFloatTol = 1e-5;
constexpr double kPixelTol = 1.0;

struct HalfToneTest : ::testing::Test, vorn::test::EnvFixture {
    expr::ExpressionEngine engine;

    const HalfToneList* listOf(const HalfToneScene& ht, int slot) {
        for (const HalfToneList& l : ht.lists)
            if (l.number == slot) return &l;
        return nullptr;
    }
};

// ---- materials -----------------------------------------------------------------------------

struct PaletteCase {
    double colorIndex;
    int material;
};
class PaletteMaterial : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(PaletteMaterial, ChosenByRoundedIndex) {
    EXPECT_EQ(MaterialForColorIndex(GetParam().colorIndex), GetParam().material);
}
INSTANTIATE_TEST_SUITE_P(Table, PaletteMaterial,
                         ::testing::Values(PaletteCase{9, 21},   // red polyhedron
                                           PaletteCase{15, 3},   // white
                                           PaletteCase{0, 12},   // black
                                           PaletteCase{2, 0},    // green: emerald
                                           PaletteCase{12, 24},  // blue
                                           PaletteCase{8.6, 21}, // rounds to red
                                           PaletteCase{14.4, 5}, // rounds to aqua
                                           PaletteCase{-3, 12},  // below the palette
                                           PaletteCase{40, 3})); // above it

// Both pictures show the record's colour: blue stays blue, purple is not drawn as red, and a
// palette index that disagrees with the colour is not looked at.
TEST_F(HalfToneTest, ListsTakeTheRecordsColour) {
    const int blue = AddCube(env, 0, 0, 0, 1, 12);
    const int purple = AddCube(env, 2, 0, 0, 1, 5);
    const int red = AddCube(env, 4, 0, 0, 1, 9);
    scene.object(red).colorIndex = 2; // a file whose fields disagree
    const HalfToneScene ht = BuildHalfToneScene(env, engine);
    const auto diffuse = [&](int slot) { return listOf(ht, slot)->material.diffuse; };
    EXPECT_GT(diffuse(blue)[2], 0.5f);
    EXPECT_EQ(diffuse(blue)[0], 0);
    EXPECT_EQ(diffuse(blue)[1], 0);
    EXPECT_FLOAT_EQ(diffuse(purple)[0], diffuse(purple)[2]);
    EXPECT_NE(diffuse(purple), diffuse(red));
    EXPECT_GT(diffuse(red)[0], 0.5f);
    EXPECT_EQ(diffuse(red)[1], 0);
}

TEST(Materials, ShininessIsSentUnscaledAndEveryMaterialIsDim) {
    const auto& m = Materials();
    EXPECT_FLOAT_EQ(m[6].shininess, 0.217949f);
    EXPECT_FLOAT_EQ(m[21].diffuse[0], 0.5f);
    for (const Material& x : m)
        for (float c : x.ambient)
            EXPECT_LE(c, 0.6f); // ambient alone never washes a face out
}

// ---- light colours ------------------------------------------------------------------------------

TEST(GLColor, ColourAndComponentsFollowEachOther) {
    TGLColor c;
    EXPECT_EQ(c.Color(), 0xFFFFFFu);
    EXPECT_FLOAT_EQ(c.Alpha(), 1.0f);
    int changes = 0;
    c.setOnChange([&] { ++changes; });
    c.setColor(0x0080FF); // red in the low byte
    EXPECT_FLOAT_EQ(c.Red(), 1.0f);
    EXPECT_FLOAT_EQ(c.Green(), 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.Blue(), 0.0f);
    c.setRed(0.5f); // 127.5 rounds to 128
    EXPECT_EQ(c.Color() & 0xFF, 128u);
    c.setBlue(0.2f); // 51
    EXPECT_EQ((c.Color() >> 16) & 0xFF, 51u);
    EXPECT_EQ(changes, 3);
}

TEST(GLColor, ALightHearsOfItsColoursAndPosition) {
    TLight light;
    EXPECT_EQ(light.glPosition(), (std::array<float, 4>{0, 0, -1, 0}));
    int changes = 0;
    light.setOnChange([&] { ++changes; });
    light.DiffuseColor().setGreen(0.25f);
    light.SpecularColor().setColor(0);
    light.setPosition(1, 2, 3);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(light.glPosition(), (std::array<float, 4>{1, 2, 3, 0}));
}

// ---- view -------------------------------------------------------------------------------------

TEST(HalfToneViewTest, InitialViewAnglesScalesAndCentre) {
    core::SceneHeader header{};
    ViewState view(header);
    view.setTurn(kInitialTurnHorizontal, kInitialTurnVertical);
    view.setZoom(80, 90, 100);
    view.centerX = 1;
    view.centerY = -2;
    view.centerZ = 0.5;
    HalfToneTransform t;
    HalfToneView(view, t);
    EXPECT_FLOAT_EQ(t.RotateGama, -315);
    EXPECT_FLOAT_EQ(t.RotateAlfa, 245);
    EXPECT_FLOAT_EQ(t.RotateBeta, 0);
    EXPECT_FLOAT_EQ(t.SizeX, 80);
    EXPECT_FLOAT_EQ(t.SizeZ, 100);
    EXPECT_FLOAT_EQ(t.MoveX, -1);
    EXPECT_FLOAT_EQ(t.MoveY, 2);
    EXPECT_FLOAT_EQ(t.MoveZ, -0.5);
}

// The lit picture must show the scene as the wire-frame picture does, in every turn.
class HalfToneMatchesWireFrame : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(HalfToneMatchesWireFrame, PointsLandOnTheSamePixels) {
    core::SceneHeader header{};
    ViewState view(header);
    view.setTurn(GetParam().first, GetParam().second);
    view.setZoom(100, 100, 100);
    view.halfWidth = 200;
    view.halfHeight = 150;
    HalfToneTransform t;
    HalfToneView(view, t);
    const SceneBox box;
    for (const geo::Vec3 p :
         {geo::Vec3{1, 0, 0}, geo::Vec3{0, 1, 0}, geo::Vec3{0, 0, 1}, geo::Vec3{0.5, -0.7, 0.3}}) {
        const Projected w = ProjectPoint(view, p);
        const HalfTonePixel h = ProjectHalfTone(t, box, 400, 300, p);
        EXPECT_NEAR(h.x, w.px, kPixelTol) << p.x << "," << p.y << "," << p.z;
        EXPECT_NEAR(h.y, w.py, kPixelTol) << p.x << "," << p.y << "," << p.z;
    }
}
INSTANTIATE_TEST_SUITE_P(Turns, HalfToneMatchesWireFrame,
                         ::testing::Values(std::pair{27, 49}, std::pair{0, 36}, std::pair{0, 54},
                                           std::pair{18, 54}, std::pair{5, 10}));

TEST(HalfToneViewTest, RotationSequenceOrdersTheTurns) {
    HalfToneTransform t;
    t.RotateAlfa = 90;
    t.RotateGama = 90;
    const auto apply = [](const Matrix4& m, geo::Vec3 p) {
        return geo::Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z, m[1] * p.x + m[5] * p.y + m[9] * p.z,
                         m[2] * p.x + m[6] * p.y + m[10] * p.z};
    };
    // RPY: the z turn reaches the point first, x then lifts it.
    t.sequence = RotationSequence::RPY;
    const geo::Vec3 a = apply(ModelViewMatrix(t), {1, 0, 0});
    EXPECT_NEAR(a.z, 1, kFloatTol);
    // YPR: the x turn leaves the point alone, z moves it to Oy.
    t.sequence = RotationSequence::YPR;
    const geo::Vec3 b = apply(ModelViewMatrix(t), {1, 0, 0});
    EXPECT_NEAR(b.y, 1, kFloatTol);
    EXPECT_EQ(ParseRotationSequence("PRY"), RotationSequence::PRY);
    EXPECT_FALSE(ParseRotationSequence("XYZ").has_value());
}

TEST(HalfToneViewTest, DepthRangeHoldsTheSceneAndTheCentre) {
    HalfToneTransform t;
    t.SizeX = t.SizeY = t.SizeZ = 100;
    EXPECT_NEAR(DepthRange(SceneBox{}, t), std::sqrt(3.0) * 100, kFloatTol);
    // A box away from the centre: every corner still lies inside the depth range.
    const SceneBox far{5, 6, 5, 6, 5, 6};
    const double d = DepthRange(far, t);
    EXPECT_GE(d, std::sqrt(3.0) * 600);
    for (int i = 0; i < 8; ++i) {
        const geo::Vec3 corner{i & 1 ? 6.0 : 5.0, i & 2 ? 6.0 : 5.0, i & 4 ? 6.0 : 5.0};
        EXPECT_LE(std::abs(ProjectHalfTone(t, far, 400, 400, corner).depth), 1.0);
    }
    // A single point at the centre still gets a usable range.
    EXPECT_GT(DepthRange(SceneBox{0, 0, 0, 0, 0, 0}, t), 0);
}

// Lines are one picture pixel wide on a screen of any pixels, and the faces step back far enough
// that a line lying on one keeps its whole width: the face's depth, rising by the slope per
// pixel along an axis and up to sqrt 2 times that across a slanted line, must stay behind the
// line's middle over half its width.
TEST(HalfToneViewTest, LinesScaleWithThePixelsAndStayInFrontOfTheirFaces) {
    struct Row {
        double ratio;
        float width;
    };
    for (const Row r : {Row{1, 1}, Row{2, 2}, Row{1.5, 1.5}, Row{3, 3}, Row{0, 1}, Row{-2, 1},
                        Row{std::nan(""), 1}}) {
        SCOPED_TRACE(r.ratio);
        const HalfToneLines l = HalfToneLinesFor(r.ratio);
        EXPECT_FLOAT_EQ(l.width, r.width);
        EXPECT_GT(l.offsetFactor, std::sqrt(2.0) * l.width / 2);
        EXPECT_GT(l.offsetUnits, 0);
    }
}

// ---- lists --------------------------------------------------------------------------------------

TEST_F(HalfToneTest, NoVisibleObjectGivesTheUnitCube) {
    const int slot = AddCube(env, 3, 3, 3, 2, 9);
    scene.object(slot).visible = 0;
    const HalfToneScene ht = BuildHalfToneScene(env, engine);
    EXPECT_FLOAT_EQ(ht.box.minX, 0);
    EXPECT_FLOAT_EQ(ht.box.maxX, 1);
    EXPECT_FLOAT_EQ(ht.box.minZ, 0);
    EXPECT_FLOAT_EQ(ht.box.maxZ, 1);
    EXPECT_EQ(listOf(ht, slot), nullptr);
    EXPECT_EQ(ht.count, scene.objectCount());
}

TEST_F(HalfToneTest, PolyhedronFacesBecomeTrianglesWithTheirPlanes) {
    const int slot = AddCube(env, 1, 2, 3, 2, 9);
    ASSERT_EQ(scene.object(slot).faceCount, 12);
    const HalfToneScene ht = BuildHalfToneScene(env, engine);
    EXPECT_FLOAT_EQ(ht.box.minX, 1);
    EXPECT_FLOAT_EQ(ht.box.maxZ, 5);
    EXPECT_EQ(ht.background, settings.colorRgb(core::kColorBackground));
    const HalfToneList* list = listOf(ht, slot);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->material.diffuse, MaterialForColor(core::kPalette[9]).diffuse);
    ASSERT_EQ(list->blocks.size(), 1u);
    const HtBlock& b = list->blocks[0];
    EXPECT_EQ(b.primitive, HtPrimitive::Triangles);
    ASSERT_EQ(b.vertices.size(), 36u);
    ASSERT_EQ(b.normals.size(), 12u);
    for (int f = 0; f < 12; ++f) {
        const core::Face& face = scene.object(slot).face(f + 1);
        const geo::Vec3 stored{face.a, face.b, face.c};
        const geo::Vec3& n = b.normals[std::size_t(f)];
        // The stored plane, turned outward where it points in.
        const double side = n == stored ? 1 : -1;
        EXPECT_EQ(n, stored * side);
        // Each vertex lies in the plane of its normal.
        for (int k = 0; k < 3; ++k) {
            const geo::Vec3& v = b.vertices[std::size_t(3 * f + k)];
            EXPECT_NEAR(geo::dot(n, v) + face.d * side, 0, kFloatTol);
        }
    }
}

// ---- outward normals ---------------------------------------------------------------------------

class RegularSolidFaces : public HalfToneTest,
                          public ::testing::WithParamInterface<test::RegularSolid> {};

// The lights are one-sided, so a normal must look out of the solid for its face to be lit by its
// angle to the light; the record keeps the normals it was formed with.
TEST_P(RegularSolidFaces, EveryNormalLooksOutOfTheSolid) {
    const int slot = test::AddSolid(env, GetParam().vertices, 7);
    const core::SceneObject& o = scene.object(slot);
    ASSERT_EQ(o.faceCount, GetParam().faces);
    std::vector<float> stored;
    for (int f = 1; f <= o.faceCount; ++f)
        stored.push_back(o.face(f).a);
    const HalfToneScene ht = BuildHalfToneScene(env, engine);
    const HtBlock& b = listOf(ht, slot)->blocks[0];
    for (int f = 0; f < o.faceCount; ++f) {
        // Centred on the origin: a face's plane lies on the side its outward normal points to.
        EXPECT_GT(geo::dot(b.normals[std::size_t(f)], b.vertices[std::size_t(3 * f)]), 0)
            << "face " << f + 1;
        EXPECT_EQ(o.face(f + 1).a, stored[std::size_t(f)]);
    }
}

INSTANTIATE_TEST_SUITE_P(Solids, RegularSolidFaces, ::testing::ValuesIn(test::RegularSolids()),
                         [](const auto& info) { return std::string(info.param.name); });

// A tetrahedron with a dent pushed up into its base: the mean of the vertices lies in the dent,
// outside the solid, and the faces of the dent look down into it.
TEST_F(HalfToneTest, DentedSolidFacesLookOutAndAnOpenOneKeepsItsNormals) {
    const int slot = core::AppendObject(scene, core::ObjectType::Polyhedron);
    core::SceneObject& o = scene.object(slot);
    o.vertexCount = 5;
    const float h = std::sqrt(3.0f);
    o.vertex(1) = {2, 0, 0};
    o.vertex(2) = {-1, h, 0};
    o.vertex(3) = {-1, -h, 0};
    o.vertex(4) = {0, 0, 3}; // top
    o.vertex(5) = {0, 0, 1}; // dent
    // Corners in mixed orders, so that the stored normals point either way.
    const int faces[6][3] = {{1, 2, 4}, {4, 3, 2}, {3, 1, 4}, {1, 2, 5}, {5, 3, 2}, {3, 1, 5}};
    o.faceCount = 6;
    for (int f = 0; f < 6; ++f) {
        o.face(f + 1).vertex1 = std::int16_t(faces[f][0]);
        o.face(f + 1).vertex2 = std::int16_t(faces[f][1]);
        o.face(f + 1).vertex3 = std::int16_t(faces[f][2]);
    }
    ASSERT_EQ(poly::RecomputeFacePlanes(o), 0);
    const auto normals = [&] {
        return listOf(BuildHalfToneScene(env, engine), slot)->blocks[0].normals;
    };
    std::vector<geo::Vec3> n = normals();
    ASSERT_EQ(n.size(), 6u);
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(n[std::size_t(f)].z > 0, f < 3) << "face " << f + 1;
    // Without one face there is no inside to turn away from.
    o.faceCount = 5;
    n = normals();
    for (int f = 0; f < 5; ++f)
        EXPECT_EQ(n[std::size_t(f)],
                  (geo::Vec3{o.face(f + 1).a, o.face(f + 1).b, o.face(f + 1).c}));
}

TEST_F(HalfToneTest, EachKindGetsItsPrimitive) {
    const int point = core::AppendObject(scene, core::ObjectType::Point);
    const int plane = core::AppendObject(scene, core::ObjectType::Plane);
    const HalfToneScene ht = BuildHalfToneScene(env, engine);
    ASSERT_NE(listOf(ht, core::kAxesSlot), nullptr);
    EXPECT_EQ(listOf(ht, core::kAxesSlot)->blocks[0].primitive, HtPrimitive::Lines);
    EXPECT_EQ(listOf(ht, core::kAxesSlot)->blocks[0].vertices.size(), 9u); // three per face
    EXPECT_EQ(listOf(ht, point)->blocks[0].primitive, HtPrimitive::Points);
    EXPECT_EQ(listOf(ht, plane)->blocks[0].primitive, HtPrimitive::Triangles);
    // The axes follow the setting, whatever their flag holds.
    settings.IsOsi = false;
    EXPECT_EQ(listOf(BuildHalfToneScene(env, engine), core::kAxesSlot), nullptr);
}

TEST_F(HalfToneTest, SurfaceHasTrianglesOnlyInCoveredCells) {
    // The half plane x <= 0 covers grid columns 1..30 of 60 over [-3, 3].
    const int slot = AddSurface(scene, "x+y", "x<=0", -3, 3, -3, 3, 10);
    const HalfToneList list = BuildSurfaceList(env, engine, slot);
    const HtBlock& b = list.blocks.at(0);
    EXPECT_EQ(b.primitive, HtPrimitive::Triangles);
    const double step = 6.0 / (kHalfToneGrid - 1);
    int covered = 0;
    for (int i = 1; i <= kHalfToneGrid; ++i)
        covered += (-3 + (i - 1) * step <= 0) ? 1 : 0;
    const std::size_t cells = std::size_t(covered - 1) * (kHalfToneGrid - 1);
    EXPECT_EQ(b.normals.size(), 2 * cells);
    for (const geo::Vec3& v : b.vertices) {
        EXPECT_LE(v.x, 0);
        EXPECT_NEAR(v.z, v.x + v.y, kFloatTol);
    }
    EXPECT_TRUE(engine.ValidateCharacters); // the check is back on
    ASSERT_FALSE(host.calls.empty());
    EXPECT_NE(host.calls.front().find("Формування зображення"), std::string::npos);
}

TEST_F(HalfToneTest, CellWithThreeCoveredCornersGivesOneTriangle) {
    // y <= x: on the diagonal cells three corners are covered.
    const int slot = AddSurface(scene, "1", "y<=x", -3, 3, -3, 3, 10);
    const HalfToneList list = BuildSurfaceList(env, engine, slot);
    const HtBlock& b = list.blocks.at(0);
    const std::size_t n = kHalfToneGrid - 1;
    EXPECT_EQ(b.normals.size(), 2 * (n * (n - 1) / 2) + n);
    // The triangle of the diagonal cell at the lower-left corner: (1,1), (2,2), (2,1).
    const double step = 6.0 / n;
    std::set<std::pair<double, double>> corners;
    for (std::size_t t = 0; t < b.normals.size(); ++t) {
        const geo::Vec3& p1 = b.vertices[3 * t];
        if (p1.x == -3 && p1.y == -3)
            for (int k = 0; k < 3; ++k)
                corners.insert({b.vertices[3 * t + k].x, b.vertices[3 * t + k].y});
    }
    const std::set<std::pair<double, double>> expected = {
        {-3, -3}, {-3 + step, -3 + step}, {-3 + step, -3}};
    EXPECT_EQ(corners, expected);
}

TEST_F(HalfToneTest, NodesWithoutValueLeaveHoles) {
    const int slot = AddSurface(scene, "sqrt(x)", "x<=10", -3, 3, -3, 3, 10);
    const HalfToneList list = BuildSurfaceList(env, engine, slot);
    ASSERT_FALSE(list.blocks.at(0).vertices.empty());
    for (const geo::Vec3& v : list.blocks[0].vertices) {
        EXPECT_GE(v.x, 0);
        EXPECT_NEAR(v.z, std::sqrt(v.x), kFloatTol);
    }
}

// Surfaces of several parts give the lists of the text path to the bit: regions by systems
// (relations in x after those in y, without a value, ending the test early) and by polygons,
// overlaps, formulas without a value.
TEST_F(HalfToneTest, SurfaceListsAreThoseOfTheTextPath) {
    struct Part {
        const char* formula;
        const char* system; // nullptr: the triangle (-2, -2), (2.5, -1), (0, 2)
    };
    const std::vector<std::vector<Part>> surfaces = {
        {{"sin(x*y)", "y>0, x<0.5"}, {"x-y", "y<=0, x>-1, ln(x+1)<1"}, {"2", nullptr}},
        {{"sqrt(1-x^2-y^2)", "1/y>0.4, x>0"}, {"1/x", "x<>0"}},
        {{"x^2", "abs(x)<1, abs(y)<1"}, {"-x", "x<2, y<x"}, {"y", "sqrt(x)<1"}},
    };
    for (const auto& parts : surfaces) {
        const int slot = AddSurface(scene, "0", "", -3, 3, -2.5, 2, 10);
        core::SceneObject& o = scene.object(slot);
        o.partCount = static_cast<std::uint8_t>(parts.size());
        for (std::size_t k = 0; k < parts.size(); ++k) {
            core::ObjectPart& part = o.part(static_cast<int>(k) + 1);
            part.text.setRaw(parts[k].formula);
            part.domainKind = parts[k].system ? 1 : 0;
            if (parts[k].system) {
                part.area.domainText.setRaw(parts[k].system);
                continue;
            }
            part.area.polygon.pointCount = 3;
            part.area.polygon.points[0] = {-2, -2};
            part.area.polygon.points[1] = {2.5f, -1};
            part.area.polygon.points[2] = {0, 2};
        }
        const HalfToneList fast = BuildSurfaceList(env, engine, slot);
        HalfToneList text;
        {
            const expr::ReferenceEvaluationScope reference;
            text = BuildSurfaceList(env, engine, slot);
        }
        const HtBlock &a = fast.blocks.at(0), &b = text.blocks.at(0);
        ASSERT_EQ(a.vertices.size(), b.vertices.size()) << parts[0].formula;
        ASSERT_EQ(a.normals.size(), b.normals.size()) << parts[0].formula;
        EXPECT_FALSE(a.vertices.empty()) << parts[0].formula;
        EXPECT_EQ(std::memcmp(a.vertices.data(), b.vertices.data(),
                              a.vertices.size() * sizeof(geo::Vec3)),
                  0)
            << parts[0].formula;
        EXPECT_EQ(
            std::memcmp(a.normals.data(), b.normals.data(), a.normals.size() * sizeof(geo::Vec3)),
            0)
            << parts[0].formula;
    }
}

// "Припинити" is heard once per column of either pass of a surface; the build ends there, and
// the objects after it get no list. A surface takes 60 + 59 progress steps.
TEST_F(HalfToneTest, StopButtonEndsTheBuildAtTheSurface) {
    const int first = AddSurface(scene, "x*y", "", -1, 1, -1, 1, 10);
    const int second = AddSurface(scene, "x+y", "", -1, 1, -1, 1, 10);
    const int point = core::AppendObject(scene, core::ObjectType::Point);
    const std::size_t cells = 2 * (kHalfToneGrid - 1) * (kHalfToneGrid - 1);
    const struct {
        int stopAfter; // progress steps; -1 never
        int lastSlot;
        bool someTriangles; // in the last list, when stopped
    } rows[] = {
        {-1, point, false},   {5, first, false},
        {61, first, false},                       // before the first column of triangles
        {90, first, true},    {119, first, true}, // before the last column
        {120, second, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stopAfter);
        host = test::FakeHost();
        host.abortAfterSteps = row.stopAfter;
        const HalfToneScene ht = BuildHalfToneScene(env, engine);
        ASSERT_FALSE(ht.lists.empty());
        const HalfToneList& last = ht.lists.back();
        EXPECT_EQ(last.number, row.lastSlot);
        EXPECT_EQ(host.calls.back(), "progress end");
        if (row.stopAfter < 0) {
            EXPECT_FALSE(ht.stopped);
            EXPECT_EQ(listOf(ht, first)->blocks.at(0).normals.size(), cells);
            EXPECT_EQ(listOf(ht, second)->blocks.at(0).normals.size(), cells);
            continue;
        }
        EXPECT_TRUE(ht.stopped);
        EXPECT_TRUE(last.stopped);
        EXPECT_EQ(host.progressSteps, row.stopAfter);
        const std::size_t made = last.blocks.at(0).normals.size();
        EXPECT_EQ(made > 0, row.someTriangles) << made;
        EXPECT_LT(made, cells);
    }
}

TEST_F(HalfToneTest, RevolutionAboutOxIsACylinderOfQuadStrips) {
    const geo::Vec3 origin{1, 2, 3};
    const int slot = AddRevolution(scene, "1", 0, 2, 0, 12, origin);
    const HalfToneList list = BuildRevolutionList(engine, scene.object(slot), slot);
    EXPECT_EQ(list.material.diffuse, MaterialForColor(core::kPalette[12]).diffuse);
    ASSERT_EQ(list.blocks.size(), std::size_t(kRevolutionSectors));
    for (const HtBlock& b : list.blocks) {
        EXPECT_EQ(b.primitive, HtPrimitive::QuadStrip);
        EXPECT_EQ(b.vertices.size(), 2u * kRevolutionProfilePoints);
        EXPECT_EQ(b.normals.size(), std::size_t(kRevolutionProfilePoints));
        for (const geo::Vec3& v : b.vertices) {
            const geo::Vec3 r = v - origin;
            EXPECT_NEAR(r.y * r.y + r.z * r.z, 1, kFloatTol);
            EXPECT_GE(r.x, -kFloatTol);
            EXPECT_LE(r.x, 2 + kFloatTol);
        }
        // The side of a cylinder about Ox faces away from the axis.
        for (const geo::Vec3& n : b.normals) {
            EXPECT_NEAR(n.x, 0, kFloatTol);
            EXPECT_NEAR(geo::dot(n, n), 1, kFloatTol);
        }
    }
}

TEST_F(HalfToneTest, RevolutionAboutOyAndFromAPolyline) {
    const int slot = AddRevolution(scene, "x", 1, 2, 1, 7);
    const HalfToneList cone = BuildRevolutionList(engine, scene.object(slot), slot);
    for (const geo::Vec3& v : cone.blocks.at(0).vertices)
        EXPECT_NEAR(std::hypot(v.x, v.z), v.y, kFloatTol); // radius a at height b = a
    core::SceneObject& o = scene.object(slot);
    o.param0 = 2;
    o.part(3).area.polygon.pointCount = 3;
    o.part(3).area.polygon.points[0] = {0, 1};
    o.part(3).area.polygon.points[1] = {1, 1};
    o.part(3).area.polygon.points[2] = {2, 0.5f};
    const HalfToneList poly = BuildRevolutionList(engine, o, slot);
    EXPECT_EQ(poly.blocks.at(0).vertices.size(), 6u);
    // The last point keeps its neighbour's normal.
    EXPECT_EQ(poly.blocks[0].normals[2], poly.blocks[0].normals[1]);
}

// The lighting is one-sided: the front of a round solid is lit only when its normal there looks
// towards the viewer, away from the solid. Each sample's solids of revolution, in the sample's
// own view.
class SampleRoundSolids : public HalfToneTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SampleRoundSolids, FrontNormalLooksTowardsTheViewer) {
    const std::string file = std::string(VORN_SAMPLES_DIR) + "/" + GetParam() + ".v3d";
    ASSERT_GE(core::ReadSceneFile(env, file, false, false), 0) << file;
    ViewState view(scene.header);
    HalfToneTransform t;
    HalfToneView(view, t);
    const SceneBox box = HalfToneSceneBox(scene);
    const auto depth = [&](geo::Vec3 p) { return ProjectHalfTone(t, box, 400, 300, p).depth; };
    const geo::Vec3 toViewer{depth({0, 0, 0}) - depth({1, 0, 0}),
                             depth({0, 0, 0}) - depth({0, 1, 0}),
                             depth({0, 0, 0}) - depth({0, 0, 1})};
    int solids = 0;
    for (int slot = 2; slot <= scene.objectCount(); ++slot) {
        const core::SceneObject& o = scene.object(slot);
        if (o.type != core::ObjectType::RevolutionSurface) continue;
        ++solids;
        const HalfToneList list = BuildRevolutionList(engine, o, slot);
        // The point nearest the viewer among those with a normal (an apex on the axis has none).
        double nearest = -1e300;
        geo::Vec3 normal;
        for (const HtBlock& b : list.blocks)
            for (std::size_t v = 0; v < b.vertices.size(); ++v) {
                const geo::Vec3& n = b.normals[v / 2];
                if (geo::dot(n, n) < 1e-12) continue;
                if (geo::dot(b.vertices[v], toViewer) > nearest) {
                    nearest = geo::dot(b.vertices[v], toViewer);
                    normal = n;
                }
            }
        EXPECT_GT(geo::dot(normal, toViewer), 0) << core::DisplayName(scene, slot);
    }
    EXPECT_GT(solids, 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRoundSolids, ::testing::Values("revolution"));

// Every point of a ball, a torus and a cone, about either axis and from either end of the
// profile: the normal looks away from the solid.
struct RoundCase {
    const char* name;
    int type; // 0 y = f(x), 1 parametric
    const char* curve;
    const char* second;
    double from, to;
    int axis;
};
void PrintTo(const RoundCase& c, std::ostream* os) {
    *os << c.name;
}
class RoundSolidNormals : public HalfToneTest, public ::testing::WithParamInterface<RoundCase> {};

TEST_P(RoundSolidNormals, LookAwayFromTheSolid) {
    const RoundCase& c = GetParam();
    const int slot = AddRevolution(scene, c.curve, c.from, c.to, c.axis, 9);
    core::SceneObject& o = scene.object(slot);
    o.param0 = c.type;
    o.part(2).area.domainText.setRaw(c.second);
    const HalfToneList list = BuildRevolutionList(engine, o, slot);
    const bool torus = std::string(c.name).starts_with("torus");
    int checked = 0;
    for (const HtBlock& b : list.blocks)
        for (std::size_t v = 0; v < b.vertices.size(); v += 2) {
            const geo::Vec3& p = b.vertices[v];
            const geo::Vec3& n = b.normals[v / 2];
            if (geo::dot(n, n) < 1e-12) continue;
            // Away from the centre (ball, cone's side seen from its axis) or from the torus tube.
            geo::Vec3 inside{0, 0, 0};
            if (torus) {
                // The tube's centre circle: radius 2 about the axis, at 0 along it.
                const geo::Vec3 radial =
                    c.axis == 0 ? geo::Vec3{0, p.y, p.z} : geo::Vec3{p.x, 0, p.z};
                inside = radial * (2 / std::sqrt(geo::dot(radial, radial)));
            } else if (std::string(c.name).starts_with("cone")) {
                inside = c.axis == 0 ? geo::Vec3{p.x, 0, 0} : geo::Vec3{0, p.y, 0};
            }
            EXPECT_GT(geo::dot(n, p - inside), 0) << p.x << "," << p.y << "," << p.z;
            ++checked;
        }
    EXPECT_GT(checked, 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Solids, RoundSolidNormals,
    ::testing::Values(RoundCase{"ballOx", 0, "sqrt(4-x^2)", "", -1.9, 1.9, 0},
                      RoundCase{"ballOxBackwards", 1, "sqrt(4-t^2)", "-t", -1.9, 1.9, 0},
                      RoundCase{"ballOy", 1, "t", "sqrt(4-t^2)", -1.9, 1.9, 1},
                      RoundCase{"ballOyBackwards", 1, "-t", "sqrt(4-t^2)", -1.9, 1.9, 1},
                      RoundCase{"ballBelowTheAxis", 0, "-sqrt(4-x^2)", "", -1.9, 1.9, 0},
                      RoundCase{"torusOx", 1, "2+sin(t)", "cos(t)", 0, 6.283185307179586, 0},
                      RoundCase{"torusOxOtherWay", 1, "2+sin(t)", "-cos(t)", 0, 6.283185307179586,
                                0},
                      RoundCase{"torusOy", 1, "cos(t)", "2+sin(t)", 0, 6.283185307179586, 1},
                      RoundCase{"coneOx", 0, "x", "", 0.1, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorn::pic
