// Scene files: byte layout, round trips, files built by hand, damaged files, selective loads.
#include "fake_host.h"
#include "scene_bytes.h"
#include "temp_path.h"

#include "core/scene_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vorn;
using core::ObjectType;

namespace {

class SceneFileTest : public ::testing::Test {
  protected:
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    test::FakeHost host;
    core::Env env{scene, settings, messages, host};
    fs::path dir;

    void SetUp() override {
        dir = test::tempPath(std::string("file_") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }

    int addPoint(float x, float y, float z, const std::string& name = "") {
        const int slot = core::AppendObject(scene, ObjectType::Point);
        scene.object(slot).vertex(1) = {x, y, z};
        scene.object(slot).name.setUtf8(name);
        return slot;
    }
    int addPolyhedronTetra() {
        const int slot = core::AppendObject(scene, ObjectType::Polyhedron);
        auto& o = scene.object(slot);
        const core::Vec3f v[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        o.vertexCount = 4;
        for (int i = 0; i < 4; ++i)
            o.vertex(i + 1) = v[i];
        const int f[4][3] = {{1, 3, 2}, {1, 2, 4}, {1, 4, 3}, {2, 3, 4}};
        o.faceCount = 4;
        for (int i = 0; i < 4; ++i) {
            o.face(i + 1).vertex1 = static_cast<std::int16_t>(f[i][0]);
            o.face(i + 1).vertex2 = static_cast<std::int16_t>(f[i][1]);
            o.face(i + 1).vertex3 = static_cast<std::int16_t>(f[i][2]);
            o.face(i + 1).area = 0.5f;
        }
        return slot;
    }
    int load(const std::string& file, bool selective = false, bool* cancelled = nullptr) {
        return core::ReadSceneFile(env, file, selective, true, nullptr, cancelled);
    }
};

TEST_F(SceneFileTest, AxesOnlySceneIsTheBareHeader) {
    ASSERT_TRUE(core::WriteSceneFile(env, path("a.v3d")));
    const auto b = test::readBytes(path("a.v3d"));
    ASSERT_EQ(b.size(), 52u);
    EXPECT_EQ(b[0], 0x78);
    EXPECT_EQ(b[3], 0x12);
    EXPECT_EQ(b[4], 23);
    EXPECT_EQ(std::string(b.begin() + 5, b.begin() + 28), "\r\n[ Vorn3d objects. ]\r\n");
    EXPECT_EQ(b[32], 1);
    EXPECT_EQ(b[48], 27);
    EXPECT_EQ(b[49], 49);
    addPoint(1, 2, 3);
    EXPECT_GE(load(path("a.v3d")), 0);
    EXPECT_EQ(scene.objectCount(), 1);
}

TEST_F(SceneFileTest, OnePointIs484BytesWithFieldsInPlace) {
    addPoint(1.5f, -2, 4, "A");
    scene.sceneModified = true;
    ASSERT_TRUE(core::WriteSceneFile(env, path("p.v3d")));
    EXPECT_FALSE(scene.sceneModified);
    const auto b = test::readBytes(path("p.v3d"));
    ASSERT_EQ(b.size(), 484u);
    EXPECT_EQ(b[32], 2); // objectCount
    EXPECT_EQ(b[52], 1); // type Point
    EXPECT_EQ(b[53], 1); // name length
    EXPECT_EQ(b[54], 'A');
    EXPECT_EQ(b[52 + 272], 1); // visible
    EXPECT_EQ(b[52 + 384], 1); // vertexCount
    EXPECT_EQ(b[52 + 386], 1); // faceCount
    EXPECT_EQ(b[52 + 388], 0); // partCount
    float x, y, z;
    std::memcpy(&x, &b[444], 4);
    std::memcpy(&y, &b[448], 4);
    std::memcpy(&z, &b[452], 4);
    EXPECT_EQ(x, 1.5f);
    EXPECT_EQ(y, -2.0f);
    EXPECT_EQ(z, 4.0f);
    // Face record: vertex numbers at 20, 22, 24.
    EXPECT_EQ(b[456 + 20], 1);
    EXPECT_EQ(b[456 + 22], 1);
    EXPECT_EQ(b[456 + 24], 1);
}

TEST_F(SceneFileTest, WriteReadWriteIsByteIdenticalForEveryStoredKind) {
    addPoint(1, 2, 3, "Точка А");
    const int pl = core::AppendObject(scene, ObjectType::Polyline);
    scene.object(pl).param2 = 1;
    core::AppendObject(scene, ObjectType::Plane);
    addPolyhedronTetra();
    scene.header.zoomX = 33;
    scene.header.turnHorizontal = 5;
    ASSERT_TRUE(core::WriteSceneFile(env, path("one.v3d")));
    const auto first = test::readBytes(path("one.v3d"));

    core::Scene other;
    test::FakeHost host2;
    core::Env env2{other, settings, messages, host2};
    ASSERT_GE(core::ReadSceneFile(env2, path("one.v3d"), false, true), 0);
    EXPECT_EQ(other.objectCount(), 5);
    EXPECT_EQ(core::DisplayName(other, 2), "Точка А");
    EXPECT_EQ(host2.report.size(), 4u);
    EXPECT_EQ(host2.report[0], "Завантажено об'єкт \"Точка А\"");
    ASSERT_TRUE(core::WriteSceneFile(env2, path("two.v3d")));
    EXPECT_EQ(test::readBytes(path("two.v3d")), first);
    EXPECT_EQ(host2.status, "Збереження об'єкта \"Многогранник\"...");
}

TEST_F(SceneFileTest, SurfaceBlocksCarryNoMesh) {
    const int s = core::AppendObject(scene, ObjectType::Surface);
    scene.object(s).vertexCount = 600;
    scene.object(s).faceCount = 1100;
    ASSERT_TRUE(core::WriteSceneFile(env, path("s.v3d")));
    EXPECT_EQ(test::readBytes(path("s.v3d")).size(), 52u + 392 + 428);
}

TEST_F(SceneFileTest, ReadsAFileBuiltByHand) {
    test::SceneBytes f(4, 40, 10, 20);
    f.header(1, "\xD2\xEE\xF7\xEA\xE0", 1, 1, 0); // "Точка" in cp1251
    f.vertex(1, 2, 3);
    f.face(1, 1, 1);
    f.header(2, "", 3, 2, 0, 1.0);
    f.vertex(0, 0, 0);
    f.vertex(3, 0, 0);
    f.vertex(3, 4, 0);
    f.face(1, 2, 2);
    f.face(2, 3, 3);
    f.header(5, "", 600, 1100, 1);
    f.textPart("sin(x*y)", "x^2+y^2<pi^2");
    ASSERT_GE(load(f.save(path("hand.v3d"))), 0);
    ASSERT_EQ(scene.objectCount(), 4);
    EXPECT_EQ(core::ListCaption(scene, 2), "1. Точка");
    EXPECT_EQ(core::ListCaption(scene, 3), "2. Ламана");
    EXPECT_EQ(scene.object(3).vertex(3).y, 4.0f);
    EXPECT_EQ(scene.object(4).part(1).text.utf8(), "sin(x*y)");
    EXPECT_EQ(scene.object(4).part(1).area.domainText.utf8(), "x^2+y^2<pi^2");
    EXPECT_EQ(scene.header.turnHorizontal, 10);
    EXPECT_EQ(scene.header.zoomY, 40.0f);
    EXPECT_FALSE(scene.sceneModified);
}

TEST_F(SceneFileTest, ObjectsPastTheLimitAreSkippedSilently) {
    test::SceneBytes f(26);
    for (int k = 0; k < 25; ++k) {
        f.header(1, "", 1, 1, 0);
        f.vertex(static_cast<float>(k), 0, 0);
        f.face(1, 1, 1);
    }
    ASSERT_GE(load(f.save(path("many.v3d"))), 0);
    EXPECT_EQ(scene.objectCount(), 20);
    EXPECT_EQ(scene.object(20).vertex(1).x, 18.0f);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(host.report.size(), 19u);
}

// Every damaged form is rejected like a non-scene file, before anything changes.
struct DamageRow {
    const char* what;
    int objectCount, vertices, faces, parts;
    int faceVertex;
    std::size_t cutBytes;
};

class DamagedFileTest : public SceneFileTest, public ::testing::WithParamInterface<DamageRow> {};

TEST_P(DamagedFileTest, RejectedWithMessage87AndSceneUntouched) {
    const DamageRow& r = GetParam();
    addPoint(7, 7, 7, "keep");
    scene.sceneModified = true;
    scene.header.turnHorizontal = 3;
    test::SceneBytes f(r.objectCount, 10, 40, 40);
    f.header(1, "", r.vertices, r.faces, r.parts);
    for (int i = 0; i < std::max(0, std::min(r.vertices, 1001)); ++i)
        f.vertex(0, 0, 0);
    for (int i = 0; i < std::max(0, std::min(r.faces, 2001)); ++i)
        f.face(r.faceVertex, 1, 1);
    for (int i = 0; i < std::min(r.parts, 21); ++i)
        f.textPart("x", "x>0");
    f.bytes.resize(f.bytes.size() - r.cutBytes);
    const std::string file = f.save(path("bad.v3d"));
    EXPECT_EQ(load(file), core::kNotSceneFile) << r.what;
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], "Файл " + file + " не містить об'ктів VORN-3D.");
    EXPECT_EQ(scene.objectCount(), 2);
    EXPECT_EQ(scene.object(2).vertex(1).x, 7.0f);
    EXPECT_EQ(core::DisplayName(scene, 2), "keep");
    EXPECT_TRUE(scene.sceneModified);
    EXPECT_EQ(scene.header.turnHorizontal, 3);
    EXPECT_TRUE(host.report.empty());
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedFileTest,
                         ::testing::Values(DamageRow{"too many parts", 2, 1, 1, 21, 1, 0},
                                           DamageRow{"too many vertices", 2, 1001, 1, 0, 1, 0},
                                           DamageRow{"too many faces", 2, 1, 2001, 0, 1, 0},
                                           DamageRow{"negative vertices", 2, -1, 1, 0, 1, 0},
                                           DamageRow{"negative faces", 2, 1, -5, 0, 1, 0},
                                           DamageRow{"cut inside the faces", 2, 3, 3, 0, 1, 10},
                                           DamageRow{"cut inside the header", 2, 0, 0, 0, 1, 300},
                                           DamageRow{"more blocks announced", 3, 1, 1, 0, 1, 0},
                                           DamageRow{"face names vertex 0", 2, 3, 1, 0, 0, 0},
                                           DamageRow{"face names a vertex past the record", 2, 3, 1,
                                                     0, 1001, 0}));

TEST_F(SceneFileTest, NonSceneFilesGiveMessage87OnlyWhenAsked) {
    addPoint(1, 1, 1);
    { std::ofstream(path("text.v3d")) << "this is not a scene at all, just some words here\n"; }
    { std::ofstream(path("empty.v3d")); }
    EXPECT_EQ(load(path("text.v3d")), core::kNotSceneFile);
    EXPECT_EQ(load(path("empty.v3d")), core::kNotSceneFile);
    EXPECT_EQ(load(path("missing.v3d")), core::kNotSceneFile);
    EXPECT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(core::ReadSceneFile(env, path("text.v3d"), false, false), core::kNotSceneFile);
    EXPECT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(scene.objectCount(), 2);
}

TEST_F(SceneFileTest, SelectiveLoadAddsCheckedObjectsAndKeepsViewOnRequest) {
    test::SceneBytes f(4, 99, 5, 6);
    for (int k = 0; k < 3; ++k) {
        f.header(1, "", 1, 1, 0);
        f.vertex(static_cast<float>(10 + k), 0, 0);
        f.face(1, 1, 1);
    }
    f.save(path("sel.v3d"));
    addPoint(1, 1, 1, "old");
    scene.header.turnHorizontal = 30;
    host.selectChecks = {true, false, true};
    host.selectAdd = true;
    host.selectOsiInfo = false;
    ASSERT_GE(load(path("sel.v3d"), true), 0);
    EXPECT_EQ(host.lastSelection.caption, path("sel.v3d"));
    ASSERT_EQ(host.lastSelection.items.size(), 3u);
    EXPECT_EQ(host.lastSelection.items[0], "1. Точка");
    ASSERT_EQ(scene.objectCount(), 4);
    EXPECT_EQ(core::DisplayName(scene, 2), "old");
    EXPECT_EQ(scene.object(3).vertex(1).x, 10.0f);
    EXPECT_EQ(scene.object(4).vertex(1).x, 12.0f);
    EXPECT_EQ(scene.header.turnHorizontal, 30);

    // Taking the view parameters without adding replaces the objects.
    host.selectAdd = false;
    host.selectOsiInfo = true;
    host.selectChecks = {false, true, false};
    ASSERT_GE(load(path("sel.v3d"), true), 0);
    ASSERT_EQ(scene.objectCount(), 2);
    EXPECT_EQ(scene.object(2).vertex(1).x, 11.0f);
    EXPECT_EQ(scene.header.turnHorizontal, 5);
    EXPECT_EQ(scene.header.zoomX, 99.0f);
}

TEST_F(SceneFileTest, CancelledSelectiveLoadChangesNothing) {
    test::SceneBytes f(2);
    f.header(1, "", 1, 1, 0);
    f.vertex(5, 5, 5);
    f.face(1, 1, 1);
    f.save(path("c.v3d"));
    addPoint(1, 1, 1, "mine");
    scene.sceneModified = true;
    host.selectAccept = false;
    bool cancelled = false;
    EXPECT_GE(load(path("c.v3d"), true, &cancelled), 0);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(scene.sceneModified);
    ASSERT_EQ(scene.objectCount(), 2);
    EXPECT_EQ(core::DisplayName(scene, 2), "mine");
    EXPECT_TRUE(host.report.empty());
}

TEST_F(SceneFileTest, StrayTurnAnglesAreBroughtIntoTheirRange) {
    test::SceneBytes f(1, 10, 200, -3);
    ASSERT_GE(load(f.save(path("angles.v3d"))), 0);
    EXPECT_GE(scene.header.turnHorizontal, 0);
    EXPECT_LT(scene.header.turnHorizontal, 72);
    EXPECT_EQ(scene.header.turnVertical, 69);
}

TEST_F(SceneFileTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    addPoint(1, 2, 3);
    ASSERT_TRUE(core::WriteSceneFile(env, path("keep.v3d")));
    const auto before = test::readBytes(path("keep.v3d"));
    addPoint(4, 5, 6);
    scene.sceneModified = true;
    // A folder that does not exist cannot take the temporary file.
    EXPECT_FALSE(core::WriteSceneFile(env, path("nowhere/keep.v3d")));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], "Не вдалося записати файл " + path("nowhere/keep.v3d") + ".");
    EXPECT_TRUE(scene.sceneModified);
    // A directory in the way of the target: the rename fails, the temporary is cleaned up.
    fs::create_directories(path("dirtarget.v3d/sub"));
    EXPECT_FALSE(core::WriteSceneFile(env, path("dirtarget.v3d")));
    EXPECT_TRUE(scene.sceneModified);
    EXPECT_EQ(test::readBytes(path("keep.v3d")), before);
    int leftovers = 0;
    for (const auto& e : fs::directory_iterator(dir))
        leftovers += e.path().filename().string().rfind(".~", 0) == 0;
    EXPECT_EQ(leftovers, 0);
}

TEST_F(SceneFileTest, SavingReplacesAnExistingFileWhole) {
    for (int k = 0; k < 5; ++k)
        addPoint(static_cast<float>(k), 0, 0);
    ASSERT_TRUE(core::WriteSceneFile(env, path("r.v3d")));
    core::ClearScene(scene);
    addPoint(9, 9, 9);
    ASSERT_TRUE(core::WriteSceneFile(env, path("r.v3d")));
    EXPECT_EQ(test::readBytes(path("r.v3d")).size(), 484u);
}

} // namespace
