// Projection, presets, zoom, fit and the mapping back into space.
#include "picture_fixture.h"

#include "geometry/angle_tables.h"
#include "view/view_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn::pic {
namespace {

using test::PictureScene;

struct Fixture : PictureScene {
    WireFrame wf{env};
    DisplayList list;
    Fixture(int w = 400, int h = 300) {
        wf.resize(w, h);
        wf.setReady(true);
        wf.view().setZoom(100, 100, 100);
    }
    Projected axisDir(int k) {
        const Projected o = ProjectPoint(wf.view(), 0, 0, 0);
        const Projected e = ProjectPoint(wf.view(), k == 1, k == 2, k == 3);
        return {e.px - o.px, e.py - o.py, e.depth - o.depth};
    }
};

TEST(Projection, InitialViewShowsOzUpOxLowerLeftOyLowerRight) {
    Fixture f;
    EXPECT_EQ(f.wf.view().turnHorizontal(), kInitialTurnHorizontal);
    EXPECT_EQ(f.wf.view().turnVertical(), kInitialTurnVertical);
    const Projected x = f.axisDir(1), y = f.axisDir(2), z = f.axisDir(3);
    EXPECT_LT(z.py, -50); // up the picture
    EXPECT_NEAR(z.px, 0, 1e-9);
    EXPECT_LT(x.px, 0);
    EXPECT_GT(x.py, 0);
    EXPECT_GT(y.px, 0);
    EXPECT_GT(y.py, 0);
}

TEST(Projection, EveryTurnKeepsLengthsAndRightAngles) {
    // A rotation of the scaled space: unit axes stay of length zoom and mutually perpendicular.
    Fixture f;
    for (int a = 0; a < kTurnSteps; ++a) {
        for (int b = 0; b < kTurnSteps; ++b) {
            f.wf.view().setTurn(a, b);
            const Projected d[3] = {f.axisDir(1), f.axisDir(2), f.axisDir(3)};
            for (int i = 0; i < 3; ++i) {
                const Projected& p = d[i];
                ASSERT_NEAR(std::sqrt(p.px * p.px + p.py * p.py + p.depth * p.depth), 100, 1e-4)
                    << a << "," << b;
                const Projected& q = d[(i + 1) % 3];
                ASSERT_NEAR(p.px * q.px + p.py * q.py + p.depth * q.depth, 0, 1e-3);
            }
        }
    }
}

TEST(Projection, OddPictureSizeHalvesDownwards) {
    Fixture f(301, 201);
    ASSERT_EQ(f.wf.redraw(f.list), RedrawResult::Drawn);
    EXPECT_EQ(f.wf.view().halfWidth, 150);
    EXPECT_EQ(f.wf.view().halfHeight, 100);
    EXPECT_EQ(f.wf.screen(core::kAxesSlot, 1), (ScreenPoint{150, 100}));
}

// Preset tag -> scroll-bar positions, the axis seen end-on, and the axes pointing right and up.
struct PresetRow {
    int tag, horizontal, vertical, degenerate, right, up;
};

class Presets : public ::testing::TestWithParam<PresetRow> {};

TEST_P(Presets, TurnTheViewAlongAnAxis) {
    const PresetRow row = GetParam();
    Fixture f;
    const auto preset = AxisPreset(row.tag);
    ASSERT_TRUE(preset);
    EXPECT_EQ(preset->horizontal, row.horizontal);
    EXPECT_EQ(preset->vertical, row.vertical);
    f.wf.view().setTurn(preset->horizontal, preset->vertical);
    ASSERT_EQ(f.wf.redraw(f.list), RedrawResult::Drawn);
    EXPECT_EQ(f.wf.degenerateAxis(), row.degenerate);
    if (row.right) {
        const Projected r = f.axisDir(row.right), u = f.axisDir(row.up);
        EXPECT_NEAR(r.px, 100, 0.01);
        EXPECT_NEAR(r.py, 0, 0.5);
        EXPECT_NEAR(u.py, -100, 0.01);
        EXPECT_NEAR(u.px, 0, 0.5);
        // The end-on axis lands within half a pixel of the origin at this scale.
        const Projected d = f.axisDir(row.degenerate);
        EXPECT_LT(std::hypot(d.px, d.py), 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(ViewMenu, Presets,
                         ::testing::Values(PresetRow{1, 0, 36, 3, 1, 2},
                                           PresetRow{2, 0, 54, 2, 1, 3},
                                           PresetRow{3, 18, 54, 1, 2, 3},
                                           PresetRow{4, 27, 49, 0, 0, 0}));

TEST(Zoom, InThenOutRestoresTheScales) {
    Fixture f;
    f.wf.view().setZoom(37.5f, 120, 0.25f);
    ZoomIn(f.wf.view());
    EXPECT_FLOAT_EQ(f.wf.view().zoomX(), 37.5f * 1.1f);
    ZoomOut(f.wf.view());
    EXPECT_FLOAT_EQ(f.wf.view().zoomX(), 37.5f);
    EXPECT_FLOAT_EQ(f.wf.view().zoomY(), 120);
    EXPECT_FLOAT_EQ(f.wf.view().zoomZ(), 0.25f);
    // The scales are those of the scene header, which a scene file keeps.
    EXPECT_FLOAT_EQ(f.scene.header.zoomY, 120);
}

struct WheelRow {
    int rest, delta, steps, restAfter;
};
class Wheel : public ::testing::TestWithParam<WheelRow> {};

TEST_P(Wheel, ZoomsByWholeNotches) {
    const WheelRow r = GetParam();
    int rest = r.rest;
    EXPECT_EQ(WheelZoomSteps(rest, r.delta), r.steps);
    EXPECT_EQ(rest, r.restAfter);
}

INSTANTIATE_TEST_SUITE_P(Notches, Wheel,
                         ::testing::Values(WheelRow{0, 120, 1, 0}, WheelRow{0, -120, -1, 0},
                                           WheelRow{0, 360, 3, 0}, WheelRow{0, 60, 0, 60},
                                           WheelRow{60, 60, 1, 0}, WheelRow{100, 50, 1, 30},
                                           WheelRow{-60, -90, -1, -30},
                                           // turning back forgets the other way's rest
                                           WheelRow{100, -120, -1, 0}, WheelRow{-100, 30, 0, 30}));

// A drag moves the side facing the viewer with the pointer: in the initial view (1, 1, 0) is
// the point of the floor's unit circle nearest the eye, drawn straight below the centre.
struct DragRow {
    int dx, dy;
    int horizontal, vertical; // steps after the drag, from (27, 49)
    int frontX, frontY;       // sign of the front point's move on the picture (its y only
                              // for upright drags: a turn about the vertical lifts it a little)
};
class DragTurn : public ::testing::TestWithParam<DragRow> {};

TEST_P(DragTurn, FrontFollowsThePointer) {
    const DragRow r = GetParam();
    Fixture f;
    ViewState& v = f.wf.view();
    const Projected before = ProjectPoint(v, 1, 1, 0);
    const TurnDrag drag{100, 80, v.turnHorizontal(), v.turnVertical()};
    const TurnPreset t = TurnAfterDrag(drag, 100 + r.dx, 80 + r.dy);
    EXPECT_EQ(t.horizontal, r.horizontal);
    EXPECT_EQ(t.vertical, r.vertical);
    v.setTurn(t.horizontal, t.vertical);
    const Projected after = ProjectPoint(v, 1, 1, 0);
    const auto sign = [](double d) { return d > 1e-9 ? 1 : (d < -1e-9 ? -1 : 0); };
    EXPECT_EQ(sign(after.px - before.px), r.frontX);
    if (r.dx == 0) {
        EXPECT_EQ(sign(after.py - before.py), r.frontY);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, DragTurn,
    ::testing::Values(DragRow{0, 0, 27, 49, 0, 0},
                      // less than a step is a click's jitter
                      DragRow{5, -5, 27, 49, 0, 0}, DragRow{6, 0, 26, 49, 1, 0},
                      DragRow{-13, 0, 29, 49, -1, 0}, DragRow{0, 30, 27, 44, 0, 1},
                      DragRow{0, -12, 27, 51, 0, -1}, DragRow{18, 18, 24, 46, 1, 1},
                      // a whole turn comes back; past 0 and 71 it goes round
                      DragRow{kTurnSteps * kDragPixelsPerTurnStep, 0, 27, 49, 0, 0},
                      DragRow{28 * kDragPixelsPerTurnStep, 0, 71, 49, 1, 0},
                      DragRow{0, -23 * kDragPixelsPerTurnStep, 27, 0, 0, -1}));

TEST(Fit, AxesOnlySceneFitsTheUnitCube) {
    Fixture f(640, 480);
    f.wf.view().setZoom(0, 0, 0);
    f.wf.fit();
    // R reaches the corner (1, 1, 1).
    EXPECT_FLOAT_EQ(f.wf.view().zoomX(), 480 / (2 * std::sqrt(3.0)));
    EXPECT_FLOAT_EQ(f.wf.view().zoomZ(), 480 / (2 * std::sqrt(3.0)));
    EXPECT_DOUBLE_EQ(f.wf.view().fitRadius, std::sqrt(3.0));
    EXPECT_FALSE(f.wf.view().firstFit);
}

TEST(Fit, UsesVisibleUserObjectsAndTheCentre) {
    Fixture f(500, 400);
    const int cube = f.addCube(-1, 4, 0xFF0000); // [-1, 3]^3
    const int hidden = f.addCube(-50, 1, 0xFF0000);
    f.scene.object(hidden).visible = 0;
    ASSERT_EQ(f.wf.redraw(f.list), RedrawResult::Drawn); // bounds come from the last redraw
    EXPECT_DOUBLE_EQ(f.scene.object(cube).maxY, 3);
    f.wf.fit();
    EXPECT_FLOAT_EQ(f.wf.view().zoomX(), 400 / (2 * std::sqrt(27.0))); // corner (3, 3, 3)
    EXPECT_DOUBLE_EQ(f.wf.view().sceneMin[2], -1);
    f.wf.view().centerX = 2; // farthest in x: |(-1) - 2| = 3
    f.wf.view().centerZ = 7; // in z: |(-1) - 7| = 8
    f.wf.fit();
    EXPECT_FLOAT_EQ(f.wf.view().zoomY(), 400 / (2 * std::sqrt(9.0 + 9 + 64)));
}

// A cube (lowest corner, side) and the rotation centre: after the fit every corner of the box
// lands on a pixel of the picture in every turn.
struct FitRow {
    double low, side;
    geo::Vec3 centre;
};

class FitHoldsTheBox : public ::testing::TestWithParam<FitRow> {};

TEST_P(FitHoldsTheBox, InEveryTurn) {
    const FitRow row = GetParam();
    Fixture f(500, 400);
    f.addCube(row.low, row.side, 0xFF0000);
    f.wf.view().centerX = row.centre.x;
    f.wf.view().centerY = row.centre.y;
    f.wf.view().centerZ = row.centre.z;
    ASSERT_EQ(f.wf.redraw(f.list), RedrawResult::Drawn);
    f.wf.fit();
    ASSERT_EQ(f.wf.redraw(f.list), RedrawResult::Drawn);
    for (int a = 0; a < kTurnSteps; ++a) {
        for (int b = 0; b < kTurnSteps; ++b) {
            f.wf.view().setTurn(a, b);
            for (int i = 0; i < 8; ++i) {
                const Projected p = ProjectPoint(f.wf.view(), row.low + row.side * (i & 1),
                                                 row.low + row.side * ((i >> 1) & 1),
                                                 row.low + row.side * (i >> 2));
                const int x = RoundPixel(p.px), y = RoundPixel(p.py);
                ASSERT_TRUE(x >= 0 && x <= 500 && y >= 0 && y <= 400)
                    << "turn " << a << "," << b << " corner " << i << " at " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Boxes, FitHoldsTheBox,
                         ::testing::Values(FitRow{-1, 2, {0, 0, 0}},   // centred cube
                                           FitRow{0, 1, {0, 0, 0}},    // corner at the centre
                                           FitRow{-1, 4, {2, 0, 7}})); // centre outside the box

TEST(Fit, AutoZoomOffFitsOnlyTheFirstTime) {
    Fixture f(400, 400);
    f.settings.AutoZoom = false;
    f.wf.view().setZoom(0, 0, 0);
    f.wf.fit();
    EXPECT_FLOAT_EQ(f.wf.view().zoomX(), 200 / std::sqrt(3.0));
    f.wf.view().setZoom(100, 50, 25); // typed scales
    f.wf.fit();
    EXPECT_FLOAT_EQ(f.wf.view().zoomX(), 100);
    EXPECT_FLOAT_EQ(f.wf.view().zoomY(), 50);
}

TEST(ScreenToPlane, InvertsTheProjectionInEveryAxisView) {
    for (int tag = 1; tag <= 3; ++tag) {
        Fixture f;
        f.wf.view().setZoom(40, 25, 60);
        f.wf.view().centerX = 0.5; // the plane still passes through the origin
        const auto preset = AxisPreset(tag);
        f.wf.view().setTurn(preset->horizontal, preset->vertical);
        ASSERT_EQ(f.wf.redraw(f.list), RedrawResult::Drawn);
        const int k = f.wf.degenerateAxis();
        ASSERT_EQ(k, 4 - tag);
        for (const geo::Vec3 s : {geo::Vec3(1.5, -2, 0.75), geo::Vec3(-3, 0.5, 2)}) {
            double c[3] = {s.x, s.y, s.z};
            c[k - 1] = 0;
            const Projected p = ProjectPoint(f.wf.view(), c[0], c[1], c[2]);
            const geo::Vec3 back = f.wf.screenToPlane(p.px, p.py, {9, 9, 9});
            EXPECT_NEAR(back.x, c[0], 0.01) << "tag " << tag;
            EXPECT_NEAR(back.y, c[1], 0.01) << "tag " << tag;
            EXPECT_NEAR(back.z, c[2], 0.01) << "tag " << tag;
        }
    }
}

} // namespace
} // namespace vorn::pic
