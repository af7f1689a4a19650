// Scene table operations: defaults per kind, names, duplicates, point offers, deletion.
#include "env_fixture.h"
#include "fake_host.h"
#include "fake_scene_observer.h"

#include "core/scene.h"
#include "lang/message_ids.h"

#include <gtest/gtest.h>

using namespace vorn;
using core::ObjectType;

namespace {

class SceneTest : public ::testing::Test, public vorn::test::EnvFixture {
  protected:
    test::FakeSceneObserver window;

    SceneTest() { scene.setObserver(&window); }
};

TEST_F(SceneTest, StartsWithHeaderAndAxes) {
    EXPECT_EQ(scene.header.signature, 0x12345678u);
    EXPECT_EQ(scene.header.tag.raw(), "\r\n[ Vorn3d objects. ]\r\n");
    EXPECT_EQ(scene.objectCount(), 1);
    EXPECT_EQ(scene.header.turnHorizontal, 27);
    EXPECT_EQ(scene.header.turnVertical, 49);
    const auto& axes = scene.object(1);
    EXPECT_EQ(axes.type, ObjectType::Axes);
    EXPECT_EQ(axes.vertexCount, 7);
    EXPECT_EQ(axes.faceCount, 3);
    EXPECT_EQ(axes.colorIndex, 2);
    EXPECT_EQ(axes.visible, 1);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(axes.face(k).vertex1, 1);
        EXPECT_EQ(axes.face(k).vertex2, k + 1);
        EXPECT_EQ(axes.face(k).vertex3, 1);
    }
    EXPECT_EQ(axes.vertex(3).y, 1.0f);
    EXPECT_EQ(axes.vertex(7).z, 1.0f);
}

TEST_F(SceneTest, InitObjectDefaultsPerKind) {
    core::InitObject(scene, ObjectType::Point, 2);
    EXPECT_EQ(scene.object(2).vertexCount, 1);
    EXPECT_EQ(scene.object(2).vertex(1).x, 3.0f);
    EXPECT_EQ(scene.object(2).face(1).vertex2, 1);

    core::InitObject(scene, ObjectType::Polyline, 2);
    EXPECT_EQ(scene.object(2).param1, 1.0);
    EXPECT_EQ(scene.object(2).vertexCount, 2);
    EXPECT_EQ(scene.object(2).vertex(2).z, 3.0f);

    core::InitObject(scene, ObjectType::Plane, 2);
    EXPECT_EQ(scene.object(2).vertexCount, 4);
    EXPECT_EQ(scene.object(2).vertex(1).z, -3.0f);
    EXPECT_EQ(scene.object(2).vertex(2).x, -3.0f);

    core::InitObject(scene, ObjectType::Surface, 2);
    const auto& s = scene.object(2);
    EXPECT_EQ(s.partCount, 1);
    EXPECT_EQ(s.part(1).text.utf8(), "sin(x*y)");
    EXPECT_EQ(s.part(1).domainKind, 1);
    EXPECT_EQ(s.part(1).area.domainText.utf8(), "x^2+y^2<pi^2");
    EXPECT_EQ(s.planeB, -3.0);
    EXPECT_EQ(s.surfaceParam, 3.0);
    EXPECT_EQ(s.param2, 15.0);

    core::InitObject(scene, ObjectType::RevolutionSurface, 2);
    const auto& r = scene.object(2);
    EXPECT_EQ(r.partCount, 3);
    EXPECT_EQ(r.part(1).area.polygon.pointCount, 10);
    EXPECT_EQ(r.part(1).area.polygon.points[9].y, 10.0f);
    EXPECT_EQ(r.part(2).text.utf8(), "sin(x)");
    EXPECT_EQ(r.part(2).area.domainText.utf8(), "sin(t)");
    EXPECT_EQ(r.part(3).area.polygon.pointCount, 2);
    EXPECT_EQ(r.part(3).area.polygon.points[1].x, 1.0f);
    EXPECT_EQ(r.planeD, 1.0);
    EXPECT_EQ(r.surfaceParam, 10.0);
}

TEST_F(SceneTest, NamesFallBackToTheTypeName) {
    core::AppendObject(scene, ObjectType::Point);
    core::AppendObject(scene, ObjectType::Plane);
    EXPECT_EQ(core::ListCaption(scene, 2), "1. Точка");
    EXPECT_EQ(core::ListCaption(scene, 3), "2. Площина");
    scene.object(3).name.setUtf8("α-площина Π"); // α is not in cp1251, Π neither
    EXPECT_EQ(core::DisplayName(scene, 3), "?-площина ?");
    // Long names are cut at 100 characters, not 100 bytes.
    std::string longName(60, 'x');
    for (int i = 0; i < 60; ++i)
        longName += "ж";
    scene.object(2).name.setUtf8(longName);
    const std::string name = core::DisplayName(scene, 2);
    EXPECT_EQ(scene.object(2).name.length, 100);
    EXPECT_EQ(name.substr(name.size() - 2), "ж");
}

TEST_F(SceneTest, DuplicateTestIsStrictAt1e7) {
    const int a = core::AppendObject(scene, ObjectType::Point);
    const int b = core::AppendObject(scene, ObjectType::Point);
    scene.object(a).vertex(1) = {1, 2, 3};
    scene.object(b).vertex(1) = {1, 2, 3};
    EXPECT_TRUE(core::IsDuplicateObject(scene, b));
    scene.object(b).vertex(1) = {1, 2, 3.000001f};
    EXPECT_FALSE(core::IsDuplicateObject(scene, b));
    // Same vertices but another kind is no duplicate.
    core::InitObject(scene, ObjectType::Polyhedron, b);
    scene.object(b).vertexCount = 1;
    scene.object(b).vertex(1) = {1, 2, 3};
    EXPECT_FALSE(core::IsDuplicateObject(scene, b));
}

TEST_F(SceneTest, PointOfferCreatesReportsAndDropsDuplicates) {
    host.answers = {core::Answer::Yes, core::Answer::Yes, core::Answer::No};
    core::OfferPointObject(env, "Точка перетину прямих", 1, 2, 3);
    ASSERT_EQ(scene.objectCount(), 2);
    EXPECT_EQ(host.questions[0], "Створити відповідну точку ?");
    EXPECT_EQ(host.report.back(), "Створено об'єкт \"Точка перетину прямих\"");
    EXPECT_TRUE(scene.sceneModified);
    // The same point again is dropped silently.
    core::OfferPointObject(env, "Друга", 1, 2, 3.00000001);
    EXPECT_EQ(scene.objectCount(), 2);
    EXPECT_EQ(host.report.size(), 1u);
    // No keeps the scene as it is.
    core::OfferPointObject(env, "Третя", 5, 5, 5);
    EXPECT_EQ(scene.objectCount(), 2);
    EXPECT_EQ(window.objectListRefreshes, 2);
}

TEST_F(SceneTest, FullSceneOffersNoPoint) {
    while (core::AppendObject(scene, ObjectType::Point) != 0) {
    }
    EXPECT_EQ(scene.objectCount(), 20);
    host.defaultAnswer = core::Answer::Yes;
    core::OfferPointObject(env, "p", 9, 9, 9);
    EXPECT_EQ(scene.objectCount(), 20);
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(SceneTest, DeleteShiftsLaterSlotsWithTheirEdgeRows) {
    for (int k = 0; k < 3; ++k) {
        const int s = core::AppendObject(scene, ObjectType::Point);
        scene.object(s).vertex(1) = {static_cast<float>(k), 0, 0};
        scene.edgeVisibility(s)[0][0] = static_cast<std::uint8_t>(10 + k);
    }
    host.answers = {core::Answer::No, core::Answer::Yes};
    core::DeleteObject(env, 3, true);
    EXPECT_EQ(scene.objectCount(), 4);
    EXPECT_EQ(host.questions[0], "Вилучити об'єкт \"Точка\" ?");
    core::DeleteObject(env, 3, true);
    ASSERT_EQ(scene.objectCount(), 3);
    EXPECT_EQ(host.report.back(), "Вилучено об'єкт \"Точка\"");
    EXPECT_EQ(scene.object(3).vertex(1).x, 2.0f);
    EXPECT_EQ(scene.edgeVisibility(3)[0][0], 12);
    EXPECT_EQ(scene.object(2).vertex(1).x, 0.0f);
    EXPECT_TRUE(scene.sceneModified);
    EXPECT_EQ(window.redraws, 1);
}

// A language file may put the name inside the question with "%s"; the built-in text is followed
// by it.
TEST_F(SceneTest, DeleteQuestionPlacesTheNameWhereTheTextSays) {
    const struct {
        const char* text;
        const char* question;
    } rows[] = {
        {"Вилучити об'єкт \"", "Вилучити об'єкт \"Точка\" ?"},
        {"Delete the object \"%s\"?", "Delete the object \"Точка\"?"},
    };
    core::AppendObject(scene, ObjectType::Point);
    for (const auto& r : rows) {
        messages.setText(lang::msg::kAskDeleteObject, r.text);
        core::DeleteObject(env, 2, true);
        EXPECT_EQ(host.questions.back(), r.question);
    }
    EXPECT_EQ(scene.objectCount(), 2); // answered No
}

TEST_F(SceneTest, DeletingTheLastObjectSwitchesHalfToneOff) {
    core::AppendObject(scene, ObjectType::Point);
    core::AppendObject(scene, ObjectType::Point);
    window.halfTone = true;
    core::DeleteObject(env, 2, false);
    EXPECT_TRUE(window.halfTone);
    core::DeleteObject(env, 2, false);
    EXPECT_FALSE(window.halfTone);
    EXPECT_EQ(scene.objectCount(), 1);
    // The axes slot is never deleted.
    core::DeleteObject(env, 1, false);
    EXPECT_EQ(scene.objectCount(), 1);
}

TEST_F(SceneTest, BoundsAndPivotFollowTheVertices) {
    const int s = core::AppendObject(scene, ObjectType::Polyline);
    auto& o = scene.object(s);
    o.vertexCount = 3;
    o.vertex(1) = {1, 5, -2};
    o.vertex(2) = {-3, 2, 4};
    o.vertex(3) = {2, 8, 1};
    core::ComputeBoundsAndPivot(o);
    EXPECT_EQ(o.minX, -3);
    EXPECT_EQ(o.maxX, 2);
    EXPECT_EQ(o.minY, 2);
    EXPECT_EQ(o.maxY, 8);
    EXPECT_EQ(o.minZ, -2);
    EXPECT_EQ(o.maxZ, 4);
    EXPECT_DOUBLE_EQ(o.pivot[1], 5.0);
    o.vertexCount = 0;
    core::ComputeBoundsAndPivot(o);
    EXPECT_EQ(o.pivot[0], 0.0);
}

} // namespace
