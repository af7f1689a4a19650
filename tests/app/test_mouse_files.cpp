// The wheel and the turning drag on the picture, scene files dropped on the window and the
// "Файл" menu's recent scenes.
#include "picture_fixture.h"

#include "app/app_paths.h"
#include "app/settings_store.h"
#include "lang/ini_file.h"
#include "lang/message_ids.h"
#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"
#include "view/view_state.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>

namespace vorn::test {
namespace {

using core::Answer;
using core::ObjectType;

class PictureMouse : public PictureTest {
  protected:
    void wheel(int delta) {
        QWidget* place = window->picture()->place();
        const QPointF at(place->width() / 2.0, place->height() / 2.0);
        QWheelEvent e(at, place->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(place, &e);
    }
    // Both scroll bars and the view's steps, which must agree.
    std::pair<int, int> turn() const {
        const pic::PicturePanel* p = window->picture();
        EXPECT_EQ(p->scrollBarHor()->value(), p->view().turnHorizontal());
        EXPECT_EQ(p->scrollBarVer()->value(), p->view().turnVertical());
        return {p->view().turnHorizontal(), p->view().turnVertical()};
    }
};

TEST_F(PictureMouse, WheelZoomsInTheKeypadStepsAboutTheCentre) {
    addBox({0, 0, 0}, {1, 1, 1});
    show(4);
    const float start = window->picture()->view().zoomX();
    const pic::Projected centre = pic::ProjectPoint(window->picture()->view(), 0, 0, 0);
    struct Row {
        int delta;
        double factor; // of the scale at the start
    };
    for (const Row r : {Row{120, 1.1}, Row{240, 1.1 * 1.1 * 1.1}, Row{-360, 1}, Row{60, 1},
                        Row{60, 1.1}, Row{-120, 1}}) {
        wheel(r.delta);
        EXPECT_NEAR(window->picture()->view().zoomX(), start * r.factor, start * 1e-5) << r.delta;
    }
    const pic::Projected after = pic::ProjectPoint(window->picture()->view(), 0, 0, 0);
    EXPECT_EQ(after.px, centre.px);
    EXPECT_EQ(after.py, centre.py);
}

TEST_F(PictureMouse, DragOnEmptyPictureTurnsAndTheScrollBarsFollow) {
    addBox({0, 0, 0}, {1, 1, 1});
    show(4);
    const QPoint from = emptyPixel();
    drag(from, from + QPoint(5 * pic::kDragPixelsPerTurnStep, 3 * pic::kDragPixelsPerTurnStep));
    EXPECT_EQ(turn(), std::make_pair(27 - 5, 49 - 3));
    EXPECT_FALSE(window->picture()->turning());
    // A click is no drag, and moving afterwards turns nothing.
    const QPoint empty = emptyPixel();
    click(empty);
    move(empty + QPoint(40, 40));
    EXPECT_EQ(turn(), std::make_pair(22, 46));
}

// A turn keeps the dashes of a scene whose hidden-line pass is fast, as a box's is; after a slow
// pass it draws every line solid while the drag goes on, and the dashes are back when it ends.
TEST_F(PictureMouse, TurningSkipsOnlyASlowHiddenLinePass) {
    using namespace std::chrono_literals;
    addBox({0, 0, 0}, {1, 1, 1});
    show(4);
    window->command("HiddenDashed")->trigger();
    pic::WireFrame& engine = window->picture()->canvas().engine();
    const auto dashes = [this] {
        const pic::DisplayList& l = window->picture()->canvas().lastPass();
        return std::count_if(l.begin(), l.end(), [](const pic::DrawOp& op) {
            return op.role == pic::Role::Edge && op.style == pic::PenStyle::Dash;
        });
    };
    ASSERT_GT(dashes(), 0);
    struct Row {
        std::chrono::nanoseconds lastPass;
        bool dashedWhileTurning;
    };
    int steps = 0;
    for (const Row r : {Row{5us, true}, Row{pic::kDragHiddenPassBudget, false}}) {
        SCOPED_TRACE(r.lastPass.count());
        // The time the last pass took, as it would have been measured.
        engine.setLastHiddenPassTime(r.lastPass);
        const QPoint from = emptyPixel(), to = from + QPoint(3 * pic::kDragPixelsPerTurnStep, 0);
        press(from);
        move(to);
        steps += 3;
        ASSERT_TRUE(window->picture()->turning());
        EXPECT_EQ(turn(), std::make_pair(27 - steps, 49));
        EXPECT_EQ(dashes() > 0, r.dashedWhileTurning);
        release(to);
        EXPECT_FALSE(window->picture()->turning());
        EXPECT_GT(dashes(), 0);
    }
}

TEST_F(PictureMouse, DragDoesNotTurnFromAnObjectInAnAxisViewOrDuringAnOperation) {
    const int pt = addPoint({0.5, 0.5, 0.5});
    addBox({0, 0, 0}, {1, 1, 1});
    const QPoint far(12 * pic::kDragPixelsPerTurnStep, 0);
    show(4);
    drag(vertexPixel(pt, 1), vertexPixel(pt, 1) + far);
    EXPECT_EQ(turn(), std::make_pair(27, 49)) << "from an object";

    run("Distance2P");
    const QPoint empty = emptyPixel();
    drag(empty, empty + far);
    EXPECT_EQ(turn(), std::make_pair(27, 49)) << "measuring";
    // The measurement still takes its clicks.
    click(vertexPixel(pt, 1));
    EXPECT_EQ(interaction().fixedCount(), 1);
    run("Cancel");

    show(1);
    drag(emptyPixel(), emptyPixel() + far);
    EXPECT_EQ(turn(), std::make_pair(0, 36)) << "axis view";
}

// ---- dropped files ----------------------------------------------------------------------

class DroppedFiles : public WindowTest {
  protected:
    // Drags `urls` over the window and drops them; false when the window refused the drag.
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(window->width() / 2, window->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &dropped);
        QApplication::processEvents(); // the files open once the drop has returned
        return true;
    }
    QUrl url(const QString& file) const { return QUrl::fromLocalFile(path(file)); }
    void SetUp() override {
        WindowTest::SetUp();
        WriteScene(path("a.v3d"), {{ObjectType::Point, "A"}});
        WriteScene(path("b.V3D"), {{ObjectType::Point, "B1"}, {ObjectType::Point, "B2"}});
    }
};

TEST_F(DroppedFiles, OneFileLoadsAfterTheQuestionAboutUnsavedObjects) {
    ASSERT_TRUE(drop({url("a.v3d")}));
    EXPECT_TRUE(dialogs->boxes.empty()); // nothing to lose yet
    EXPECT_EQ(objectList(), QStringList({"1. A"}));
    EXPECT_EQ(window->currentFileName(), path("a.v3d"));

    window->scene().sceneModified = true;
    dialogs->answers = {Answer::Cancel};
    ASSERT_TRUE(drop({url("b.V3D")}));
    ASSERT_EQ(dialogs->boxTexts().size(), 1);
    EXPECT_EQ(dialogs->boxTexts()[0], "Зберегти зміни?\n" + path("a.v3d"));
    EXPECT_EQ(dialogs->boxButtons[0], app::BoxButtons::SaveDiscardCancel);
    EXPECT_EQ(objectList(), QStringList({"1. A"}));
    // Save writes the changes to the scene's own file before the dropped one replaces it.
    window->scene().object(2).name.setUtf8("A2");
    dialogs->answers = {Answer::Yes};
    ASSERT_TRUE(drop({url("b.V3D")}));
    EXPECT_TRUE(dialogs->saveTitles.empty());
    EXPECT_EQ(objectList(), QStringList({"1. B1", "2. B2"}));
    load(path("a.v3d"));
    EXPECT_EQ(objectList(), QStringList({"1. A2"}));
    window->scene().sceneModified = true;
    dialogs->answers = {Answer::No};
    ASSERT_TRUE(drop({url("b.V3D")}));
    EXPECT_EQ(objectList(), QStringList({"1. B1", "2. B2"}));
}

TEST_F(DroppedFiles, SeveralFilesAreAddedWhenTheUserAgrees) {
    load(path("a.v3d"));
    dialogs->answers = {Answer::No};
    ASSERT_TRUE(drop({url("a.v3d"), url("b.V3D")}));
    EXPECT_EQ(dialogs->boxTexts(),
              QStringList({"Додати до сцени об'єкти з перетягнутих файлів (2)?"}));
    EXPECT_EQ(objectList(), QStringList({"1. A"}));

    dialogs->answers = {Answer::Yes};
    ASSERT_TRUE(drop({url("a.v3d"), url("b.V3D"), QUrl("remote:/share/c.v3d")}));
    // No selection dialog: every object of every file is added.
    EXPECT_TRUE(dialogs->selectItems.empty());
    EXPECT_EQ(objectList(), QStringList({"1. A", "2. A", "3. B1", "4. B2"}));
    EXPECT_TRUE(window->scene().sceneModified);
    EXPECT_EQ(window->currentFileName(), path("a.v3d"));
}

TEST_F(DroppedFiles, OtherFilesAreRefused) {
    WriteScene(path("scene.txt"), {{ObjectType::Point, "T"}});
    EXPECT_FALSE(drop({url("scene.txt")}));
    EXPECT_FALSE(drop({QUrl("remote:/share/a.v3d")}));
    EXPECT_EQ(objectList(), QStringList());
}

// ---- recent files ------------------------------------------------------------------------

TEST(RecentFiles, NewestFirstEachOnceAtMostEight) {
    struct Row {
        QStringList added; // in order
        QStringList list;
    };
    const QStringList nine = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const Row rows[] = {
        {{"a"}, {"a"}},
        {{"a", "b", "c"}, {"c", "b", "a"}},
        {{"a", "b", "a"}, {"a", "b"}},
        {{"a", "b", "c", "b"}, {"b", "c", "a"}},
        {{"a", "A"}, {"A", "a"}}, // names differ by case on the file system
        {nine, {"9", "8", "7", "6", "5", "4", "3", "2"}},
        {nine + QStringList{"4"}, {"4", "9", "8", "7", "6", "5", "3", "2"}},
    };
    for (const Row& r : rows) {
        QStringList list;
        for (const QString& name : r.added)
            list = app::WithRecentFile(list, name);
        EXPECT_EQ(list, r.list) << r.added.join(',').toStdString();
    }
}

TEST(RecentFiles, AnyNameSurvivesTheSettingsFile) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Vorn3d.ini");
    const QStringList names = {
        app::PathFromLocalBytes("/tmp/\xff\xfe scene.v3d"), // not UTF-8
        QString::fromUtf8("/home/учень/стереометрія.v3d"),  // not all in cp1251
        QStringLiteral("/tmp/a&b %41=c;d.v3d"),
    };
    {
        lang::IniFile file;
        // Left from a longer list: unused keys are emptied.
        for (int i = 1; i <= 8; ++i)
            file.set("RecentFiles", "File" + std::to_string(i), "/old.v3d");
        app::WriteRecentFiles(file, names);
        ASSERT_TRUE(file.save(ini.toStdString()));
    }
    const QStringList back = app::ReadRecentFiles(lang::IniFile::load(ini.toStdString()));
    EXPECT_EQ(back, names);
    EXPECT_EQ(app::LocalBytesOfPath(back.value(0)), "/tmp/\xff\xfe scene.v3d");
}

class RecentMenu : public DroppedFiles {
  protected:
    QList<QAction*> items() const {
        QList<QAction*> recent;
        for (QAction* a : window->findChild<QMenu*>("m_File")->actions())
            if (!a->isSeparator() && a->objectName().isEmpty()) recent << a;
        return recent;
    }
};

TEST_F(RecentMenu, OpenedAndSavedScenesAreListedAndReopenWithTheQuestion) {
    load(path("a.v3d"));
    ASSERT_TRUE(drop({url("b.V3D")}));
    dialogs->saveNames.push_back(path("c&d.v3d"));
    run("SaveAs");
    load(path("a.v3d"));
    const QStringList expected = {path("a.v3d"), path("c&d.v3d"), path("b.V3D")};
    EXPECT_EQ(window->recentFiles(), expected);
    QStringList texts;
    for (const QAction* a : items())
        texts << a->text();
    EXPECT_EQ(texts, QStringList(
                         {"&1 " + path("a.v3d"), "&2 " + path("c&&d.v3d"), "&3 " + path("b.V3D")}));
    // The list sits above "Вихід".
    const QList<QAction*> file = window->findChild<QMenu*>("m_File")->actions();
    EXPECT_EQ(file.back(), window->command("Exit"));

    window->scene().sceneModified = true;
    dialogs->answers = {Answer::Cancel};
    items()[2]->trigger();
    EXPECT_EQ(dialogs->boxTexts().size(), 1);
    EXPECT_EQ(dialogs->boxButtons.back(), app::BoxButtons::SaveDiscardCancel);
    EXPECT_EQ(objectList(), QStringList({"1. A"}));
    dialogs->answers = {Answer::No};
    items()[2]->trigger();
    QApplication::processEvents(); // the menu's old items go later
    EXPECT_EQ(objectList(), QStringList({"1. B1", "2. B2"}));
    EXPECT_EQ(window->recentFiles().front(), path("b.V3D"));

    // A second run of the program finds the list in the settings file.
    const QStringList before = window->recentFiles();
    window->saveSettings();
    TearDown();
    SetUp();
    window->loadSettings({});
    EXPECT_EQ(window->recentFiles(), before);
    EXPECT_EQ(items().size(), 3);
}

} // namespace
} // namespace vorn::test
