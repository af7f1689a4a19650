// Command 61 in the real window with OpenGL: panes, hint line, commands, rebuilds, the view.
#include "app_fixture.h"

#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/progress_frm.h"
#include "lang/message_ids.h"
#include "picture/gl_bar.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace vorn::test {
namespace {

class HalfToneGLTest : public WindowTest {
  protected:
    void SetUp() override {
        QString why;
        if (!pic::HalfToneOpenGLAvailable(&why))
            GTEST_SKIP() << "no OpenGL context: " << why.toStdString();
        WindowTest::SetUp();
        WriteScene(path("scene.v3d"),
                   {{core::ObjectType::Point, "A"}, {core::ObjectType::Plane, "P"}});
        load(path("scene.v3d"));
    }
    QString hint() const { return window->infoPanel()->text(); }
    bool menuEnabled(const char* name) const {
        auto* menu = window->findChild<QMenu*>(QString::fromLatin1(name));
        return menu && menu->menuAction()->isEnabled();
    }
};

TEST_F(HalfToneGLTest, SwitchingOnAndOffShowsThePanelAndTheHint) {
    run("HalfTone");
    ASSERT_TRUE(window->halfToneActive());
    ASSERT_NE(window->glBar(), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(window->glBar()->isVisible());
    EXPECT_TRUE(window->picture()->place()->isHidden());
    EXPECT_TRUE(window->command("HalfTone")->isChecked());
    EXPECT_EQ(hint(), QStringLiteral("  ") + QString::fromStdString(window->messages().text(
                                                 lang::msg::kHalftoneReturnHint)));
    // Picking is off while the lit picture shows.
    for (const char* name : {"Ugol3p", "Distance2P", "MakeCut", "ScrPoint", "mode1"})
        EXPECT_FALSE(window->command(name)->isEnabled()) << name;
    EXPECT_FALSE(menuEnabled("m_Angle"));
    EXPECT_FALSE(menuEnabled("m_Distance"));
    // One list per slot, the two objects built.
    EXPECT_EQ(window->glBar()->CountObjects(), window->scene().objectCount());
    EXPECT_EQ(window->glBar()->lists().size(), 3u); // axes, point, plane

    run("HalfTone");
    EXPECT_FALSE(window->halfToneActive());
    EXPECT_FALSE(window->glBar()->isVisible());
    EXPECT_FALSE(window->picture()->place()->isHidden());
    EXPECT_EQ(hint().trimmed(), QString());
    EXPECT_TRUE(menuEnabled("m_Angle"));
}

// "Припинити" while a surface's list is built: the wire-frame picture stays, and the report
// says the operation did not finish.
TEST_F(HalfToneGLTest, StoppingASurfaceLeavesTheWireFrame) {
    const int slot = core::AppendObject(window->scene(), core::ObjectType::Surface);
    core::SceneObject& o = window->scene().object(slot);
    o.planeB = o.planeD = -2;
    o.planeC = o.surfaceParam = 2;
    window->refreshObjectList();
    dialogs->answers.push_back(core::Answer::Yes); // "Припинити обчислення ?"
    QTimer::singleShot(0, window.get(), [this] { window->progressFrm()->stopButton()->click(); });
    run("HalfTone");
    EXPECT_FALSE(window->halfToneActive());
    EXPECT_FALSE(window->command("HalfTone")->isChecked());
    EXPECT_FALSE(window->picture()->place()->isHidden());
    EXPECT_TRUE(window->command("Ugol3p")->isEnabled());
    EXPECT_EQ(hint().trimmed(), QString());
    ASSERT_FALSE(report().isEmpty());
    EXPECT_EQ(report().back(),
              QString::fromStdString(window->messages().text(lang::msg::kOperationNotFinished)));
}

TEST_F(HalfToneGLTest, TheViewFollowsTheScrollBars) {
    run("HalfTone");
    window->picture()->scrollBarHor()->setValue(10);
    window->picture()->scrollBarVer()->setValue(20);
    EXPECT_FLOAT_EQ(window->glBar()->RotateGama(), -(5 * 10 + 180));
    EXPECT_FLOAT_EQ(window->glBar()->RotateAlfa(), 5 * 20);
    window->viewCommand(5); // zoom in
    EXPECT_FLOAT_EQ(window->glBar()->SizeX(), window->picture()->view().zoomX());
}

TEST_F(HalfToneGLTest, SceneChangesRebuildTheLists) {
    run("HalfTone");
    // A check mark: the hidden object loses its list.
    QListWidget* list = window->listing()->objList();
    list->item(0)->setCheckState(Qt::Unchecked);
    QApplication::processEvents();
    EXPECT_EQ(window->glBar()->lists().size(), 2u);
    // Deleting an object renumbers the lists.
    dialogs->answers.push_back(core::Answer::Yes);
    run("Delete");
    EXPECT_EQ(window->glBar()->CountObjects(), window->scene().objectCount());
    // Loading a scene rebuilds; a new scene switches the mode off.
    load(path("scene.v3d"));
    EXPECT_EQ(window->glBar()->CountObjects(), window->scene().objectCount());
    dialogs->answers.push_back(core::Answer::Yes);
    run("NewFile");
    EXPECT_FALSE(window->halfToneActive());
}

} // namespace
} // namespace vorn::test
