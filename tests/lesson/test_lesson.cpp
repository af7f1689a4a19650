// A lesson driven through the document alone: load, measure, cut, undo, save, read back; and
// the one question before unsaved work is lost.
#include "lesson/lesson.h"

#include "core/scene_file.h"
#include "fake_host.h"
#include "fake_scene_observer.h"
#include "lang/message_ids.h"
#include "polyhedra/cross_section.h"
#include "polyhedra/measurements.h"
#include "temp_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vorn::test {
namespace {

using core::Answer;
using core::ObjectType;
using lesson::Lesson;

const std::string kSample = std::string(VORN_SAMPLES_DIR) + "/cube_section.v3d";

struct LessonFixture : ::testing::Test {
    lang::MessageTable messages;
    FakeHost host;
    FakeSceneObserver window;
    Lesson lesson{messages, host};

    LessonFixture() { lesson.scene().setObserver(&window); }

    void load(const std::string& file) {
        bool cancelled = true;
        ASSERT_GE(lesson.read(file, false, true, &cancelled), 0) << file;
        ASSERT_FALSE(cancelled);
        lesson.opened(file);
    }
    int firstOf(ObjectType type) const {
        for (int slot = 2; slot <= lesson.scene().objectCount(); ++slot)
            if (lesson.scene().object(slot).type == type) return slot;
        return 0;
    }
    std::vector<std::uint8_t> bytes() const { return core::SerializeScene(lesson.scene()); }
};

TEST_F(LessonFixture, AWholeLessonRunsWithoutAWindow) {
    load(kSample);
    const std::vector<std::uint8_t> asLoaded = bytes();
    const int count = lesson.scene().objectCount();
    const int plane = firstOf(ObjectType::Plane);
    const int cube = firstOf(ObjectType::Polyhedron);
    ASSERT_NE(plane, 0);
    ASSERT_NE(cube, 0);
    EXPECT_FALSE(lesson.holdsUnsavedWork());
    EXPECT_EQ(lesson.currentFile(), kSample);

    // The distance between two vertices of the cube is reported and changes nothing.
    const poly::Pick picks[] = {poly::PointPick(lesson.scene(), cube, 1),
                                poly::PointPick(lesson.scene(), cube, 2)};
    const std::size_t before = host.report.size();
    {
        const Lesson::Step step(&lesson, history::StepKind::Edit, cube);
        ASSERT_TRUE(poly::RunMeasurement(
            lesson.env(), static_cast<int>(poly::Measurement::DistancePoints), picks));
    }
    EXPECT_GT(host.report.size(), before);
    EXPECT_FALSE(lesson.history().canUndo()) << "a measurement is no step";

    // The section, keeping its contour and both parts, is one step.
    host.defaultAnswer = Answer::Yes;
    {
        const Lesson::Step step(&lesson, history::StepKind::Section, cube);
        const poly::SectionResult cut = poly::CrossSection(lesson.env(), plane, cube);
        ASSERT_TRUE(cut.computed);
        EXPECT_GT(cut.area, 0);
    }
    EXPECT_GT(lesson.scene().objectCount(), count);
    EXPECT_EQ(lesson.history().undoCount(), 1U);
    EXPECT_TRUE(lesson.holdsUnsavedWork());
    const std::vector<std::uint8_t> afterCut = bytes();

    ASSERT_TRUE(lesson.undo());
    EXPECT_EQ(bytes(), asLoaded);
    EXPECT_FALSE(lesson.scene().sceneModified) << "back to the file's scene";
    ASSERT_TRUE(lesson.redo());
    EXPECT_EQ(bytes(), afterCut);

    // Saved under a new name, which becomes the current and the newest recent file.
    const std::string saved = tempPath("lesson_saved.v3d").string();
    ASSERT_TRUE(lesson.save(saved));
    EXPECT_EQ(lesson.currentFile(), saved);
    ASSERT_FALSE(lesson.recentFiles().empty());
    EXPECT_EQ(lesson.recentFiles().front(), saved);
    EXPECT_FALSE(lesson.holdsUnsavedWork());

    // The file holds the scene as it was, and reads back as the same objects.
    std::ifstream in(saved, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(file, afterCut);
    FakeHost otherHost;
    Lesson reread(messages, otherHost);
    ASSERT_GE(reread.read(saved, false, true), 0);
    ASSERT_EQ(reread.scene().objectCount(), lesson.scene().objectCount());
    for (int slot = 2; slot <= reread.scene().objectCount(); ++slot) {
        EXPECT_EQ(reread.scene().object(slot).type, lesson.scene().object(slot).type);
        EXPECT_EQ(core::DisplayName(reread.scene(), slot), core::DisplayName(lesson.scene(), slot));
    }

    // "Новий" is a step too, and undoing it names the file again.
    {
        const Lesson::Step step(&lesson, history::StepKind::New);
        lesson.clear("NoName.v3d");
    }
    EXPECT_EQ(lesson.scene().objectCount(), 1);
    ASSERT_TRUE(lesson.undo());
    EXPECT_EQ(lesson.currentFile(), saved);
    EXPECT_EQ(bytes(), afterCut);
    std::filesystem::remove(saved);
}

// Load, "Новий", a recent or dropped file, recovery and closing all ask this one question.
TEST_F(LessonFixture, UnsavedWorkIsAskedAboutOnceAndASaveThatFailsKeepsIt) {
    const std::string good = tempPath("lesson_rule.v3d").string();
    const std::string bad = tempPath("no_such_folder/lesson_rule.v3d").string();
    const struct {
        const char* row;
        bool modified;
        Answer answer;
        const std::string* saveTo; // null: the save dialog is cancelled
        bool asked, mayGo, saved;
    } rows[] = {
        {"nothing to lose", false, Answer::Cancel, &good, false, true, false},
        {"cancel", true, Answer::Cancel, &good, true, false, false},
        {"discard", true, Answer::No, &good, true, true, false},
        {"save", true, Answer::Yes, &good, true, true, true},
        {"save dialog cancelled", true, Answer::Yes, nullptr, true, false, false},
        {"save fails", true, Answer::Yes, &bad, true, false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        load(kSample);
        lesson.scene().sceneModified = r.modified;
        std::vector<std::string> questions;
        bool saveAsked = false;
        lesson.setSaveQuestion(
            [&](const std::string& question) {
                questions.push_back(question);
                return r.answer;
            },
            [&] {
                saveAsked = true;
                return r.saveTo && lesson.save(*r.saveTo);
            });
        EXPECT_EQ(lesson.mayDiscardWork(), r.mayGo);
        ASSERT_EQ(questions.size(), r.asked ? 1U : 0U);
        if (r.asked) {
            EXPECT_EQ(questions[0], messages.text(lang::msg::kAskSaveChanges) + '\n' + kSample);
        }
        EXPECT_EQ(saveAsked, r.asked && r.answer == Answer::Yes);
        EXPECT_EQ(lesson.currentFile(), r.saved ? good : kSample);
        EXPECT_EQ(lesson.holdsUnsavedWork(), r.modified && !r.saved);
    }
    std::filesystem::remove(good);
}

TEST_F(LessonFixture, TheRecoveryFileFollowsTheUnsavedWork) {
    const std::filesystem::path dir = tempPath("lesson_recovery");
    std::filesystem::create_directories(dir);
    lesson.enableRecovery(dir.string());
    load(kSample);
    lesson.writeRecovery();
    EXPECT_FALSE(lesson.recoveryStore()->holds()) << "nothing unsaved";
    lesson.scene().sceneModified = true;
    lesson.writeRecovery();
    EXPECT_TRUE(lesson.recoveryStore()->holds());
    const std::string saved = (dir / "saved.v3d").string();
    ASSERT_TRUE(lesson.save(saved));
    EXPECT_FALSE(lesson.recoveryStore()->holds()) << "a save removes it";
    lesson.disableRecovery();
    std::filesystem::remove_all(dir);
}

TEST(RecentFiles, NewestFirstWithoutRepeatsAndAtMostEight) {
    std::vector<std::string> list;
    for (int i = 0; i < 10; ++i)
        list = lesson::WithRecentFile(list, "f" + std::to_string(i % 9));
    list = lesson::WithRecentFile(list, "f5");
    const std::vector<std::string> expected = {"f5", "f0", "f8", "f7", "f6", "f4", "f3", "f2"};
    EXPECT_EQ(list, expected);
}

} // namespace
} // namespace vorn::test
