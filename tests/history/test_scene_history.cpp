// Undo and redo of every kind of scene change, compared byte for byte with the scene file.
#include "history/scene_history.h"

#include "core/scene_file.h"
#include "entry/scene_loader.h"
#include "entry/transform.h"
#include "env_fixture.h"
#include "expr/expression_engine.h"
#include "fake_host.h"
#include "fake_scene_observer.h"
#include "geometry/primitives.h"
#include "polyhedra/cross_section.h"
#include "surfaces/standard_objects.h"
#include "temp_path.h"

#include <gtest/gtest.h>

#include <functional>

namespace vorn::test {
namespace {

using history::SceneHistory;
using history::SceneSnapshot;
using history::StepKind;

// A scene as a loaded file leaves it: a cube, a plane through it, a ball (a mesh) and a surface
// kept unbuilt, none of them changed since.
struct Fixture : vorn::test::EnvFixture {
    FakeSceneObserver window;
    expr::ExpressionEngine engine;
    entry::SceneLoader loader;
    int cube = 0, plane = 0, ball = 0, unbuilt = 0;

    Fixture() {
        scene.setObserver(&window);
        cube = surf::CreateStandardObject(env, engine, surf::CubeMeasures{}, "Куб");
        plane = core::AppendObject(scene, core::ObjectType::Plane);
        core::SceneObject& p = scene.object(plane);
        p.name.setUtf8("П");
        p.vertexCount = 3;
        p.vertex(1) = {0, 0, 1};
        p.vertex(2) = {1, 0, 1};
        p.vertex(3) = {0, 1, 1};
        p.faceCount = 1;
        p.face(1) = {0, 0, 1, -1, 0, 1, 2, 3, {}};
        ball = surf::CreateStandardObject(env, engine, surf::BallMeasures{}, "Куля");
        unbuilt = core::AppendObject(scene, core::ObjectType::Surface);
        scene.keepUnbuilt(unbuilt);
        scene.header.turnHorizontal = 11;
        scene.sceneModified = false;
    }
    std::vector<std::uint8_t> bytes() const { return core::SerializeScene(scene); }
};

struct StepRow {
    const char* name;
    StepKind kind;
    std::function<void(Fixture&)> change;
    bool modifiedAfterRedo = true;
};

const StepRow kSteps[] = {
    {"Create", StepKind::Create,
     [](Fixture& f) {
         surf::CreateStandardObject(f.env, f.engine, surf::PyramidMeasures{}, "Піраміда");
     }},
    {"Edit", StepKind::Edit,
     [](Fixture& f) {
         core::SceneObject& o = f.scene.object(f.cube);
         o.name.setUtf8("Новий куб");
         o.color = 0x0000FF;
         o.vertex(1).x += 0.5f;
     }},
    {"DeleteFirst", StepKind::Delete, [](Fixture& f) { core::DeleteObject(f.env, f.cube, false); }},
    {"DeleteUnbuilt", StepKind::Delete,
     [](Fixture& f) { core::DeleteObject(f.env, f.unbuilt, false); }},
    {"NumericRotation", StepKind::Transform,
     [](Fixture& f) {
         entry::OperationValues v;
         v.axis = 3;
         v.degrees = 30;
         entry::ApplyObjectOperation(f.env, f.cube, entry::ObjectOperation::Rotate, v);
     }},
    {"DragTranslation", StepKind::Transform,
     [](Fixture& f) {
         entry::DragMove move;
         move.mode = entry::kDragTranslate;
         move.axis = 3;
         move.vertex = 2;
         move.shift = {0.25, -0.5, 0};
         entry::ApplyDragMove(f.scene, f.ball, move);
     }},
    {"SectionWithContourAndParts", StepKind::Section,
     [](Fixture& f) {
         f.host.defaultAnswer = core::Answer::Yes;
         const poly::SectionResult r = poly::CrossSection(f.env, f.plane, f.cube);
         ASSERT_NE(r.contourSlot, 0);
         ASSERT_NE(r.partSlots[1], 0);
     }},
    {"AddFromFile", StepKind::AddFromFile,
     [](Fixture& f) {
         const std::string file = tempPath("history_add.v3d").string();
         ASSERT_TRUE(core::WriteSceneFile(f.env, file));
         f.host.selectAdd = true;
         ASSERT_EQ(core::ReadSceneFile(f.env, file, true, true, &f.loader), 0);
     }},
    {"HideObject", StepKind::Visibility, [](Fixture& f) { f.scene.object(f.ball).visible = 0; }},
    // A new scene leaves nothing to save; undoing it brings back the saved objects.
    {"New", StepKind::New, [](Fixture& f) { core::ClearScene(f.scene); }, false},
};

void PrintTo(const StepRow& row, std::ostream* out) {
    *out << row.name;
}

class EveryStep : public ::testing::TestWithParam<StepRow> {};

TEST_P(EveryStep, UndoGivesTheSceneBeforeAndRedoTheSceneAfter) {
    const StepRow& row = GetParam();
    Fixture f;
    SceneHistory history;
    history.markSaved();
    const std::vector<std::uint8_t> before = f.bytes();
    SceneSnapshot step = SceneSnapshot::Capture(f.scene);
    const SceneSnapshot start = step;
    row.change(f);
    ASSERT_TRUE(history.record(std::move(step), f.scene, {row.kind, "x"}));
    const std::vector<std::uint8_t> after = f.bytes();
    ASSERT_NE(after, before);
    EXPECT_EQ(f.scene.sceneModified, row.modifiedAfterRedo);
    const SceneSnapshot changed = SceneSnapshot::Capture(f.scene);

    const int refreshes = f.window.objectListRefreshes;
    ASSERT_TRUE(history.undo(f.scene));
    EXPECT_EQ(f.bytes(), before);
    EXPECT_TRUE(SceneSnapshot::Capture(f.scene).sameScene(start)); // meshes and edge flags too
    // Undoing "Новий" brings back the saved scene as it was saved.
    EXPECT_EQ(f.scene.sceneModified, row.kind != StepKind::New && !row.modifiedAfterRedo);
    EXPECT_EQ(f.window.objectListRefreshes, refreshes + 1);
    EXPECT_EQ(f.window.turnAngles.back(), std::make_pair(11, 49));
    EXPECT_FALSE(history.canUndo());
    ASSERT_NE(history.redoStep(), nullptr);
    EXPECT_EQ(history.redoStep()->kind, row.kind);

    ASSERT_TRUE(history.redo(f.scene));
    EXPECT_EQ(f.bytes(), after);
    EXPECT_TRUE(SceneSnapshot::Capture(f.scene).sameScene(changed));
    EXPECT_EQ(f.scene.sceneModified, row.modifiedAfterRedo);
    EXPECT_FALSE(history.canRedo());
    // Undone once more, the scene is again the one before.
    ASSERT_TRUE(history.undo(f.scene));
    EXPECT_EQ(f.bytes(), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryStep, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.name); });

// Steps toggling the ball's visibility: the scene after each is told by its visible byte.
void toggle(Fixture& f, SceneHistory& history) {
    SceneSnapshot before = SceneSnapshot::Capture(f.scene);
    f.scene.object(f.ball).visible ^= 1;
    ASSERT_TRUE(history.record(std::move(before), f.scene, {StepKind::Visibility, {}}));
}

TEST(SceneHistory, KeepsTheNewestStepsWithinItsBounds) {
    Fixture f;
    const std::size_t one = SceneSnapshot::Capture(f.scene).bytes();
    const struct {
        history::Limits limits;
        std::size_t kept;
    } rows[] = {{{3, std::size_t{1} << 30}, 3}, {{100, 2 * one}, 2}, {{100, one - 1}, 0}};
    for (const auto& r : rows) {
        Fixture g;
        SceneHistory history(r.limits);
        for (int k = 0; k < 5; ++k)
            toggle(g, history);
        EXPECT_EQ(history.undoCount(), r.kept);
        EXPECT_LE(history.bytes(), r.limits.bytes);
        // Each undo is one toggle back; the oldest steps are gone, not the newest.
        while (history.undo(g.scene)) {
        }
        EXPECT_EQ(g.scene.object(g.ball).visible, (5 - r.kept) % 2 == 0 ? 1 : 0);
    }
}

TEST(SceneHistory, ModifiedFlagFollowsTheSavedState) {
    Fixture f;
    SceneHistory history;
    history.markSaved();
    toggle(f, history);
    toggle(f, history);
    history.markSaved(); // saved after two steps
    f.scene.sceneModified = false;
    ASSERT_TRUE(history.undo(f.scene));
    EXPECT_TRUE(f.scene.sceneModified);
    ASSERT_TRUE(history.redo(f.scene));
    EXPECT_FALSE(f.scene.sceneModified);
    // A new step after an undo drops the redo side; the saved state is then out of reach.
    ASSERT_TRUE(history.undo(f.scene));
    toggle(f, history);
    EXPECT_FALSE(history.canRedo());
    EXPECT_TRUE(f.scene.sceneModified);
    history.clear(); // a file loaded in place of the scene
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.atSavedState());
    // A recovered scene is in no file: undoing back to it leaves it modified.
    history.clear(false);
    toggle(f, history);
    ASSERT_TRUE(history.undo(f.scene));
    EXPECT_TRUE(f.scene.sceneModified);
}

TEST(SceneHistory, CommandThatChangesNothingLeavesNoStep) {
    Fixture f;
    SceneHistory history;
    SceneSnapshot before = SceneSnapshot::Capture(f.scene);
    f.host.defaultAnswer = core::Answer::No; // "delete?" answered No
    core::DeleteObject(f.env, f.cube, true);
    f.scene.currentObject = f.ball; // a selection is no change of the scene
    EXPECT_FALSE(history.record(std::move(before), f.scene, {StepKind::Delete, "Куб"}));
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(f.scene.sceneModified);
}

} // namespace
} // namespace vorn::test
