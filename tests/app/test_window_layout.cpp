// The window's parts: names the language files key on, menus, tool bars and panes.
#include "app_fixture.h"

#include "app/command_table.h"
#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/stat_line.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace vorn::test {
namespace {

using app::Bar;
using app::CommandInfo;
using app::Commands;

TEST_F(WindowTest, EveryCommandHasItsMenuItemTagShortcutAndButton) {
    for (const CommandInfo& c : Commands()) {
        const QString item = QStringLiteral("m_") + QString::fromLatin1(c.name);
        auto* action = window->findChild<QAction*>(item);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->property("Tag").toInt(), c.tag) << c.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(c.shortcut))) << c.name;
        EXPECT_FALSE(action->statusTip().isEmpty()) << c.name;
        if (c.menu) {
            EXPECT_FALSE(action->associatedObjects().isEmpty()) << c.name;
        }
        auto* button =
            window->findChild<QToolButton*>(QStringLiteral("k_") + QString::fromLatin1(c.name));
        EXPECT_EQ(button != nullptr, c.bar != Bar::None) << c.name;
        if (button) {
            EXPECT_EQ(button->defaultAction(), action);
            EXPECT_FALSE(action->icon().isNull()) << c.name;
        }
    }
}

TEST_F(WindowTest, PanesCarryTheirComponentNames) {
    for (const char* name : {"Place", "ScrollBarHor", "ScrollBarVer", "ListingPanel", "ReportBox",
                             "ObjList", "AnswerBox", "InfoPanel", "StatLine", "tb_Disk", "tb_View",
                             "tb_Calc", "tb_Mode", "tb_Objs"})
        EXPECT_NE(window->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(window->objectName(), "Vorn2frm");
    // The listing panel sits right of the picture, at least 200 pixels wide at first.
    EXPECT_GT(window->listing()->x(), window->picture()->x());
    EXPECT_GE(window->listing()->firstWidth(), app::ListingPanel::kDefaultWidth);
    EXPECT_NEAR(window->listing()->width(), window->listing()->firstWidth(), 10);
    EXPECT_EQ(window->picture()->scrollBarHor()->maximum(), 71);
    EXPECT_EQ(window->picture()->scrollBarVer()->maximum(), 71);
}

// At the first start (no settings file) the characteristics of a plane and of a polyhedron
// show whole at the default font, without scrolling sideways.
TEST_F(WindowTest, RightPanelStartsWideEnoughForAPlaneEquation) {
    window->loadSettings({});
    core::Scene& scene = window->scene();
    core::SceneObject& plane = scene.object(core::AppendObject(scene, core::ObjectType::Plane));
    plane.vertexCount = 3;
    plane.vertex(1) = {1.5f, -2.7f, 3.1f};
    plane.vertex(2) = {-4.2f, 0.8f, 2.2f};
    plane.vertex(3) = {2.9f, 3.3f, -1.4f};
    core::SceneObject& solid =
        scene.object(core::AppendObject(scene, core::ObjectType::Polyhedron));
    solid.vertexCount = 240;
    solid.faceCount = 476;
    solid.face(1).area = 1234.5678f;
    solid.volume = 9876.54321;
    window->refreshObjectList();
    QListWidget* pane = window->listing()->reportBox();
    const int margins = 2 * (pane->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (const int row : {0, 1}) {
        window->listing()->objList()->setCurrentRow(row);
        QApplication::processEvents();
        ASSERT_GT(pane->count(), 8);
        for (int i = 0; i < pane->count(); ++i) {
            const QString line = pane->item(i)->text();
            EXPECT_LE(pane->fontMetrics().horizontalAdvance(line) + margins,
                      pane->viewport()->width())
                << line.toStdString();
        }
    }
    EXPECT_TRUE(pane->item(8)->text().startsWith(QStringLiteral("Кількість трикутних граней:")));
}

// Both text panes scroll sideways over 500 pixels at least, and a longer line over its own
// width: no line is cut short.
TEST_F(WindowTest, ReportScrollsOverItsExtentAndNeverCutsALine) {
    app::ListingPanel* listing = window->listing();
    QListWidget* answers = listing->answerBox();
    auto extent = [&] {
        QApplication::processEvents();
        return answers->horizontalScrollBar()->maximum() + answers->viewport()->width();
    };
    listing->addAnswer(QStringLiteral("Кут: 30"));
    EXPECT_GE(extent(), app::ListingPanel::kScrollExtent);
    const QString line = QStringLiteral("Відстань від точки до площини: 1.23456 од.; ").repeated(6);
    listing->addAnswer(line);
    const int width = answers->fontMetrics().horizontalAdvance(line);
    EXPECT_GE(extent(), width);
    EXPECT_GE(answers->visualItemRect(answers->item(1)).width(), width);

    QListWidget* characteristics = listing->reportBox();
    listing->setCharacteristics({QStringLiteral(" (Точка)")});
    QApplication::processEvents();
    EXPECT_GE(characteristics->horizontalScrollBar()->maximum() +
                  characteristics->viewport()->width(),
              app::ListingPanel::kScrollExtent);
}

TEST_F(WindowTest, CaptionShowsThePathOfTheCurrentFile) {
    EXPECT_EQ(window->windowTitle(), path("NoName.v3d") + "[*] - VORN-3D");
    window->settings().DrawFName = false;
    window->setCurrentFile(path("a.v3d"));
    EXPECT_EQ(window->windowTitle(), "VORN-3D[*]");
    EXPECT_EQ(window->currentFileName(), path("a.v3d"));
}

TEST_F(WindowTest, HintLineIsBoldArialYellowOnVioletWithTwoBlanks) {
    app::InfoPanel* info = window->infoPanel();
    EXPECT_TRUE(info->font().bold());
    EXPECT_EQ(info->font().family(), "Arial");
    EXPECT_EQ(info->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    EXPECT_EQ(info->palette().color(QPalette::Window), QColor(64, 0, 128));
    window->setHint("виберіть точку");
    EXPECT_EQ(info->text(), "  виберіть точку");
    info->setInfo("Кут: ", "Кут: ");
    EXPECT_EQ(info->text(), "  ");
    // Hidden until the settings are loaded.
    EXPECT_FALSE(info->isVisible());
}

TEST(StatLineModes, SwitchesBetweenOneTextAndFiveFields) {
    app::StatLine line;
    line.show();
    line.setSingleText("Збереження об'єкта \"A\"...");
    EXPECT_FALSE(line.fieldMode());
    line.setFields({"X=1", "Y=2", "Z=Не відомо", "Куб", ""});
    EXPECT_TRUE(line.fieldMode());
    EXPECT_EQ(line.field(2), "Z=Не відомо");
    const auto* first = line.findChild<QLabel*>("StatField1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width(), first->fontMetrics().horizontalAdvance("X=1") + 10);
    EXPECT_FALSE(line.findChild<QLabel*>("StatText")->isVisible());
    line.setSingleText("ok");
    EXPECT_FALSE(line.fieldMode());
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(line.singleText(), "ok");
}

} // namespace
} // namespace vorn::test
