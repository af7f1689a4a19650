// Transformations of records, the measurement step table and the surface value report.
#include "entry/measure_steps.h"
#include "entry/transform.h"

#include "env_fixture.h"
#include "fake_host.h"
#include "lang/message_ids.h"
#include "polyhedra/formation.h"
#include "polyhedra/measurements.h"
#include "polyhedra/metrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace vorn::entry {
namespace {

using core::ObjectType;

// Vertices are stored in single precision.
constexpr double kFloatTol = 1e-6;

struct Scene : vorn::test::EnvFixture {
    int point(float x, float y, float z) {
        const int slot = core::AppendObject(scene, ObjectType::Point);
        scene.object(slot).vertex(1) = {x, y, z};
        return slot;
    }
    int cube(float size = 1) {
        const int slot = core::AppendObject(scene, ObjectType::Polyhedron);
        core::SceneObject& o = scene.object(slot);
        o.vertexCount = 8;
        int i = 1;
        for (float z : {0.f, size})
            for (float y : {0.f, size})
                for (float x : {0.f, size})
                    o.vertex(i++) = {x, y, z};
        EXPECT_TRUE(poly::FormConvexFaces(env, slot));
        EXPECT_TRUE(poly::CompleteObject(env, slot));
        return slot;
    }
};

void ExpectAt(const core::Vec3f& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, kFloatTol);
    EXPECT_NEAR(v.y, y, kFloatTol);
    EXPECT_NEAR(v.z, z, kFloatTol);
}

// What the user reads at each step: the prompt names the kind the step takes, and where a
// measurement takes several of one kind, which of them in turn.
TEST(MeasureSteps, EachPromptAsksForTheKindTheStepTakesInOrder) {
    const lang::MessageTable messages; // the built-in Ukrainian texts
    const struct {
        int mode;
        std::vector<std::string> prompts;
    } rows[] = {
        {1, {"виберіть першу точку", "виберіть другу точку", "виберіть третю точку"}},
        {2, {"виберіть пряму (відрізок)", "виберіть площину"}},
        {3, {"виберіть першу площину", "виберіть другу площину"}},
        {4, {"виберіть першу точку", "виберіть другу точку"}},
        {5, {"виберіть точку", "виберіть пряму (відрізок)"}},
        {6, {"виберіть точку", "виберіть площину"}},
        {7, {"виберіть першу пряму (відрізок)", "виберіть другу пряму (відрізок)"}},
        {8, {"виберіть пряму (відрізок)", "виберіть площину"}},
    };
    const std::pair<std::string, int> kindWords[] = {{"точку", 1}, {"пряму", 2}, {"площину", 3}};
    for (const auto& r : rows) {
        const int steps = static_cast<int>(r.prompts.size());
        ASSERT_EQ(static_cast<int>(poly::MeasurementPicks(r.mode).size()), steps) << r.mode;
        for (int s = 0; s < steps; ++s) {
            const int prompt = MeasureStepPrompt(r.mode, s);
            ASSERT_GE(prompt, 1) << r.mode << " step " << s;
            const std::string text = messages.text(lang::msg::kNoPrompt + prompt);
            EXPECT_EQ(text, r.prompts[static_cast<std::size_t>(s)]) << r.mode << " step " << s;
            int kind = 0;
            for (const auto& [word, k] : kindWords)
                if (text.find(word) != std::string::npos) kind = k;
            EXPECT_EQ(MeasureStepKind(r.mode, s), kind) << r.mode << " step " << s;
        }
        EXPECT_EQ(MeasureStepKind(r.mode, steps), 0) << "no step after the last";
        EXPECT_EQ(MeasureStepPrompt(r.mode, steps), 0) << "no prompt after the last step";
    }
    for (const int mode : {0, 9})
        EXPECT_EQ(MeasureStepKind(mode, 0) + MeasureStepPrompt(mode, 0), 0) << mode;
}

TEST(MeasureSteps, APlaneIsFixedByItsFirstThreeVerticesWhenTheySpanOne) {
    const struct {
        ObjectType type;
        std::vector<geo::Vec3> vertices;
        bool taken;
        geo::Plane plane; // through the first three, normalised
    } rows[] = {
        {ObjectType::Plane, {{0, 0, 2}, {1, 0, 2}, {0, 1, 2}}, true, {0, 0, 1, -2}},
        {ObjectType::Plane, {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}}, true, {0, 0, -1, 0}},
        {ObjectType::Plane, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, false, {}},
        {ObjectType::Plane, {{0, 0, 0}, {1, 0, 0}}, false, {}},
        {ObjectType::Polyline, {{0, 0, 2}, {1, 0, 2}, {0, 1, 2}}, false, {}},
    };
    for (const auto& r : rows) {
        Scene s;
        const int slot = core::AppendObject(s.scene, r.type);
        core::SceneObject& o = s.scene.object(slot);
        o.vertexCount = static_cast<std::int16_t>(r.vertices.size());
        for (std::size_t i = 0; i < r.vertices.size(); ++i) {
            const geo::Vec3& v = r.vertices[i];
            o.vertex(static_cast<int>(i) + 1) = {float(v.x), float(v.y), float(v.z)};
        }
        const auto fixed = PlaneVertices(o);
        ASSERT_EQ(fixed.has_value(), r.taken) << r.vertices.size();
        if (!fixed) continue;
        const poly::Pick pick = FixedPick(slot, *fixed);
        EXPECT_EQ(pick.kind, poly::PickKind::Plane);
        EXPECT_EQ(pick.slot, slot);
        const double got[] = {pick.plane.a, pick.plane.b, pick.plane.c, pick.plane.d};
        const double want[] = {r.plane.a, r.plane.b, r.plane.c, r.plane.d};
        for (int k = 0; k < 4; ++k)
            EXPECT_DOUBLE_EQ(got[k], want[k]) << k;
    }
}

TEST(NumericOperations, DeformationScalesAboutThePivotAndSkipsTinyFactors) {
    Scene s;
    const int c = s.cube(2); // pivot (1, 1, 1), volume 8
    OperationValues v;
    v.factors = {2, 1, 0}; // 0 is below the floor: z stays
    ASSERT_TRUE(ApplyObjectOperation(s.env, c, ObjectOperation::Deform, v));
    const core::SceneObject& o = s.scene.object(c);
    for (int i = 1; i <= 8; ++i) {
        const core::Vec3f& w = o.vertex(i);
        EXPECT_TRUE(std::fabs(w.x + 1) < kFloatTol || std::fabs(w.x - 3) < kFloatTol) << w.x;
        EXPECT_TRUE(std::fabs(w.y) < kFloatTol || std::fabs(w.y - 2) < kFloatTol) << w.y;
        EXPECT_TRUE(std::fabs(w.z) < kFloatTol || std::fabs(w.z - 2) < kFloatTol) << w.z;
    }
    // The polyhedron is completed again: twice the volume, planes along the new faces.
    EXPECT_NEAR(o.volume, 16, 1e-5);
    EXPECT_EQ(poly::RecomputeFacePlanes(s.scene.object(c)), 0);
}

TEST(NumericOperations, PagesThatDoNotSuitTheKindShowMessage9AndChangeNothing) {
    const struct {
        ObjectType type;
        ObjectOperation page;
        bool applies;
    } rows[] = {
        {ObjectType::Surface, ObjectOperation::Translate, false},
        {ObjectType::Surface, ObjectOperation::Rotate, false},
        {ObjectType::Surface, ObjectOperation::Deform, false},
        {ObjectType::RevolutionSurface, ObjectOperation::Translate, true},
        {ObjectType::RevolutionSurface, ObjectOperation::Rotate, false},
        {ObjectType::RevolutionSurface, ObjectOperation::Deform, false},
    };
    for (const auto& r : rows) {
        Scene s;
        const int slot = core::AppendObject(s.scene, r.type);
        core::SceneObject& o = s.scene.object(slot);
        o.vertexCount = 1;
        o.vertex(1) = {1, 1, 1};
        OperationValues v;
        v.shift = {1, 1, 1};
        v.degrees = 90;
        v.factors = {2, 2, 2};
        EXPECT_EQ(ApplyObjectOperation(s.env, slot, r.page, v), r.applies);
        if (r.applies) {
            ExpectAt(o.vertex(1), 2, 2, 2);
            EXPECT_TRUE(s.host.boxes.empty());
        } else {
            ExpectAt(o.vertex(1), 1, 1, 1);
            ASSERT_EQ(s.host.boxes.size(), 1u);
            EXPECT_EQ(s.host.boxes[0], s.messages.text(lang::msg::kNotApplicable));
            EXPECT_FALSE(s.scene.sceneModified);
        }
    }
}

TEST(NumericOperations, TranslatedPlaneGetsItsNewFacePlane) {
    Scene s;
    const int slot = core::AppendObject(s.scene, ObjectType::Plane);
    core::SceneObject& o = s.scene.object(slot);
    o.vertexCount = 3;
    o.vertex(1) = {0, 0, 0};
    o.vertex(2) = {1, 0, 0};
    o.vertex(3) = {0, 1, 0};
    o.faceCount = 1;
    o.face(1).vertex1 = 1;
    o.face(1).vertex2 = 2;
    o.face(1).vertex3 = 3;
    OperationValues v;
    v.shift = {0, 0, 5};
    ASSERT_TRUE(ApplyObjectOperation(s.env, slot, ObjectOperation::Translate, v));
    // z = 5: the measurements read this plane.
    EXPECT_NEAR(o.face(1).c * 5 + o.face(1).d, 0, 1e-6);
    EXPECT_NEAR(std::fabs(o.face(1).c), 1, 1e-6);
}

TEST(DragArithmetic, RotationAngleIsTheTurnOfThePointerAboutTheCentre) {
    const geo::Vec3 q(100, 100, 0);
    // A quarter turn of the pointer in picture coordinates (y grows downwards).
    const auto phi = DragRotationAngle({150, 100, 0}, q, {100, 50, 0});
    ASSERT_TRUE(phi.has_value());
    EXPECT_NEAR(std::fabs(*phi), kPi / 2, 1e-12);
    const auto back = DragRotationAngle({100, 50, 0}, q, {150, 100, 0});
    ASSERT_TRUE(back.has_value());
    EXPECT_NEAR(*back, -*phi, 1e-12);
    // The pointer on the centre gives no reference.
    EXPECT_FALSE(DragRotationAngle(q, q, {150, 100, 0}).has_value());
    EXPECT_FALSE(DragRotationAngle({150, 100, 0}, q, q).has_value());
}

TEST(DragArithmetic, ScaleFactorIsTheRatioOfDistancesFromTheCentre) {
    const geo::Vec3 q(10, 10, 0);
    const auto f = DragScaleFactor({13, 14, 0}, q, {16, 18, 0});
    ASSERT_TRUE(f.has_value());
    EXPECT_DOUBLE_EQ(*f, 2);
    EXPECT_FALSE(DragScaleFactor(q, q, {16, 18, 0}).has_value());
}

TEST(DragArithmetic, MovesPerModeAndKind) {
    Scene s;
    const int c = s.cube(2);
    const int p = s.point(1, 2, 3);
    // Translation drops the component along the axis seen end-on (Oz here).
    DragMove move{kDragTranslate, 3, 0, {1, 2, 7}, 0, 1};
    ApplyDragMove(s.scene, p, move);
    ExpectAt(s.scene.object(p).vertex(1), 2, 4, 3);
    EXPECT_DOUBLE_EQ(s.scene.object(p).origin[0], 1);
    // Reshaping moves one vertex; with no vertex (pressed on an edge) nothing moves.
    const core::Vec3f before = s.scene.object(c).vertex(8);
    ApplyDragMove(s.scene, c, {kDragReshape, 3, 0, {1, 1, 1}, 0, 1});
    ExpectAt(s.scene.object(c).vertex(8), before.x, before.y, before.z);
    ApplyDragMove(s.scene, c, {kDragReshape, 3, 8, {1, 1, 1}, 0, 1});
    ExpectAt(s.scene.object(c).vertex(8), 3, 3, 2);
    ExpectAt(s.scene.object(c).vertex(7), 0, 2, 2);
    // Resizing scales every coordinate about the pivot, along the axis seen end-on too.
    Scene t;
    const int d = t.cube(2);
    ApplyDragMove(t.scene, d, {kDragResize, 3, 0, {}, 0, 2});
    ExpectAt(t.scene.object(d).vertex(1), -1, -1, -1);
    ExpectAt(t.scene.object(d).vertex(8), 3, 3, 3);
    // A quarter turn about the pivot's Oz line.
    ApplyDragMove(t.scene, d, {kDragRotate, 3, 0, {}, kPi / 2, 1});
    ExpectAt(t.scene.object(d).vertex(1), 3, -1, -1);
}

TEST(DragArithmetic, SurfacesOfRevolutionMoveButNeitherTurnNorResize) {
    Scene s;
    const int slot = core::AppendObject(s.scene, ObjectType::RevolutionSurface);
    core::SceneObject& o = s.scene.object(slot);
    o.vertexCount = 2;
    o.vertex(1) = {0, 0, 0};
    o.vertex(2) = {2, 0, 0};
    ApplyDragMove(s.scene, slot, {kDragRotate, 3, 0, {}, 1, 1});
    ApplyDragMove(s.scene, slot, {kDragResize, 3, 0, {}, 0, 3});
    ApplyDragMove(s.scene, slot, {4, 3, 2, {1, 0, 0}, 0, 1});
    ExpectAt(o.vertex(2), 2, 0, 0);
    ApplyDragMove(s.scene, slot, {1, 3, 0, {1, 0, 0}, 0, 1});
    ExpectAt(o.vertex(2), 3, 0, 0);
}

TEST(SurfaceValue, DecimalNumbersOnly) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } rows[] = {{"1", true, 1},    {"-2.5", true, -2.5}, {"1e3", true, 1000},
                {".5", true, 0.5}, {" 2 ", true, 2},     {"1,5", false, 0},
                {"", false, 0},    {"pi", false, 0},     {"1+1", false, 0},
                {"1e", false, 0},  {"--1", false, 0},    {"2.5E-1", true, 0.25}};
    for (const auto& r : rows) {
        const auto v = ParseDecimal(r.text);
        EXPECT_EQ(v.has_value(), r.ok) << r.text;
        if (v && r.ok) {
            EXPECT_DOUBLE_EQ(*v, r.value) << r.text;
        }
    }
}

} // namespace
} // namespace vorn::entry
