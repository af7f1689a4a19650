// The polygon drawing window: grid steps, mapping, adding, inserting, dragging, range fields.
#include "dialog_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace vorn::test {
namespace {

using entry::PolyPoint;

struct StepCase {
    double from, to, step;
};
class GridStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(GridStepTest, SmallestPowerOfTenWithFewerThanFiftySteps) {
    EXPECT_DOUBLE_EQ(entry::GridStep(GetParam().to - GetParam().from), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(Ranges, GridStepTest,
                         ::testing::Values(StepCase{-3, 3, 1}, StepCase{-30, 30, 10},
                                           StepCase{-0.2, 0.2, 0.01}, StepCase{0, 4.9, 0.1},
                                           StepCase{0, 5, 1}, StepCase{0, 1e-7, 1e-8}));

class QPolyTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        polyFrm.setup({}, 5, true, true, 'x', 'y', "Графічне задання многокутника:");
        // Points where the mouse puts them; snapping has tests of its own.
        find<QCheckBox>(&polyFrm, "SnapGrid")->setChecked(false);
        polyFrm.show();
    }
    void clickAt(double x, double y) { polyFrm.mousePressed(polyFrm.toPixel({x, y})); }
    QLineEdit* range(const char* name) { return find<QLineEdit>(&polyFrm, name); }
};

TEST_F(QPolyTest, RangeFieldsSetTheMappingAndItsGrid) {
    EXPECT_EQ(polyFrm.windowTitle(), "Графічне задання многокутника:");
    EXPECT_EQ(polyFrm.toPixel({-3, 3}), QPoint(0, 0));
    EXPECT_EQ(polyFrm.toPixel({3, -3}), QPoint(290, 301));
    EXPECT_DOUBLE_EQ(polyFrm.stepX(), 1);
    range("QX1")->setText("30");
    range("QX2")->setText("-30");
    EXPECT_DOUBLE_EQ(polyFrm.stepX(), 10);
    EXPECT_EQ(polyFrm.toPixel({-30, 3}).x(), 0);
    range("QY1")->setText("-0.2");
    range("QY2")->setText("0.2");
    EXPECT_DOUBLE_EQ(polyFrm.stepY(), 0.01);
    // Larger y is higher up.
    EXPECT_EQ(polyFrm.toPixel({0, 0.2}).y(), 0);
}

TEST_F(QPolyTest, UnreadableOrEqualBoundsKeepTheWindowWorking) {
    range("QX1")->setText("a");
    EXPECT_TRUE(range("QX1")->property("red").toBool());
    EXPECT_EQ(polyFrm.toPixel({-3, 0}).x(), 0); // the mapping stays as it was
    range("QX1")->setText("2");
    range("QX2")->setText("2");
    EXPECT_FALSE(range("QX1")->property("red").toBool());
    const QPoint p = polyFrm.toPixel({2, 0});
    EXPECT_EQ(p.x(), 290); // widened downwards by 0.00001
}

TEST_F(QPolyTest, ClickOnASegmentInsertsThePointThere) {
    clickAt(-2, -2);
    clickAt(2, -2);
    clickAt(2, 2);
    clickAt(-2, 2);
    ASSERT_EQ(polyFrm.points().size(), 4u);
    clickAt(2, 0.5); // on the segment between points 2 and 3
    ASSERT_EQ(polyFrm.points().size(), 5u);
    EXPECT_NEAR(polyFrm.points()[2].x, 2, 0.03);
    EXPECT_NEAR(polyFrm.points()[2].y, 0.5, 0.03);
    EXPECT_NEAR(polyFrm.points()[3].x, 2, 0.03);
    EXPECT_NEAR(polyFrm.points()[3].y, 2, 0.03);
}

TEST_F(QPolyTest, AtCapacityClicksAddNothingButDraggingWorks) {
    for (int k = 0; k < 7; ++k)
        clickAt(-2 + k * 0.6, (k % 2) ? 1.0 : -1.0);
    ASSERT_EQ(polyFrm.points().size(), 5u);
    const QPoint from = polyFrm.toPixel(polyFrm.points()[0]);
    polyFrm.mousePressed(from);
    polyFrm.mouseMoved(polyFrm.toPixel({0, 2.5}), true);
    polyFrm.mouseReleased();
    polyFrm.mouseMoved(polyFrm.toPixel({1, 1}), true); // released: nothing follows any more
    EXPECT_NEAR(polyFrm.points()[0].x, 0, 0.03);
    EXPECT_NEAR(polyFrm.points()[0].y, 2.5, 0.03);
    // One pixel is 6/290 units: the position is shown to the answer digits.
    EXPECT_EQ(find<QLabel>(&polyFrm, "PosX")->text(), "x=0.993103");
}

TEST_F(QPolyTest, RemovingPointsAndTheCountRuleOfTheOkButton) {
    auto* dec = find<QPushButton>(&polyFrm, "DecCnt");
    auto* ok = find<QPushButton>(&polyFrm, "OkBtn");
    EXPECT_FALSE(dec->isEnabled());
    polyFrm.setup({{0, 0}, {1, 0}, {1, 1}}, 4, false, false, 'X', 'Y', {});
    EXPECT_EQ(find<QLabel>(&polyFrm, "PosX")->text(), "X=???");
    EXPECT_FALSE(ok->isEnabled()); // only the full count is accepted
    clickAt(-1, 2);
    EXPECT_TRUE(ok->isEnabled());
    dec->click();
    EXPECT_EQ(polyFrm.points().size(), 3u);
    EXPECT_FALSE(ok->isEnabled());
}

TEST_F(QPolyTest, RangeIsPresetAroundThePoints) {
    polyFrm.setup({{0, 0}, {10, 0}, {10, 5}}, 40, true, true, 'x', 'y', {});
    polyFrm.presetRange();
    EXPECT_EQ(range("QX1")->text(), "-1");
    EXPECT_EQ(range("QX2")->text(), "11");
    EXPECT_EQ(range("QY1")->text(), "-0.5");
    EXPECT_EQ(range("QY2")->text(), "5.5");
    // Points on one line span no rectangle: they are dropped and the range stays.
    polyFrm.setup({{0, 0}, {1, 0}, {2, 0}}, 40, true, true, 'x', 'y', {});
    polyFrm.presetRange();
    EXPECT_TRUE(polyFrm.points().empty());
    EXPECT_EQ(range("QX2")->text(), "11");
}

TEST_F(QPolyTest, EntryDialogTakesTheDrawnPolygon) {
    open(core::ObjectType::Surface);
    find<QTabWidget>(&dialog, "QType")->setCurrentIndex(1);
    whenShown(&polyFrm, [&] {
        polyFrm.setRange({-3, 3, -3, 3});
        polyFrm.mousePressed(polyFrm.toPixel({0, 0}));
        polyFrm.mousePressed(polyFrm.toPixel({2, 0}));
        polyFrm.mousePressed(polyFrm.toPixel({0, 2}));
        polyFrm.mousePressed(polyFrm.toPixel({-2, -2}));
        click(&polyFrm, "OkBtn");
    });
    click(&dialog, "QDraw");
    const core::ObjectPart& part = scene.object(core::kScratchSlot).part(1);
    ASSERT_EQ(part.area.polygon.pointCount, 4);
    EXPECT_NEAR(part.area.polygon.points[3].x, -2, 0.03);
    EXPECT_EQ(find<entry::EntryGrid>(&dialog, "QGrid")->rowCount(), 4);
    EXPECT_EQ(dialog.entryError(), 0);
}

// "Прив'язка до сітки", on when the window opens: a placed or a dragged point lands on a node of
// the dotted grid (step 1 on -3..3); off, it stays where the mouse put it (one pixel is 0.02).
struct SnapCase {
    bool snap;
    PolyPoint click, placed, dragTo, dragged;
};
class QPolySnapTest : public DialogTest, public ::testing::WithParamInterface<SnapCase> {};

TEST_P(QPolySnapTest, PlacedAndDraggedPointsLand) {
    const SnapCase& c = GetParam();
    auto* snap = find<QCheckBox>(&polyFrm, "SnapGrid");
    EXPECT_TRUE(snap->isChecked());
    snap->setChecked(c.snap);
    polyFrm.setup({}, 5, true, true, 'x', 'y', {});
    polyFrm.show();
    const double tolerance = c.snap ? 0 : 0.02;
    polyFrm.mousePressed(polyFrm.toPixel(c.click));
    ASSERT_EQ(polyFrm.points().size(), 1u);
    EXPECT_NEAR(polyFrm.points()[0].x, c.placed.x, tolerance);
    EXPECT_NEAR(polyFrm.points()[0].y, c.placed.y, tolerance);
    polyFrm.mousePressed(polyFrm.toPixel(polyFrm.points()[0]));
    polyFrm.mouseMoved(polyFrm.toPixel(c.dragTo), true);
    polyFrm.mouseReleased();
    ASSERT_EQ(polyFrm.points().size(), 1u);
    EXPECT_NEAR(polyFrm.points()[0].x, c.dragged.x, tolerance);
    EXPECT_NEAR(polyFrm.points()[0].y, c.dragged.y, tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    OnAndOff, QPolySnapTest,
    ::testing::Values(SnapCase{true, {1.3, -0.8}, {1, -1}, {2.6, 0.4}, {3, 0}},
                      SnapCase{true, {-2.45, 2.9}, {-2, 3}, {-0.45, -0.55}, {0, -1}},
                      SnapCase{false, {1.3, -0.8}, {1.3, -0.8}, {2.6, 0.4}, {2.6, 0.4}}));

TEST_F(QPolyTest, RangeFieldsShowTheirNumbersWhole) {
    polyFrm.setRange({-1.41421356237310, 0.000123456789012345, -3, 3});
    QApplication::processEvents();
    for (const char* name : {"QX1", "QX2"}) {
        QLineEdit* edit = range(name);
        EXPECT_LT(edit->fontMetrics().horizontalAdvance(edit->text()), edit->contentsRect().width())
            << name << " " << edit->text().toStdString();
    }
}

} // namespace
} // namespace vorn::test
