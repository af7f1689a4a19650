// Recovery files: the folder, the owner's lock, which files a start offers, bytes kept whole.
#include "recovery/recovery_store.h"

#include "core/scene.h"
#include "core/scene_file.h"
#include "temp_path.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorn::recovery {
namespace {

namespace fs = std::filesystem;

std::string sceneBytes(int userObjects, float zoom = 100.0f) {
    core::Scene scene;
    scene.objectCount() = 1 + userObjects;
    scene.header.zoomX = zoom;
    const std::vector<std::uint8_t> bytes = core::SerializeScene(scene);
    return std::string(bytes.begin(), bytes.end());
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class RecoveryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    const fs::path m_dir = test::tempPath("recovery");
};

TEST(RecoveryDir, ComesFromTheStateFolderOrHome) {
    struct Row {
        const char* state;
        const char* home;
        const char* expected;
    };
    const Row rows[] = {
        {"/var/st", "/home/u", "/var/st/vorn3d"},
        {nullptr, "/home/u", "/home/u/.local/state/vorn3d"},
        {"", "/home/u", "/home/u/.local/state/vorn3d"},
        {"relative/st", "/home/u", "/home/u/.local/state/vorn3d"}, // not absolute: ignored
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(RecoveryDir(r.state, r.home), r.expected)
            << (r.state ? r.state : "(null)") << " " << (r.home ? r.home : "(null)");
}

TEST_F(RecoveryTest, KeepsTheSceneAndNameByteForByteAndRemovesThemOnDiscard) {
    RecoveryStore store(m_dir / "made/here");
    EXPECT_FALSE(store.holds());
    const std::string name = "/home/u/\xC4\xE8\xF1\xEA/scene \xFF.v3d"; // not UTF-8
    const std::string bytes = sceneBytes(3);
    ASSERT_TRUE(store.save(bytes, name));
    ASSERT_TRUE(store.holds());
    EXPECT_EQ(fileBytes(store.scenePath()), bytes);
    EXPECT_NE(store.scenePath().find("vorn3d-" + std::to_string(::getpid()) + "-"),
              std::string::npos);
    EXPECT_EQ(fs::status(m_dir / "made/here").permissions() & fs::perms::all, fs::perms::owner_all);

    const std::string changed = sceneBytes(2);
    ASSERT_TRUE(store.save(changed, name));
    EXPECT_EQ(fileBytes(store.scenePath()), changed);

    store.discard();
    EXPECT_FALSE(store.holds());
    // Only the live instance's lock stays; it goes with the store.
    ASSERT_EQ(fs::directory_iterator(m_dir / "made/here")->path().extension(), ".lock");
}

TEST_F(RecoveryTest, ALiveInstanceKeepsItsFileAndADeadOnesIsTakenOnce) {
    auto owner = std::make_unique<RecoveryStore>(m_dir.string());
    ASSERT_TRUE(owner->save(sceneBytes(4), "/tmp/a.v3d"));
    RecoveryStore second(m_dir.string()), third(m_dir.string());
    EXPECT_TRUE(second.takeOrphans().empty()) << "the owner still runs";

    owner.reset(); // ended without a clean exit: its files stay
    const std::vector<Recovered> found = second.takeOrphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].originalName, "/tmp/a.v3d");
    EXPECT_EQ(found[0].objectCount, 4);
    EXPECT_NEAR(static_cast<double>(found[0].savedAt), static_cast<double>(::time(nullptr)), 5);
    EXPECT_EQ(fileBytes(found[0].scenePath), sceneBytes(4));
    EXPECT_TRUE(third.takeOrphans().empty()) << "taken by the second start";

    second.releaseTaken(found[0]);
    const std::vector<Recovered> again = third.takeOrphans();
    ASSERT_EQ(again.size(), 1u);
    third.removeTaken(again[0]);
    EXPECT_TRUE(files().empty());
}

TEST_F(RecoveryTest, AKilledInstancesFileIsOffered) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RecoveryStore store(m_dir.string());
        const char ok = store.save(sceneBytes(2), "/tmp/k.v3d") ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    RecoveryStore start(m_dir.string());
    EXPECT_TRUE(start.takeOrphans().empty()) << "not while it runs";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::vector<Recovered> found = start.takeOrphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].originalName, "/tmp/k.v3d");
    EXPECT_EQ(fileBytes(found[0].scenePath), sceneBytes(2));
    ::close(ready[0]);
    ::close(ready[1]);
}

// Files left by dead instances: which are offered, and what is cleared away unasked.
TEST_F(RecoveryTest, OffersOnlyCopiesNewerThanTheirSceneAndClearsTheRest) {
    struct Row {
        const char* what;
        bool scene, name, damaged;
        int originalAge; // seconds before the copy; 0: no original file, <0: saved after it
        bool offered;
    };
    const Row rows[] = {
        {"original older", true, true, false, 60, true},
        {"no original file", true, true, false, 0, true},
        {"original saved after the copy", true, true, false, -60, false},
        {"lock only: killed before its first save", false, false, false, 0, false},
        {"damaged scene", true, true, true, 0, false},
        {"scene without its name", true, false, false, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const fs::path original = m_dir / "original.v3d";
        {
            RecoveryStore dead(m_dir.string());
            ASSERT_TRUE(dead.save(sceneBytes(1), r.originalAge ? original.string() : "/no/x.v3d"));
            const fs::path scene = dead.scenePath();
            if (r.damaged) writeBytes(scene, "not a scene");
            if (!r.name) fs::remove(fs::path(scene).replace_extension(".name"));
            if (!r.scene) {
                // Killed before its first save: the lock alone stays.
                fs::remove(scene);
                fs::remove(fs::path(scene).replace_extension(".name"));
                writeBytes(m_dir / "vorn3d-1-0.lock", "");
            }
            if (r.originalAge) {
                writeBytes(original, "x");
                fs::last_write_time(original, fs::last_write_time(scene) -
                                                  std::chrono::seconds(r.originalAge));
            }
        }
        RecoveryStore start(m_dir.string());
        const std::vector<Recovered> found = start.takeOrphans();
        EXPECT_EQ(found.size(), r.offered ? 1u : 0u);
        for (const Recovered& f : found)
            start.removeTaken(f);
        fs::remove(original);
        EXPECT_TRUE(files().empty()) << files().size() << " left";
    }
}

TEST_F(RecoveryTest, OffersTheNewestFirst) {
    for (int n : {1, 2, 3}) {
        RecoveryStore dead(m_dir.string());
        ASSERT_TRUE(dead.save(sceneBytes(n), "/no/" + std::to_string(n)));
        fs::last_write_time(dead.scenePath(),
                            fs::file_time_type::clock::now() - std::chrono::minutes(10 * (n % 3)));
    }
    RecoveryStore start(m_dir.string());
    std::vector<int> counts;
    for (const Recovered& r : start.takeOrphans())
        counts.push_back(r.objectCount);
    EXPECT_EQ(counts, (std::vector<int>{3, 1, 2}));
}

} // namespace
} // namespace vorn::recovery
