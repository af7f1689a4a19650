// Command 61 where no OpenGL context can be had: an error box, and the wire-frame picture stays.
#include "app_fixture.h"

#include "app/info_panel.h"
#include "lang/message_ids.h"
#include "picture/picture_panel.h"

#include <QAction>

namespace vorn::test {
namespace {

using HalfToneWindowTest = WindowTest;

TEST_F(HalfToneWindowTest, WithoutOpenGLTheModeStaysOffAndSaysWhy) {
    WriteScene(path("scene.v3d"), {{core::ObjectType::Point, "A"}});
    load(path("scene.v3d"));
    ASSERT_TRUE(window->command("HalfTone")->isEnabled());
    dialogs->boxes.clear();
    run("HalfTone");
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_EQ(dialogs->boxes[0].second,
              QString::fromStdString(window->messages().text(lang::msg::kNoOpenGL)));
    EXPECT_FALSE(window->halfToneActive());
    EXPECT_FALSE(window->command("HalfTone")->isChecked());
    EXPECT_EQ(window->glBar(), nullptr);
    EXPECT_FALSE(window->picture()->place()->isHidden());
}

} // namespace
} // namespace vorn::test
