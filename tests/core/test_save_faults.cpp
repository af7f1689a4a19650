// Scene files under faults. Saving: the old file survives, the failure is reported, the scene
// stays modified, and a writer killed in the middle never leaves a torn file. Reading: what is
// not a readable scene file is rejected before the scene changes.
#include "fake_host.h"
#include "fault_fs.h"
#include "temp_path.h"

#include "core/scene_file.h"
#include "scene_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace vorn;
using core::ObjectType;

namespace {

using test::Fault;
using test::FaultName;
using test::kFaults;

// A polyhedron with the record's full vertex and face counts: about 68 KB on disk.
void addLargeObject(core::Scene& scene, const std::string& name, float shift) {
    const int slot = core::AppendObject(scene, ObjectType::Polyhedron);
    core::SceneObject& o = scene.object(slot);
    o.name.setUtf8(name);
    o.vertexCount = core::kMaxVertices;
    for (int i = 1; i <= o.vertexCount; ++i)
        o.vertex(i) = {static_cast<float>(i) + shift, static_cast<float>(i % 7), shift};
    o.faceCount = core::kMaxFaces;
    for (int f = 1; f <= o.faceCount; ++f) {
        o.face(f).vertex1 = static_cast<std::int16_t>(1 + f % o.vertexCount);
        o.face(f).vertex2 = static_cast<std::int16_t>(1 + (f + 1) % o.vertexCount);
        o.face(f).vertex3 = static_cast<std::int16_t>(1 + (f + 2) % o.vertexCount);
        o.face(f).area = static_cast<float>(f);
    }
}

std::string bytesOf(const core::Scene& scene) {
    const std::vector<std::uint8_t> b = core::SerializeScene(scene);
    return {b.begin(), b.end()};
}

class SceneSaveFaults : public ::testing::TestWithParam<Fault> {
  protected:
    // The scene record is large; keep it off the stack.
    std::unique_ptr<core::Scene> scene = std::make_unique<core::Scene>();
    core::Settings settings;
    lang::MessageTable messages;
    test::FakeHost host;
    core::Env env{*scene, settings, messages, host};
    fs::path dir;

    void SetUp() override {
        dir = test::tempPath(std::string("scene_faults_") +
                             std::to_string(static_cast<int>(GetParam())));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_P(SceneSaveFaults, OldFileStaysFailureIsReportedSceneStaysModified) {
    const fs::path folder = dir / "work";
    fs::create_directories(folder);
    const fs::path file = folder / "scene.v3d";
    std::optional<test::FaultMount> mount;
    if (GetParam() == Fault::FullFileSystem) {
        mount.emplace(test::FaultMount::SmallTmpfs(folder, 64 * 1024));
        if (!mount->error().empty()) GTEST_SKIP() << "tmpfs mount unavailable: " << mount->error();
    }
    const int point = core::AppendObject(*scene, ObjectType::Point);
    scene->object(point).name.setUtf8("Стара точка");
    ASSERT_TRUE(core::WriteSceneFile(env, file.string()));
    const std::string before = test::ReadFileBytes(file);

    for (int k = 0; k < 5; ++k)
        addLargeObject(*scene, "Великий " + std::to_string(k), static_cast<float>(k));
    scene->sceneModified = true;
    bool saved = true;
    if (GetParam() == Fault::ReadOnlyFolder) {
        mount.emplace(test::FaultMount::ReadOnly(folder));
        if (!mount->error().empty())
            GTEST_SKIP() << "read-only mount unavailable: " << mount->error();
        saved = core::WriteSceneFile(env, file.string());
    } else if (GetParam() == Fault::FileSizeLimit) {
        const test::FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.ok());
        saved = core::WriteSceneFile(env, file.string());
    } else {
        saved = core::WriteSceneFile(env, file.string());
    }

    EXPECT_FALSE(saved);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], "Не вдалося записати файл " + file.string() + ".");
    EXPECT_TRUE(scene->sceneModified);
    EXPECT_EQ(test::ReadFileBytes(file), before);
    EXPECT_EQ(test::TemporaryLeftovers(folder), 0);
    EXPECT_EQ(scene->objectCount(), 7) << "a failed save must not touch the scene";
}

INSTANTIATE_TEST_SUITE_P(Faults, SceneSaveFaults, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return FaultName(info.param); });

TEST(SceneSaveKilled, KilledWriterLeavesTheOldOrTheWholeNewScene) {
    const fs::path dir = test::tempPath("scene_killed");
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / "large.v3d";

    auto scene = std::make_unique<core::Scene>();
    core::Settings settings;
    lang::MessageTable messages;
    test::FakeHost host;
    core::Env env{*scene, settings, messages, host};
    const int small = core::AppendObject(*scene, ObjectType::Point);
    scene->object(small).name.setUtf8("old");
    const std::string old = bytesOf(*scene);
    core::ClearScene(*scene);
    for (int k = 2; k < core::kMaxObjectCount; ++k)
        addLargeObject(*scene, "A", static_cast<float>(k));
    const std::string first = bytesOf(*scene);
    scene->object(2).name.setUtf8("B");
    const std::string second = bytesOf(*scene);
    ASSERT_GT(first.size(), 1000000u);

    // The child saves the two versions in turn until it is killed.
    const test::KillRounds r = test::KillWhileWriting(
        file, {old, first, second},
        [&](long i) {
            scene->object(2).name.setUtf8(i % 2 ? "B" : "A");
            core::WriteSceneFile(env, file.string());
        },
        30, 12345);
    RecordProperty("old", r.oldContent);
    RecordProperty("new", r.newContent);
    RecordProperty("leftovers", r.leftovers);
    EXPECT_EQ(r.torn, 0);
    EXPECT_GT(r.newContent, 0) << "no round got as far as a complete save";
    EXPECT_GT(r.oldContent, 0) << "no round was killed before its first save was complete";
    // A kill between naming the complete file and renaming it can still leave it behind, but
    // no longer every kill in the middle of a write.
    if (test::HasUnnamedFiles(dir)) {
        EXPECT_LE(r.leftovers * 10, 30);
    }
    fs::remove_all(dir);
}

// A name of the longest legal length, and a link whose target is replaced while it stays a link.
TEST(SceneSaveNames, LongestNameAndLinkedFilesAreSaved) {
    const fs::path dir = test::tempPath("scene_names");
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    fs::create_symlink("real/scene.v3d", dir / "link.v3d");
    auto scene = std::make_unique<core::Scene>();
    core::Settings settings;
    lang::MessageTable messages;
    test::FakeHost host;
    core::Env env{*scene, settings, messages, host};
    core::AppendObject(*scene, ObjectType::Point);
    for (const std::string& name : {std::string(251, 'n') + ".v3d", std::string("link.v3d")}) {
        SCOPED_TRACE(name.size());
        for (int round = 0; round < 2; ++round) { // a new file, then over it
            scene->sceneModified = true;
            EXPECT_TRUE(core::WriteSceneFile(env, (dir / name).string()));
            EXPECT_FALSE(scene->sceneModified);
        }
        EXPECT_EQ(test::ReadFileBytes(dir / name), bytesOf(*scene));
    }
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "link.v3d")));
    EXPECT_EQ(test::ReadFileBytes(dir / "real" / "scene.v3d"), bytesOf(*scene));
    EXPECT_TRUE(host.boxes.empty());
    fs::remove_all(dir);
}

TEST(SceneReadFaults, FoldersPipesAndUnknownKindsAreNotSceneFiles) {
    const fs::path dir = test::tempPath("scene_read_faults");
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.v3d");
    ASSERT_EQ(::mkfifo((dir / "pipe.v3d").c_str(), 0600), 0);
    test::SceneBytes unknown(2);
    unknown.header(20, "strange", 1, 1, 0);
    unknown.bytes.resize(unknown.bytes.size() + 12 + 28, 0);
    unknown.bytes[unknown.bytes.size() - 8] = 1; // the face names vertex 1
    unknown.bytes[unknown.bytes.size() - 6] = 1;
    unknown.bytes[unknown.bytes.size() - 4] = 1;
    const std::string strange = unknown.save((dir / "kind20.v3d").string());

    auto scene = std::make_unique<core::Scene>();
    core::Settings settings;
    lang::MessageTable messages;
    test::FakeHost host;
    core::Env env{*scene, settings, messages, host};
    core::AppendObject(*scene, ObjectType::Point);
    // The same bytes with a known kind load, so only the kind is refused.
    test::SceneBytes known = unknown;
    known.bytes[52] = 1;
    ASSERT_GE(core::ReadSceneFile(env, known.save((dir / "kind1.v3d").string()), false, true), 0);
    ASSERT_EQ(scene->objectCount(), 2);
    host.boxes.clear();
    for (const char* name : {"folder.v3d", "pipe.v3d", "kind20.v3d"}) {
        const std::string file = (dir / name).string();
        EXPECT_EQ(core::ReadSceneFile(env, file, false, true), core::kNotSceneFile) << name;
        EXPECT_EQ(scene->objectCount(), 2) << name;
    }
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(host.boxes[2], "Файл " + strange + " не містить об'ктів VORN-3D.");
    fs::remove_all(dir);
}

} // namespace
