// Undo and redo through the window: steps made on the picture, undone back to the start.
#include "picture_fixture.h"

#include "app/listing_panel.h"
#include "core/scene_file.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QListWidget>

namespace vorn::test {
namespace {

using core::Answer;

class Undo : public PictureTest {
  protected:
    std::vector<std::uint8_t> bytes() const { return core::SerializeScene(window->scene()); }
};

TEST_F(Undo, CreationDragAndSectionAreUndoneToTheStartAndRedone) {
    const int plane = addPlane({-1, -1, 0.5}, {2, -1, 0.5}, {2, 2, 0.5}, "П");
    const int cube = addBox({0, 0, 0}, {1, 1, 1}, "Куб");
    show(4);
    QAction* undo = window->command("Undo");
    QAction* redo = window->command("Redo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "Скасувати");
    // Each key reaches one command only.
    for (const char* key : {"Ctrl+Z", "Ctrl+Y", "Ctrl+Shift+Z"}) {
        int owners = 0;
        for (const QAction* a : window->findChildren<QAction*>())
            owners += a->shortcuts().contains(QKeySequence(key)) ? 1 : 0;
        EXPECT_EQ(owners, 1) << key;
    }
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
    const std::vector<std::uint8_t> start = bytes();
    const QStringList startList = objectList();

    run("MakeCut");
    click(edgePixel(plane, 1, 2));
    dialogs->answers = {Answer::Yes, Answer::Yes}; // keep the contour and the parts
    click(edgePixel(cube, 5, 6));
    ASSERT_EQ(scene().objectCount(), 6);
    EXPECT_EQ(undo->text(), "Скасувати: переріз об'єкта \"Куб\"");

    show(1); // dragging needs a view along an axis
    run("mode1");
    drag(vertexPixel(plane, 1), vertexPixel(plane, 1) + QPoint(25, 10)); // the cube is hidden
    run("mode1");
    EXPECT_EQ(undo->text(), "Скасувати: перетворення об'єкта \"П\"");

    run("ScrPoint");
    click(pixelOf({-2, 1, 0}));
    ASSERT_EQ(scene().objectCount(), 7);
    EXPECT_TRUE(undo->text().startsWith("Скасувати: створення об'єкта \""));
    const std::vector<std::uint8_t> end = bytes();
    EXPECT_TRUE(scene().sceneModified);

    for (int k = 0; k < 3; ++k)
        run("Undo");
    EXPECT_EQ(bytes(), start);
    EXPECT_EQ(objectList(), startList);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(scene().sceneModified);
    EXPECT_EQ(redo->text(), "Повторити: переріз об'єкта \"Куб\"");
    // The picture takes the restored view back.
    EXPECT_EQ(window->picture()->view().turnHorizontal(), scene().header.turnHorizontal);

    for (int k = 0; k < 3; ++k)
        run("Redo");
    EXPECT_EQ(bytes(), end);
    EXPECT_EQ(objectList().size(), 6);
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_TRUE(scene().sceneModified);
}

// Loading a file starts a new history; saving makes the saved scene the unmodified one.
TEST_F(Undo, LoadingStartsANewHistoryAndSavingMarksTheState) {
    WriteScene(path("a.v3d"), {{core::ObjectType::Point, "A"}, {core::ObjectType::Point, "B"}});
    load(path("a.v3d"));
    EXPECT_FALSE(window->command("Undo")->isEnabled());
    window->listing()->objList()->setCurrentRow(0);
    dialogs->answers = {Answer::Yes};
    run("Delete");
    ASSERT_EQ(objectList().size(), 1);
    dialogs->saveNames = {path("b.v3d")};
    run("SaveAs");
    EXPECT_FALSE(scene().sceneModified);
    run("Undo");
    EXPECT_EQ(objectList().size(), 2);
    EXPECT_TRUE(scene().sceneModified);
    run("Redo");
    EXPECT_FALSE(scene().sceneModified);
    load(path("a.v3d"));
    EXPECT_FALSE(window->command("Undo")->isEnabled());
    EXPECT_FALSE(window->command("Redo")->isEnabled());
}

// "Новий" undone gives back the scene's file and its saved state; redone, the new scene again.
TEST_F(Undo, UndoingNewRestoresTheFileAndItsSavedState) {
    WriteScene(path("a.v3d"), {{core::ObjectType::Point, "A"}, {core::ObjectType::Point, "B"}});
    load(path("a.v3d"));
    const QString file = window->currentFileName();
    run("NewFile");
    ASSERT_TRUE(objectList().isEmpty());
    ASSERT_TRUE(window->currentFileName().endsWith("NoName.v3d"));
    run("Undo");
    EXPECT_EQ(objectList().size(), 2);
    EXPECT_EQ(window->currentFileName(), file);
    EXPECT_TRUE(window->windowTitle().contains("a.v3d"));
    EXPECT_FALSE(scene().sceneModified);
    run("SaveFile"); // into its own file, without a dialog
    EXPECT_TRUE(dialogs->saveTitles.isEmpty());
    run("Redo");
    EXPECT_TRUE(objectList().isEmpty());
    EXPECT_TRUE(window->currentFileName().endsWith("NoName.v3d"));
    EXPECT_FALSE(scene().sceneModified);
    run("Undo");
    EXPECT_EQ(window->currentFileName(), file);
    EXPECT_FALSE(scene().sceneModified);
}

} // namespace
} // namespace vorn::test
