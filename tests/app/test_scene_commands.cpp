// Scene commands driven through their menu items: load, selective load, save, new, delete, close.
#include "app_fixture.h"

#include "app/listing_panel.h"
#include "core/scene.h"
#include "core/scene_file.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

#include <cstring>

namespace vorn::test {
namespace {

using core::Answer;
using core::ObjectType;

const std::vector<FileObject> kTwo = {{ObjectType::Point, "A"}, {ObjectType::Polyline, "AB"}};

class LoadCommands : public WindowTest {};

TEST_F(LoadCommands, LoadReplacesSceneReportsObjectsAndTakesTheFileName) {
    WriteScene(path("two.v3d"), kTwo, 10, 20);
    load(path("two.v3d"));
    EXPECT_EQ(dialogs->openTitles, QStringList({"Завантаження об'єктів"}));
    EXPECT_EQ(window->scene().objectCount(), 3);
    EXPECT_EQ(objectList(), QStringList({"1. A", "2. AB"}));
    EXPECT_EQ(report(), QStringList({"Завантажено об'єкт \"A\"", "Завантажено об'єкт \"AB\""}));
    EXPECT_EQ(window->windowTitle(), path("two.v3d") + "[*] - VORN-3D");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->picture()->scrollBarHor()->value(), 10);
    EXPECT_EQ(window->picture()->scrollBarVer()->value(), 20);
    EXPECT_FALSE(window->scene().sceneModified);
    // The first object is selected and its characteristics are shown.
    EXPECT_EQ(window->scene().currentObject, 2);
    EXPECT_GT(window->listing()->reportBox()->count(), 0);
}

TEST_F(LoadCommands, NotASceneFileShowsMessage87AndChangesNothing) {
    WriteScene(path("one.v3d"), {{ObjectType::Point, "P"}});
    load(path("one.v3d"));
    QFile text(path("text.v3d"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just some text\n");
    text.close();
    load(path("text.v3d"));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_EQ(dialogs->boxes[0].second,
              QString("Файл %1 не містить об'ктів VORN-3D.").arg(path("text.v3d")));
    EXPECT_EQ(objectList(), QStringList({"1. P"}));
    EXPECT_EQ(window->currentFileName(), path("one.v3d"));
}

TEST_F(LoadCommands, CancelledOpenDialogLoadsNothing) {
    run("LoadFile");
    EXPECT_EQ(dialogs->openTitles.size(), 1u);
    EXPECT_EQ(window->scene().objectCount(), 1);
    EXPECT_EQ(window->currentFileName(), path("NoName.v3d"));
}

// Over unsaved changes F3 asks "Зберегти зміни?" first: Save writes them (to the scene's own
// file, or to the one the save dialog names) and loads, Discard loads, Cancel and a cancelled
// save dialog keep the scene without opening the file dialog.
TEST_F(LoadCommands, LoadOverModifiedSceneAsksToSaveTheChanges) {
    WriteScene(path("one.v3d"), {{ObjectType::Plane, "S"}});
    struct Row {
        const char* what;
        bool named;          // the scene has a file of its own
        Answer answer;       // to the question
        const char* saveAs;  // the save dialog's answer, empty cancels it
        bool loaded;         // one.v3d took the scene's place
        const char* written; // the file the changes went to, if any
    } rows[] = {
        {"cancel", true, Answer::Cancel, "", false, nullptr},
        {"discard", true, Answer::No, "", true, nullptr},
        {"save", true, Answer::Yes, "", true, "two.v3d"},
        {"save as", false, Answer::Yes, "new.v3d", true, "new.v3d"},
        {"cancelled save as", false, Answer::Yes, "", false, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        WriteScene(path("two.v3d"), kTwo);
        QFile::remove(path("new.v3d"));
        dialogs->openNames.clear();
        window->scene().sceneModified = false;
        load(path("two.v3d"));
        if (!r.named) window->setCurrentFile("NoName.v3d");
        window->scene().object(2).name.setUtf8("Changed");
        window->scene().sceneModified = true;
        window->refreshObjectList();
        const QString asked = window->currentFileName();
        dialogs->boxes.clear();
        dialogs->boxButtons.clear();
        dialogs->openTitles.clear();
        dialogs->answers = {r.answer};
        dialogs->saveNames = {path(r.saveAs)};
        if (!*r.saveAs) dialogs->saveNames = {QString()};
        load(path("one.v3d"));

        ASSERT_EQ(dialogs->boxes.size(), 1u);
        EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Confirmation);
        EXPECT_EQ(dialogs->boxes[0].second, "Зберегти зміни?\n" + asked);
        EXPECT_EQ(dialogs->boxButtons[0], app::BoxButtons::SaveDiscardCancel);
        EXPECT_EQ(dialogs->openTitles.size(), r.loaded ? 1 : 0);
        EXPECT_EQ(objectList(),
                  r.loaded ? QStringList({"1. S"}) : QStringList({"1. Changed", "2. AB"}));
        EXPECT_EQ(window->scene().sceneModified, !r.loaded);
        if (r.written) {
            QFile written(path(r.written));
            ASSERT_TRUE(written.open(QIODevice::ReadOnly));
            EXPECT_TRUE(written.readAll().contains("Changed"));
        } else {
            EXPECT_FALSE(QFile::exists(path("new.v3d")));
        }
    }
}

// The caption marks a scene that differs from its file, and undoing back to the saved state
// takes the mark away again.
TEST_F(LoadCommands, TitleMarksUnsavedChanges) {
    WriteScene(path("two.v3d"), kTwo);
    load(path("two.v3d"));
    EXPECT_FALSE(window->isWindowModified());
    window->listing()->objList()->setCurrentRow(1);
    dialogs->answers = {Answer::Yes};
    run("Delete");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->windowTitle(), path("two.v3d") + "[*] - VORN-3D");
    run("Undo");
    EXPECT_FALSE(window->isWindowModified());
    run("Redo");
    EXPECT_TRUE(window->isWindowModified());
    run("SaveFile");
    EXPECT_FALSE(window->isWindowModified());
    run("Undo"); // the saved scene had one object: two differ from it
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(LoadCommands, LoadOverUnmodifiedSceneAsksNothing) {
    WriteScene(path("two.v3d"), kTwo);
    load(path("two.v3d"));
    load(path("two.v3d"));
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(window->scene().objectCount(), 3);
}

TEST_F(LoadCommands, SelectiveLoadListsObjectsAndTakesOnlyTheCheckedOnes) {
    WriteScene(path("three.v3d"),
               {{ObjectType::Point, "A"}, {ObjectType::Point, "B"}, {ObjectType::Plane, ""}}, 5, 6);
    dialogs->openNames = {path("three.v3d")};
    dialogs->selectChecks = {true, false, true};
    run("LoadSel");
    EXPECT_EQ(dialogs->selectItems, (std::vector<std::string>{"1. A", "2. B", "3. Площина"}));
    EXPECT_EQ(objectList(), QStringList({"1. A", "2. Площина"}));
    EXPECT_EQ(window->picture()->scrollBarHor()->value(), 5);
    EXPECT_EQ(window->currentFileName(), path("three.v3d"));
}

TEST_F(LoadCommands, SelectiveAddKeepsObjectsViewAndMarksTheMergedSceneModified) {
    WriteScene(path("mine.v3d"), {{ObjectType::Point, "M"}}, 27, 49);
    WriteScene(path("other.v3d"), kTwo, 3, 4);
    load(path("mine.v3d"));
    dialogs->openNames = {path("other.v3d")};
    dialogs->selectAdd = true;
    dialogs->selectOsiInfo = false;
    run("LoadSel");
    EXPECT_EQ(objectList(), QStringList({"1. M", "2. A", "3. AB"}));
    EXPECT_EQ(window->picture()->scrollBarHor()->value(), 27);
    EXPECT_EQ(window->picture()->scrollBarVer()->value(), 49);
    // The merged scene is in neither file: "Зберегти" must not silently overwrite other.v3d.
    EXPECT_EQ(window->currentFileName(), path("mine.v3d"));
    EXPECT_TRUE(window->scene().sceneModified);
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(LoadCommands, SelectiveReplaceOverModifiedSceneAsksAndCancelKeepsEverything) {
    WriteScene(path("mine.v3d"), {{ObjectType::Point, "M"}});
    WriteScene(path("other.v3d"), kTwo);
    load(path("mine.v3d"));
    window->scene().sceneModified = true;
    dialogs->openNames = {path("other.v3d")};
    dialogs->answers = {Answer::Cancel};
    run("LoadSel");
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].second.startsWith("Зберегти зміни?"));
    EXPECT_EQ(objectList(), QStringList({"1. M"}));
    EXPECT_EQ(window->currentFileName(), path("mine.v3d"));
    EXPECT_TRUE(window->scene().sceneModified);

    // Save, asked once the objects are chosen, writes the scene to its file before the load.
    window->scene().object(2).name.setUtf8("M2");
    dialogs->openNames = {path("other.v3d")};
    dialogs->answers = {Answer::Yes};
    run("LoadSel");
    EXPECT_EQ(objectList(), QStringList({"1. A", "2. AB"}));
    EXPECT_EQ(window->currentFileName(), path("other.v3d"));
    EXPECT_FALSE(window->scene().sceneModified);
    load(path("mine.v3d"));
    EXPECT_EQ(objectList(), QStringList({"1. M2"}));
}

TEST_F(LoadCommands, CancelledSelectionKeepsNameAndModifiedFlag) {
    WriteScene(path("mine.v3d"), {{ObjectType::Point, "M"}});
    WriteScene(path("other.v3d"), kTwo);
    load(path("mine.v3d"));
    window->scene().sceneModified = true;
    dialogs->openNames = {path("other.v3d")};
    dialogs->selectAccept = false;
    run("LoadSel");
    EXPECT_EQ(objectList(), QStringList({"1. M"}));
    EXPECT_EQ(window->currentFileName(), path("mine.v3d"));
    EXPECT_TRUE(window->scene().sceneModified);
}

class SaveCommands : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteScene(path("src.v3d"), kTwo);
        load(path("src.v3d"));
        window->setCurrentFile("NoName.v3d");
        window->scene().sceneModified = true;
    }
    QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(SaveCommands, UnnamedSceneAsksThenLaterSavesWriteWithoutAsking) {
    dialogs->saveNames = {path("out.v3d")};
    run("SaveFile");
    EXPECT_EQ(dialogs->saveTitles, QStringList({"Збереження об'єктів"}));
    const std::vector<std::uint8_t> expected = core::SerializeScene(window->scene());
    EXPECT_EQ(bytes(path("out.v3d")), QByteArray(reinterpret_cast<const char*>(expected.data()),
                                                 static_cast<qsizetype>(expected.size())));
    EXPECT_EQ(window->windowTitle(), path("out.v3d") + "[*] - VORN-3D");
    EXPECT_FALSE(window->scene().sceneModified);
    EXPECT_FALSE(window->isWindowModified());

    window->scene().object(2).name.setUtf8("Changed");
    run("SaveFile");
    EXPECT_EQ(dialogs->saveTitles.size(), 1u);
    EXPECT_TRUE(bytes(path("out.v3d")).contains("Changed"));
}

TEST_F(SaveCommands, SaveAsAlwaysAsksAndCancelWritesNothing) {
    window->setCurrentFile(path("named.v3d"));
    run("SaveAs");
    EXPECT_EQ(dialogs->saveTitles.size(), 1u);
    EXPECT_FALSE(QFile::exists(path("named.v3d")));
    EXPECT_TRUE(window->scene().sceneModified);
    EXPECT_EQ(window->currentFileName(), path("named.v3d"));
}

TEST_F(SaveCommands, FailedWriteReportsAndKeepsNameAndModifiedFlag) {
    dialogs->saveNames = {path("missing-folder/out.v3d")};
    run("SaveFile");
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_TRUE(dialogs->boxes[0].second.contains(path("missing-folder/out.v3d")));
    EXPECT_EQ(window->currentFileName(), path("NoName.v3d"));
    EXPECT_TRUE(window->scene().sceneModified);
}

class CloseQuery : public SaveCommands {};

TEST_F(CloseQuery, AsksWithTheFileNameAndCancelOrNoDecide) {
    dialogs->answers = {Answer::Cancel};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].second, "Зберегти зміни?\n" + path("NoName.v3d"));
    EXPECT_EQ(dialogs->boxButtons[0], app::BoxButtons::SaveDiscardCancel);
    dialogs->answers = {Answer::No};
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs->saveTitles.empty());
}

TEST_F(CloseQuery, YesThenCancelledSaveDialogKeepsTheProgramOpen) {
    dialogs->answers = {Answer::Yes};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs->saveTitles.size(), 1u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->scene().objectCount(), 3);
}

TEST_F(CloseQuery, YesThenFailedSaveKeepsTheProgramOpen) {
    dialogs->answers = {Answer::Yes};
    dialogs->saveNames = {path("missing-folder/out.v3d")};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(CloseQuery, YesWithNamedFileWritesItAndCloses) {
    window->setCurrentFile(path("kept.v3d"));
    dialogs->answers = {Answer::Yes};
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs->saveTitles.empty());
    EXPECT_TRUE(QFile::exists(path("kept.v3d")));
}

TEST_F(CloseQuery, UnmodifiedOrAxesOnlySceneClosesWithoutAsking) {
    window->scene().sceneModified = false;
    EXPECT_TRUE(window->close());
    window->show();
    core::ClearScene(window->scene());
    window->scene().sceneModified = true;
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(CloseQuery, ExitCommandRunsTheQuery) {
    dialogs->answers = {Answer::Cancel};
    run("Exit");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs->boxes.size(), 1u);
}

class NewAndDelete : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteScene(path("two.v3d"), kTwo, 3, 4);
        load(path("two.v3d"));
    }
};

TEST_F(NewAndDelete, NewAsksAndDiscardClearsSceneReportAndName) {
    window->scene().sceneModified = true;
    dialogs->answers = {Answer::Cancel};
    run("NewFile");
    EXPECT_EQ(window->scene().objectCount(), 3);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].second.startsWith("Зберегти зміни?\n"));
    dialogs->answers = {Answer::No};
    run("NewFile");
    EXPECT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_TRUE(dialogs->saveTitles.empty());
    EXPECT_EQ(window->scene().objectCount(), 1);
    EXPECT_TRUE(objectList().isEmpty());
    EXPECT_TRUE(report().isEmpty());
    EXPECT_EQ(window->listing()->reportBox()->count(), 0);
    EXPECT_EQ(window->currentFileName(), path("NoName.v3d"));
    // The view angles stay.
    EXPECT_EQ(window->picture()->scrollBarHor()->value(), 3);
    // With only the axes nothing is asked.
    run("NewFile");
    EXPECT_EQ(dialogs->boxes.size(), 2u);
}

TEST_F(NewAndDelete, DeleteAsksThenRemovesTheSelectedObject) {
    window->listing()->objList()->setCurrentRow(1);
    dialogs->answers = {Answer::Yes};
    run("Delete");
    EXPECT_EQ(dialogs->boxes.back().second, "Вилучити об'єкт \"AB\" ?");
    EXPECT_EQ(objectList(), QStringList({"1. A"}));
    EXPECT_EQ(report().back(), "Вилучено об'єкт \"AB\"");
    // The selection falls back to the last item.
    EXPECT_EQ(window->scene().currentObject, 2);
    EXPECT_TRUE(window->scene().sceneModified);
}

TEST_F(NewAndDelete, DeleteKeyWorksOnlyWhileAnObjectIsSelected) {
    dialogs->defaultAnswer = Answer::Yes;
    QTest::keyRelease(window->listing()->objList(), Qt::Key_Delete);
    EXPECT_EQ(objectList(), QStringList({"1. AB"}));
    QTest::keyRelease(window->listing()->objList(), Qt::Key_Delete);
    EXPECT_TRUE(objectList().isEmpty());
    const std::size_t asked = dialogs->boxes.size();
    QTest::keyRelease(window->listing()->objList(), Qt::Key_Delete);
    EXPECT_EQ(dialogs->boxes.size(), asked);
    // The command itself is disabled with an empty list.
    EXPECT_FALSE(window->command("Delete")->isEnabled());
    window->dispatch(13);
    EXPECT_EQ(dialogs->boxes.back().second,
              "Для виконання операції необхідно вибрати об'єкт у переліку об'єктів.");
}

TEST_F(NewAndDelete, CheckMarksAreTheVisibleFlags) {
    QListWidget* list = window->listing()->objList();
    list->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(window->scene().object(3).visible, 0);
    EXPECT_EQ(window->scene().object(2).visible, 1);
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(window->scene().object(3).visible, 1);
}

TEST_F(NewAndDelete, FullSceneStillLoadsButNothingPastNineteen) {
    // 25 copies of one point block behind a header that counts them.
    core::Scene one;
    core::AppendObject(one, ObjectType::Point);
    one.object(2).name.setUtf8("P");
    std::vector<std::uint8_t> bytes = core::SerializeScene(one);
    const std::vector<std::uint8_t> block(bytes.begin() + 52, bytes.end());
    for (int i = 1; i < 25; ++i)
        bytes.insert(bytes.end(), block.begin(), block.end());
    const std::int32_t count = 26;
    std::memcpy(bytes.data() + 32, &count, sizeof count);
    QFile file(path("many.v3d"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    file.close();
    load(path("many.v3d"));
    EXPECT_EQ(window->scene().objectCount(), core::kMaxObjectCount);
    EXPECT_EQ(objectList().size(), 19);
    EXPECT_EQ(objectList().back(), "19. P");
}

} // namespace
} // namespace vorn::test
