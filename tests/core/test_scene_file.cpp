// Scene files: byte layout, round trips, files built by hand, damaged files, selective loads.
#include "env_fixture.h"
#include "fake_host.h"
#include "fake_scene_observer.h"
#include "scene_bytes.h"
#include "temp_path.h"

#include "core/object_report.h"
#include "core/scene_file.h"
#include "lang/message_ids.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <limits>

namespace fs = std::filesystem;
using namespace vorn;
using core::ObjectType;

namespace {

class SceneFileTest : public ::testing::Test, public vorn::test::EnvFixture {
  protected:
    test::FakeSceneObserver window;
    fs::path dir;

    void SetUp() override {
        scene.setObserver(&window);
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
    scene.header.zoomX = scene.header.zoomY = scene.header.zoomZ =
        33; // 0 would load as the default
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
    // Each object is named in the status line while it is written; the line is clear after.
    EXPECT_NE(std::find(host2.calls.begin(), host2.calls.end(),
                        "status: Збереження об'єкта \"Многогранник\"..."),
              host2.calls.end());
    EXPECT_EQ(host2.status, "");
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

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedFileTest,
    ::testing::Values(DamageRow{"too many parts", 2, 1, 1, 21, 1, 0},
                      DamageRow{"too many vertices", 2, 1001, 1, 0, 1, 0},
                      DamageRow{"too many faces", 2, 1, 2001, 0, 1, 0},
                      DamageRow{"negative vertices", 2, -1, 1, 0, 1, 0},
                      DamageRow{"negative faces", 2, 1, -5, 0, 1, 0},
                      DamageRow{"cut inside the faces", 2, 3, 3, 0, 1, 10},
                      DamageRow{"cut inside the header", 2, 0, 0, 0, 1, 300},
                      DamageRow{"more blocks announced", 3, 1, 1, 0, 1, 0},
                      DamageRow{"face names vertex 0", 2, 3, 1, 0, 0, 0},
                      DamageRow{"face names a vertex past the record", 2, 3, 1, 0, 1001, 0}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.what); });

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

// Names hold any byte a file gives them; every display shows control bytes as blanks, and the
// record keeps its bytes. Length byte over 100: the zero padding after the name is shown.
TEST_F(SceneFileTest, ControlBytesInNamesShowAsBlanksAndStayInTheRecord) {
    const struct {
        std::string bytes;
        int lengthByte; // 0: the length of `bytes`
        std::string shown;
    } rows[] = {
        {"Abc", 150, "Abc" + std::string(97, ' ')},
        {"A\r\nB", 0, "A  B"},
        {"\tX\x7F\x1F", 0, " X  "},
        {std::string("\xC0\0\xC1", 3), 0, "А Б"},
        {"\xD2\xEE\xF7\xEA\xE0", 0, "Точка"},
    };
    const int n = static_cast<int>(std::size(rows));
    test::SceneBytes f(n + 1);
    for (const auto& r : rows) {
        const std::size_t at = f.header(1, r.bytes, 1, 1, 0);
        if (r.lengthByte) f.bytes[at + 1] = static_cast<std::uint8_t>(r.lengthByte);
        f.vertex(1, 1, 1);
        f.face(1, 1, 1);
    }
    ASSERT_GE(load(f.save(path("names.v3d")), true), 0);
    ASSERT_EQ(scene.objectCount(), n + 1);
    ASSERT_EQ(host.report.size(), static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const std::string& shown = rows[k].shown;
        const std::string number = std::to_string(k + 1) + ". ";
        EXPECT_EQ(host.lastSelection.items[static_cast<std::size_t>(k)], number + shown);
        EXPECT_EQ(core::ListCaption(scene, k + 2), number + shown);
        EXPECT_EQ(host.report[static_cast<std::size_t>(k)], "Завантажено об'єкт \"" + shown + "\"");
        EXPECT_EQ(core::ShowObjectReport(scene, settings, messages, k + 2)[0], shown + " (Точка)");
    }
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(),
                        "status: Завантаження об'єкта \"" + rows[n - 2].shown + "\"..."),
              host.calls.end());
    EXPECT_EQ(host.status, "");
    ASSERT_TRUE(core::WriteSceneFile(env, path("names2.v3d")));
    EXPECT_EQ(test::readBytes(path("names2.v3d")), f.bytes);
}

// A surface whose mesh cannot be rebuilt stays listed, without a mesh, and goes back to the
// file as it came, also after objects before it were deleted.
TEST_F(SceneFileTest, UnbuiltSurfaceIsKeptAndWrittenBackUnchanged) {
    struct Failing : core::LoadProcessor {
        bool rebuildMesh(core::Env&, int) override { return false; }
    } failing;
    test::SceneBytes f(4);
    f.header(1, "", 1, 1, 0);
    f.vertex(1, 2, 3);
    f.face(1, 1, 1);
    const std::size_t at = f.header(5, "s", 600, 1100, 2, 15);
    f.patchF64(at + 144, -7); // rectangle and measures as some earlier build left them
    f.patchF64(at + 200, 2.5);
    f.patchF64(at + 280, 1.25); // pivot
    f.patchF64(at + 304, -4);   // minX
    f.textPart("sin(x*y)", "x>5");
    f.textPart("1", "y>5");
    f.header(6, "r", 260, 480, 3);
    for (int k = 0; k < 3; ++k)
        f.textPart("sin(x)", "sin(t)");
    const std::vector<std::uint8_t> surfaceBlock(f.bytes.begin() + static_cast<long>(at),
                                                 f.bytes.begin() + static_cast<long>(at) + 392 +
                                                     2 * 428);
    const std::string file = f.save(path("unbuilt.v3d"));
    ASSERT_EQ(core::ReadSceneFile(env, file, false, true, &failing), 0);
    ASSERT_EQ(scene.objectCount(), 4);
    EXPECT_EQ(core::ListCaption(scene, 3), "2. s");
    EXPECT_EQ(core::ListCaption(scene, 4), "3. r");
    for (int slot : {3, 4}) {
        EXPECT_EQ(scene.object(slot).vertexCount, 0);
        EXPECT_EQ(scene.object(slot).faceCount, 0);
        EXPECT_EQ(scene.object(slot).part(1).area.domainText.utf8(), slot == 3 ? "x>5" : "sin(t)");
        // What a redraw and the characteristics pane do to it.
        core::ComputeBoundsAndPivot(scene.object(slot));
        EXPECT_EQ(core::ShowObjectReport(scene, settings, messages, slot)[7],
                  "Кількість вершин (вузлів): 0");
    }
    EXPECT_EQ(host.report.size(), 3u);
    EXPECT_EQ(host.boxes,
              std::vector<std::string>{messages.format(lang::msg::kNotRebuilt, {"\"s\", \"r\""})});
    EXPECT_FALSE(scene.sceneModified);

    ASSERT_TRUE(core::WriteSceneFile(env, path("again.v3d")));
    EXPECT_EQ(test::readBytes(path("again.v3d")), f.bytes);
    core::DeleteObject(env, 2, false);
    ASSERT_TRUE(core::WriteSceneFile(env, path("shifted.v3d")));
    const auto shifted = test::readBytes(path("shifted.v3d"));
    ASSERT_GE(shifted.size(), 52 + surfaceBlock.size());
    EXPECT_TRUE(std::equal(surfaceBlock.begin(), surfaceBlock.end(), shifted.begin() + 52));
    // A new object in a freed slot is an ordinary one again.
    core::DeleteObject(env, 3, false);
    const int fresh = core::AppendObject(scene, ObjectType::Point);
    EXPECT_EQ(scene.unbuiltHeader(fresh), nullptr);
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

// Hostile files. Each row makes a sound file, then (spoil) the same with one thing no scene file
// holds; the sound one loads, the spoiled one is refused with message 87 at once, before the
// scene changes, without reading what lies past the damage.
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::uintmax_t kFourGiB = std::uintmax_t{4} << 30;
constexpr std::size_t kBlock = 52; // where the first block starts

test::SceneBytes onePoint() {
    test::SceneBytes f(2);
    f.header(1, "", 1, 1, 0);
    f.vertex(1, 2, 3);
    f.face(1, 1, 1);
    return f;
}

// A record with every part, vertex and face in use.
void fullRecord(test::SceneBytes& f) {
    f.header(4, "", 1000, 2000, 20);
    for (int k = 0; k < 20; ++k)
        f.textPart("x", "x>0");
    for (int k = 0; k < 1000; ++k)
        f.vertex(static_cast<float>(k), 0, 0);
    for (int k = 0; k < 2000; ++k)
        f.face(1, 2, 3);
}

// A surface over the polygon (k, k), k = 1..n, or a surface of revolution with a generatrix of
// n points; their meshes are not in the file.
test::SceneBytes surface(int type, int n) {
    test::SceneBytes f(2);
    f.header(type, "", 0, 0, type == 5 ? 1 : 3);
    if (type == 5) {
        f.polygonPart(n);
    } else {
        f.polygonPart(n);
        f.textPart("sin(x)", "sin(t)");
        f.polygonPart(2);
    }
    return f;
}

struct HostileRow {
    const char* what;
    void (*make)(const std::string& file, bool spoil);
};

const HostileRow kHostileRows[] = {
    // Sizes.
    {"4 GiB of zeros",
     [](const std::string& file, bool spoil) {
         test::SceneBytes(1).save(file);
         if (!spoil) return;
         fs::resize_file(file, 0);
         fs::resize_file(file, kFourGiB);
     }},
    {"a point, then 4 GiB of zeros",
     [](const std::string& file, bool spoil) {
         onePoint().save(file);
         if (spoil) fs::resize_file(file, kFourGiB);
     }},
    {"one byte after the last block",
     [](const std::string& file, bool spoil) {
         auto f = onePoint();
         if (spoil) f.bytes.push_back(0);
         f.save(file);
     }},
    {"object count 0, then a block",
     [](const std::string& file, bool spoil) {
         auto f = onePoint();
         if (spoil) f.patch32(32, 0);
         f.save(file);
     }},
    {"negative object count, then a block",
     [](const std::string& file, bool spoil) {
         auto f = onePoint();
         if (spoil) f.patch32(32, -3);
         f.save(file);
     }},
    {"21 full records",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(spoil ? 22 : 21);
         for (int k = spoil ? 0 : 1; k < 21; ++k)
             fullRecord(f);
         f.save(file);
     }},
    // Numbers that are not finite.
    {"NaN coordinate",
     [](const std::string& file, bool spoil) {
         auto f = onePoint();
         if (spoil) f.patchF32(kBlock + 392 + 4, kNaN);
         f.save(file);
     }},
    {"NaN zoom",
     [](const std::string& file, bool spoil) {
         auto f = onePoint();
         if (spoil) f.patchF32(40, kNaN);
         f.save(file);
     }},
    {"infinite zoom",
     [](const std::string& file, bool spoil) {
         auto f = onePoint();
         if (spoil) f.patchF32(44, kInf);
         f.save(file);
     }},
    {"NaN way of definition of a polyline",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(2);
         const std::size_t at = f.header(2, "", 2, 1, 0);
         if (spoil) f.patchF64(at + 112, kNaN);
         f.vertex(0, 0, 0);
         f.vertex(1, 1, 1);
         f.face(1, 2, 2);
         f.save(file);
     }},
    {"infinite plane coefficient",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(2);
         const std::size_t at = f.header(3, "", 3, 1, 0);
         if (spoil) f.patchF64(at + 136, kInf);
         f.vertex(0, 0, 0);
         f.vertex(1, 0, 0);
         f.vertex(0, 1, 0);
         f.face(1, 2, 3);
         f.save(file);
     }},
    {"NaN origin of a surface of revolution",
     [](const std::string& file, bool spoil) {
         auto f = surface(6, 10);
         if (spoil) f.patchF64(kBlock + 360, kNaN);
         f.save(file);
     }},
    {"-inf edge of a surface's rectangle",
     [](const std::string& file, bool spoil) {
         auto f = surface(5, 4);
         if (spoil) f.patchF64(kBlock + 152, -kInf);
         f.save(file);
     }},
    {"NaN point of a polygon domain",
     [](const std::string& file, bool spoil) {
         auto f = surface(5, 4);
         if (spoil) f.patchF32(kBlock + 392 + 108 + 8, kNaN);
         f.save(file);
     }},
    // Records that no object of the program has.
    {"face names vertex 9 of 8",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(2);
         f.header(4, "", 8, 1, 0);
         for (int k = 0; k < 8; ++k)
             f.vertex(static_cast<float>(k & 1), static_cast<float>(k >> 1 & 1),
                      static_cast<float>(k >> 2));
         f.face(1, 2, spoil ? 9 : 8);
         f.save(file);
     }},
    {"point face names vertex 2",
     [](const std::string& file, bool spoil) {
         auto f = onePoint();
         if (spoil) f.bytes[kBlock + 392 + 12 + 22] = 2;
         f.save(file);
     }},
    {"polyline segment names vertex 4 of 3",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(2);
         f.header(2, "", 3, 2, 0);
         f.vertex(0, 0, 0);
         f.vertex(1, 0, 0);
         f.vertex(1, 1, 0);
         f.face(1, 2, 2);
         f.face(spoil ? 4 : 3, 1, 1);
         f.save(file);
     }},
    {"point without vertices",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(2);
         f.header(1, "", spoil ? 0 : 1, 0, 0);
         if (!spoil) f.vertex(1, 1, 1);
         f.save(file);
     }},
    {"polyhedron without vertices",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(2);
         f.header(4, "", spoil ? 0 : 1, 0, 0);
         if (!spoil) f.vertex(1, 1, 1);
         f.save(file);
     }},
    {"axes in a user slot",
     [](const std::string& file, bool spoil) {
         test::SceneBytes f(2);
         f.header(spoil ? 0 : 2, "", 7, 3, 0);
         for (int k = 0; k < 7; ++k)
             f.vertex(k % 3 == 1 ? 1.0f : 0.0f, k % 3 == 2 ? 1.0f : 0.0f, k == 3 ? 1.0f : 0.0f);
         for (int k = 1; k <= 3; ++k)
             f.face(1, k + 1, 1);
         f.save(file);
     }},
    {"polygon domain of 41 points",
     [](const std::string& file, bool spoil) { surface(5, spoil ? 41 : 40).save(file); }},
    {"generatrix of 41 points",
     [](const std::string& file, bool spoil) { surface(6, spoil ? 41 : 40).save(file); }},
};

class HostileFileTest : public SceneFileTest, public ::testing::WithParamInterface<HostileRow> {};

TEST_P(HostileFileTest, SoundFileLoadsSpoiledOneIsRefusedAtOnce) {
    const std::string file = path("hostile.v3d");
    GetParam().make(file, false);
    ASSERT_GE(load(file), 0) << GetParam().what;
    ASSERT_TRUE(host.boxes.empty());

    core::ClearScene(scene);
    addPoint(7, 7, 7, "keep");
    scene.sceneModified = true;
    scene.header.turnHorizontal = 3;
    host.report.clear();
    GetParam().make(file, true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(load(file), core::kNotSceneFile);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(host.boxes,
              std::vector<std::string>{"Файл " + file + " не містить об'ктів VORN-3D."});
    EXPECT_EQ(scene.objectCount(), 2);
    EXPECT_EQ(core::DisplayName(scene, 2), "keep");
    EXPECT_TRUE(scene.sceneModified);
    EXPECT_EQ(scene.header.turnHorizontal, 3);
    EXPECT_TRUE(host.report.empty());
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileFileTest, ::testing::ValuesIn(kHostileRows),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

// Scales the reader refuses are not written either: they go out as none (0), which loads.
TEST_F(SceneFileTest, UnusableScalesAreWrittenAsNone) {
    for (const float zoom : {kNaN, kInf, -kInf, -5.0f}) {
        scene.header.zoomX = zoom;
        scene.header.zoomY = 33;
        ASSERT_TRUE(core::WriteSceneFile(env, path("z.v3d")));
        const auto b = test::readBytes(path("z.v3d"));
        float x, y;
        std::memcpy(&x, &b[36], 4);
        std::memcpy(&y, &b[40], 4);
        EXPECT_EQ(x, 0.0f) << zoom;
        EXPECT_EQ(y, 33.0f);
        EXPECT_GE(load(path("z.v3d")), 0) << zoom;
    }
}

// A scale of zero or below is no scale: it loads as the default one, the others as they are.
TEST_F(SceneFileTest, ZeroOrNegativeScalesLoadAsTheDefault) {
    for (const float zoom : {0.0f, -50.0f, -1e-30f}) {
        auto f = onePoint();
        f.patchF32(36, zoom);
        f.patchF32(40, 33);
        f.save(path("z.v3d"));
        ASSERT_GE(load(path("z.v3d")), 0) << zoom;
        EXPECT_EQ(scene.header.zoomX, core::kDefaultZoom) << zoom;
        EXPECT_EQ(scene.header.zoomY, 33.0f);
    }
}

// Whole numbers in float fields of a file can be anything.
TEST(RoundToInt, SaturatesBeyondAnInt) {
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    const struct {
        double value;
        int expected;
    } rows[] = {{2.5, 3},      {-2.5, -3},   {0.49, 0},     {3e9, kMax},
                {1e300, kMax}, {-3e9, kMin}, {-1e300, kMin}};
    for (const auto& r : rows)
        EXPECT_EQ(core::roundToInt(r.value), r.expected) << r.value;
}

// A load shows the window the file's view, unless a selective load leaves the view out, and has
// a half-tone picture rebuilt from the new objects.
TEST_F(SceneFileTest, LoadingTellsTheWindowItsViewAndHalfTone) {
    scene.header.turnHorizontal = 5;
    scene.header.turnVertical = 7;
    addPoint(1, 2, 3);
    ASSERT_TRUE(core::WriteSceneFile(env, path("v.v3d")));
    const struct {
        bool selective, osiInfo, halfTone;
        std::vector<std::pair<int, int>> angles;
        int rebuilds;
    } rows[] = {{false, false, false, {{5, 7}}, 0},
                {false, false, true, {{5, 7}}, 1},
                {true, true, false, {{5, 7}}, 0},
                {true, false, true, {}, 1}};
    for (const auto& r : rows) {
        window = test::FakeSceneObserver{};
        window.halfTone = r.halfTone;
        host.selectOsiInfo = r.osiInfo;
        ASSERT_GE(load(path("v.v3d"), r.selective), 0);
        EXPECT_EQ(window.turnAngles, r.angles) << r.selective << r.osiInfo;
        EXPECT_EQ(window.halfToneRebuilds, r.rebuilds) << r.selective << r.halfTone;
        EXPECT_EQ(window.objectListRefreshes, 1);
    }
}

// Memory running out while loading is the file's error, not the program's end.
TEST_F(SceneFileTest, RunningOutOfMemoryIsReportedNotThrown) {
    struct Starved : core::LoadProcessor {
        bool completeObject(core::Env&, int) override { throw std::bad_alloc(); }
    } starved;
    const std::string file = onePoint().save(path("p.v3d"));
    int result = 0;
    EXPECT_NO_THROW(result = core::ReadSceneFile(env, file, false, true, &starved));
    EXPECT_EQ(result, core::kNotSceneFile);
    EXPECT_EQ(host.boxes,
              std::vector<std::string>{"Файл " + file + " не містить об'ктів VORN-3D."});
    EXPECT_TRUE(scene.sceneModified);
    EXPECT_EQ(window.objectListRefreshes, 1);
}

} // namespace
