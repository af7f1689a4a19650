// The axis pass and the drawing pass, checked on their display lists.
#include "fake_scene_observer.h"
#include "picture_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <optional>
#include <set>
#include <vector>

namespace vorn::pic {
namespace {

using core::ObjectType;
using test::PictureScene;

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000, kSilver = 0xC0C0C0;

struct Fixture : PictureScene {
    WireFrame wf{env};
    DisplayList list;
    Fixture(int w = 400, int h = 300, float zoom = 60) {
        wf.resize(w, h);
        wf.setReady(true);
        wf.view().setZoom(zoom, zoom, zoom);
    }
    DisplayList plain() {
        list.clear();
        EXPECT_EQ(wf.redraw(list), RedrawResult::Drawn);
        return list;
    }
    DisplayList interactive(ScreenPoint mouse = {0, 0}) {
        DisplayList out;
        EXPECT_EQ(wf.drawPass(out, mouse), RedrawResult::Drawn);
        return out;
    }
};

std::vector<const DrawOp*> OfRole(const DisplayList& l, Role r, int slot = -1) {
    std::vector<const DrawOp*> out;
    for (const DrawOp& op : l)
        if (op.role == r && (slot < 0 || op.slot == slot)) out.push_back(&op);
    return out;
}
// The pointers point into the list: a temporary list would leave them dangling.
std::vector<const DrawOp*> OfRole(DisplayList&&, Role, int = -1) = delete;

// Where the ray from the origin's projection through the axis end leaves the picture, then
// pulled inward as the labels are.
ScreenPoint ExpectedLabel(const WireFrame& wf, int k) {
    const ProjectedVertex o = wf.projected(1, 1), e = wf.projected(1, k + 1);
    const double dx = e.px - o.px, dy = e.py - o.py;
    double t = 1e300;
    if (dx > 0) t = std::min(t, (wf.width() - o.px) / dx);
    if (dx < 0) t = std::min(t, -o.px / dx);
    if (dy > 0) t = std::min(t, (wf.height() - o.py) / dy);
    if (dy < 0) t = std::min(t, -o.py / dy);
    ScreenPoint p{RoundPixel(o.px + t * dx), RoundPixel(o.py + t * dy)};
    if (std::abs(p.x) < 5) p.x += 5;
    if (std::abs(p.y) < 5) p.y += 5;
    if (std::abs(p.x - wf.width()) < 10) p.x -= 15;
    if (std::abs(p.y - wf.height()) < 10) p.y -= 15;
    return p;
}

bool InsidePicture(const WireFrame& wf, const ProjectedVertex& p) {
    return p.px >= 0 && p.px <= wf.width() && p.py >= 0 && p.py <= wf.height();
}

TEST(AxisPass, AxesAreLengthenedJustPastTheBorder) {
    for (const auto& [w, h, zoom] :
         {std::tuple{400, 300, 60.f}, std::tuple{1000, 200, 3.f}, std::tuple{150, 600, 0.01f}}) {
        Fixture f(w, h, zoom);
        f.plain();
        for (int k = 1; k <= 3; ++k) {
            const core::Vec3f& v = f.scene.object(1).vertex(k + 1);
            const float c = k == 1 ? v.x : (k == 2 ? v.y : v.z);
            int n = 0;
            while (std::ldexp(1.0f, n) < c)
                ++n;
            ASSERT_EQ(c, std::ldexp(1.0f, n)) << "a power of two";
            EXPECT_FALSE(InsidePicture(f.wf, f.wf.projected(1, k + 1)));
            if (c > 1) { // one doubling less would still end inside
                const Projected half = ProjectPoint(f.wf.view(), k == 1 ? c / 2 : 0,
                                                    k == 2 ? c / 2 : 0, k == 3 ? c / 2 : 0);
                EXPECT_TRUE(InsidePicture(
                    f.wf, {static_cast<float>(half.px), static_cast<float>(half.py), 0}));
            }
            EXPECT_EQ(f.wf.axisLabel(k), ExpectedLabel(f.wf, k)) << w << "x" << h << " axis " << k;
        }
    }
}

TEST(AxisPass, AxesOnlyGrowAndAZeroScaleStopsTheDoubling) {
    Fixture f;
    f.plain();
    const float x = f.scene.object(1).vertex(2).x;
    ZoomOut(f.wf.view());
    f.plain();
    EXPECT_GE(f.scene.object(1).vertex(2).x, x);
    ZoomIn(f.wf.view());
    ZoomIn(f.wf.view());
    f.plain();
    EXPECT_GE(f.scene.object(1).vertex(2).x, x);

    Fixture g;
    g.wf.view().setZoom(60, 60, 0); // Oz has no length on the picture and can never leave it
    g.plain();
    EXPECT_EQ(g.scene.object(1).vertex(4).z, 1.0f);
    EXPECT_EQ(g.wf.degenerateAxis(), 0);
}

TEST(AxisPass, FitStartsTheAxesAgainAfterALongZoomOut) {
    Fixture fresh;
    fresh.wf.fit();
    fresh.plain();
    Fixture f;
    for (int i = 0; i < 170; ++i) {
        ZoomOut(f.wf.view());
        f.plain();
    }
    ASSERT_GT(f.scene.object(1).vertex(2).x, 1e6f);
    f.wf.fit();
    f.plain();
    for (int k = 2; k <= 4; ++k) {
        EXPECT_EQ(f.scene.object(1).vertex(k).x, fresh.scene.object(1).vertex(k).x);
        EXPECT_EQ(f.scene.object(1).vertex(k).y, fresh.scene.object(1).vertex(k).y);
        EXPECT_EQ(f.scene.object(1).vertex(k).z, fresh.scene.object(1).vertex(k).z);
    }
}

// Ends a to b -> the pixels drawn, or none; a whole line reaches the picture where its segment
// does not.
struct ClipRow {
    double ax, ay, bx, by;
    bool wholeLine;
    std::optional<std::pair<ScreenPoint, ScreenPoint>> drawn;
};

class Clip : public ::testing::TestWithParam<ClipRow> {};

TEST_P(Clip, FarEndsMoveAlongTheLine) {
    const ClipRow row = GetParam();
    const auto s = ClipToPicture(row.ax, row.ay, row.bx, row.by, 400, 300, row.wholeLine);
    ASSERT_EQ(s.has_value(), row.drawn.has_value());
    if (!s) return;
    EXPECT_EQ(s->p1, row.drawn->first);
    EXPECT_EQ(s->p2, row.drawn->second);
}

constexpr double kFar = 1e12;
constexpr int kMargin = static_cast<int>(kClipMargin);
INSTANTIATE_TEST_SUITE_P(Ends, Clip,
                         ::testing::Values(
                             // 3 across for 1 down: leaves the grown picture at its right border.
                             ClipRow{
                                 100, 100, 100 + 3 * kFar, 100 + kFar, false,
                                 std::pair{ScreenPoint{100, 100},
                                           ScreenPoint{400 + kMargin, 100 + (300 + kMargin) / 3}}},
                             ClipRow{-kFar, -kFar, -2 * kFar, -2 * kFar, false, std::nullopt},
                             ClipRow{-kFar, -kFar, -2 * kFar, -2 * kFar, true,
                                     std::pair{ScreenPoint{300 + kMargin, 300 + kMargin},
                                               ScreenPoint{-kMargin, -kMargin}}},
                             ClipRow{std::nan(""), 0, 10, 10, false, std::nullopt}));

// Picks an edge passing within a pixel of the pointer and places the point by its share of the
// segment it was given, as the picture interaction does.
struct LineHook : PassHooks {
    const core::Scene* scene = nullptr;
    void hitTestEdge(Pick& pick, int slot, int v1, int v2, ScreenPoint p1, ScreenPoint p2,
                     ScreenPoint m) override {
        const double dx = p2.x - p1.x, dy = p2.y - p1.y, length2 = dx * dx + dy * dy;
        if (pick.any() || length2 == 0) return;
        const double share = ((m.x - p1.x) * dx + (m.y - p1.y) * dy) / length2;
        const double off = std::abs((m.x - p1.x) * dy - (m.y - p1.y) * dx) / std::sqrt(length2);
        if (share < 0 || share > 1 || off > 1) return;
        const core::Vec3f &a = scene->object(slot).vertex(v1), &b = scene->object(slot).vertex(v2);
        const geo::Vec3 va(a.x, a.y, a.z), vb(b.x, b.y, b.z);
        pick = {slot, v1, v2, va + (vb - va) * share};
    }
};

// Turn and axis whose end is put 1e12 pixels away.
struct FarAxisRow {
    int horizontal, vertical, axis;
};

class FarAxisEnd : public ::testing::TestWithParam<FarAxisRow> {};

TEST_P(FarAxisEnd, IsDrawnAndPickedAlongItsTrueLine) {
    const FarAxisRow row = GetParam();
    constexpr float kZoom = 60;
    Fixture f(400, 300, kZoom);
    f.wf.view().setTurn(row.horizontal, row.vertical);
    core::Vec3f& end = f.scene.object(1).vertex(row.axis + 1);
    (row.axis == 1 ? end.x : (row.axis == 2 ? end.y : end.z)) = static_cast<float>(kFar / kZoom);
    f.plain();
    const ProjectedVertex o = f.wf.projected(1, 1), e = f.wf.projected(1, row.axis + 1);
    const double dx = e.px - o.px, dy = e.py - o.py, length = std::hypot(dx, dy);
    ASSERT_GT(length, kFar / 10);
    // Rounding leaves a drawn point at most half a pixel off in x and in y.
    const auto off = [&](ScreenPoint p) {
        return std::abs((p.x - o.px) * dy - (p.y - o.py) * dx) / length;
    };
    int drawn = 0;
    for (const DrawOp* op : OfRole(f.list, Role::FaceOutline, 1)) {
        if (op->face != row.axis) continue;
        ++drawn;
        for (int i = 0; i < op->count; ++i)
            EXPECT_LE(off(op->pts[static_cast<std::size_t>(i)]), std::numbers::sqrt2 / 2)
                << "point " << i;
    }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(f.wf.axisLabel(row.axis), ExpectedLabel(f.wf, row.axis));

    // The pointer 100 pixels out along the axis picks the axis point under it.
    LineHook hook;
    hook.scene = &f.scene;
    f.wf.setHooks(&hook);
    const ScreenPoint mouse{RoundPixel(o.px + 100 * dx / length),
                            RoundPixel(o.py + 100 * dy / length)};
    f.interactive(mouse);
    const Pick& pick = f.wf.pick();
    ASSERT_TRUE(pick.any());
    EXPECT_EQ(pick.vertex2, row.axis + 1);
    const double along[3] = {pick.point.x, pick.point.y, pick.point.z};
    // Space per pixel along the axis: the rounded pointer may lie a pixel off.
    const double perPixel = kFar / kZoom / length;
    for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(along[k - 1], k == row.axis ? 100 * perPixel : 0, perPixel)
            << "coordinate " << k;
}

INSTANTIATE_TEST_SUITE_P(Turns, FarAxisEnd,
                         ::testing::Values(FarAxisRow{27, 49, 1}, FarAxisRow{27, 49, 2},
                                           FarAxisRow{27, 49, 3}, FarAxisRow{5, 60, 1},
                                           FarAxisRow{40, 20, 2}));

// Turn angles, axis, and its label: one row per border the label is pulled away from.
struct NudgeRow {
    int horizontal, vertical, axis;
    ScreenPoint label;
};

class LabelNudge : public ::testing::TestWithParam<NudgeRow> {};

TEST_P(LabelNudge, LabelsStayInsideThePicture) {
    const NudgeRow row = GetParam();
    Fixture f(400, 300);
    f.wf.view().setTurn(row.horizontal, row.vertical);
    f.plain();
    EXPECT_EQ(f.wf.axisLabel(row.axis), row.label);
}

INSTANTIATE_TEST_SUITE_P(
    Borders, LabelNudge,
    ::testing::Values(NudgeRow{0, 36, 1, {385, 150}}, // Ox right: 15 left of the right border
                      NudgeRow{0, 36, 2, {200, 5}},   // Oy up: 5 below the top
                      NudgeRow{36, 36, 1, {5, 150}},  // Ox left: 5 right of the left border
                      NudgeRow{0, 18, 3, {200, 285}}) // Oz down: 15 above the bottom
);

TEST(DrawPass, PlainPassOrderAndColours) {
    Fixture f;
    const int plane = f.add(ObjectType::Plane);
    f.scene.object(plane).color = kBlue;
    f.scene.object(plane).faceCount = 1;
    PictureScene::setFace(f.scene.object(plane), 1, 1, 2, 3);
    const int cube = f.addCube(0.5, 1, 0x008000);
    const DisplayList l = f.plain();
    ASSERT_GE(l.size(), 8u);
    EXPECT_EQ(l[0].kind, DrawOp::Kind::Fill);
    EXPECT_EQ(l[0].brush, kWhite);
    EXPECT_EQ(l[0].b(), (ScreenPoint{400, 300}));
    // Letters, each axis letter followed by its unit mark.
    const char* letters[] = {"0", "x", "y", "z"};
    std::size_t i = 1;
    for (int j = 0; j <= 3; ++j) {
        EXPECT_EQ(l[i].role, Role::AxisLetter);
        EXPECT_EQ(l[i].text, letters[j]);
        EXPECT_EQ(l[i].pen, kRed);
        EXPECT_EQ(l[i].pts[0], *f.wf.axisLabel(j));
        ++i;
        if (j == 0) continue;
        EXPECT_EQ(l[i].role, Role::AxisMark);
        const ScreenPoint u = f.wf.screen(1, 4 + j);
        EXPECT_EQ(l[i].a(), (ScreenPoint{u.x - 1, u.y - 1}));
        EXPECT_EQ(l[i].b(), (ScreenPoint{u.x + 2, u.y + 2}));
        EXPECT_EQ(l[i].pen, kSilver);
        EXPECT_EQ(l[i].brush, kSilver);
        ++i;
    }
    for (int axis = 1; axis <= 3; ++axis, ++i) {
        EXPECT_EQ(l[i].role, Role::FaceOutline);
        EXPECT_EQ(l[i].slot, 1);
        EXPECT_EQ(l[i].pen, kSilver);
        EXPECT_EQ(l[i].style, PenStyle::Solid);
        EXPECT_EQ(l[i].pts[1], f.wf.screen(1, axis + 1));
    }
    EXPECT_EQ(l[i].role, Role::FaceOutline);
    EXPECT_EQ(l[i].slot, plane);
    EXPECT_EQ(l[i].style, PenStyle::Dot);
    EXPECT_EQ(l[i].pen, kBlue);
    EXPECT_EQ(l[i].brush, kWhite);
    int lastSlot = 0;
    for (const DrawOp& op : l) {
        EXPECT_NE(op.role, Role::Node);
        EXPECT_NE(op.role, Role::VertexLabel);
        EXPECT_GE(op.slot, lastSlot);
        lastSlot = op.slot;
        if (op.role == Role::Edge) {
            EXPECT_EQ(op.pen, 0x008000u);
            EXPECT_EQ(op.style, PenStyle::Solid);
        }
    }
    EXPECT_TRUE(OfRole(l, Role::FaceOutline, cube).empty());
}

TEST(DrawPass, CubeShowsTwelveEdgesOrAllEighteen) {
    Fixture f;
    const int cube = f.addCube(0, 2, kBlue);
    auto segments = test::DrawnSegments(f.plain(), f.scene, cube);
    ASSERT_EQ(segments.size(), 12u);
    for (const auto& [a, b] : segments) {
        const int bits = (a - 1) ^ (b - 1);
        EXPECT_TRUE(bits == 1 || bits == 2 || bits == 4) << a << "-" << b << " is a diagonal";
    }
    EXPECT_EQ(OfRole(f.list, Role::Edge, cube).size(), 24u); // each edge lies on two squares

    f.settings.DrawContur = false;
    segments = test::DrawnSegments(f.plain(), f.scene, cube);
    EXPECT_EQ(segments.size(), 18u);
    EXPECT_EQ(OfRole(f.list, Role::Edge, cube).size(), 36u);
}

TEST(DrawPass, EndOnAxisIsLeftOut) {
    Fixture f;
    f.wf.view().setTurn(0, 36);
    const DisplayList l = f.plain();
    std::string letters;
    for (const DrawOp* op : OfRole(l, Role::AxisLetter))
        letters += op->text;
    EXPECT_EQ(letters, "0xy");
    for (const DrawOp* op : OfRole(l, Role::AxisMark))
        EXPECT_NE(op->vertex, 7);
    const auto axes = OfRole(l, Role::FaceOutline, 1);
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_EQ(axes[1]->face, 2);
}

TEST(DrawPass, HiddenAxesAndObjectsAreNotDrawn) {
    Fixture f;
    f.settings.IsOsi = false;
    const int p = f.addPolyline(4);
    f.scene.object(p).visible = 0;
    f.plain();
    const DisplayList l = f.interactive({5, 5});
    EXPECT_EQ(f.scene.object(1).visible, 0);
    for (const DisplayList* each : {&l, static_cast<const DisplayList*>(&f.list)})
        for (const DrawOp& op : *each) {
            EXPECT_NE(op.slot, 1);
            EXPECT_NE(op.slot, p);
        }
}

TEST(DrawPass, NodesAndLabelsOnlyInTheInteractivePass) {
    Fixture f;
    f.settings.PutVerNum = true;
    f.wf.setTextMeasure([](std::string_view t, int size, bool bold) {
        return static_cast<int>(t.size()) * (bold ? 9 : 7) + size;
    });
    const int line = f.addPolyline(5);
    const int plane = f.add(ObjectType::Plane);
    f.plain();
    EXPECT_TRUE(OfRole(f.list, Role::Node).empty());
    const DisplayList l = f.interactive();
    const auto nodes = OfRole(l, Role::Node);
    ASSERT_EQ(nodes.size(), 5u); // the plane gets none
    const auto labels = OfRole(l, Role::VertexLabel);
    const auto numbers = OfRole(l, Role::ObjectNumber);
    ASSERT_EQ(labels.size(), 5u);
    ASSERT_EQ(numbers.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const ScreenPoint p = f.wf.screen(line, i + 1);
        EXPECT_EQ(nodes[i]->a(), (ScreenPoint{p.x - 2, p.y - 2}));
        EXPECT_EQ(nodes[i]->b(), (ScreenPoint{p.x + 3, p.y + 3}));
        EXPECT_EQ(nodes[i]->brush, kWhite);
        EXPECT_EQ(nodes[i]->pen, kBlue); // role 3
        EXPECT_EQ(labels[i]->text, std::string(1, static_cast<char>('A' + i)));
        EXPECT_TRUE(labels[i]->bold);
        EXPECT_EQ(labels[i]->a(), (ScreenPoint{p.x + 2, p.y + 2}));
        EXPECT_EQ(numbers[i]->text, std::to_string(line - 1));
        EXPECT_EQ(numbers[i]->fontSize, 7);
        EXPECT_EQ(numbers[i]->a(), (ScreenPoint{p.x + 3 + 9 + 10, p.y + 10}));
    }
    for (const DrawOp& op : l)
        EXPECT_NE(op.slot == plane && op.role == Role::Node, true);
    // Without IsUsel only point objects keep their squares.
    f.settings.IsUsel = false;
    const int point = f.add(ObjectType::Point);
    const DisplayList shown = f.interactive();
    const auto squares = OfRole(shown, Role::Node);
    ASSERT_EQ(squares.size(), 1u);
    EXPECT_EQ(squares[0]->slot, point);
}

// A point behind a face: as ever when solid or while a slow pass is deferred, hollow and lighter
// (label too) when dashed, left out when removed; the hidden part of a line follows the mode.
TEST(DrawPass, NodesAndLinesBehindFacesFollowTheHiddenLineMode) {
    Fixture f;
    f.settings.PutVerNum = true;
    const int line = f.addPolyline(3);
    const std::uint32_t background = f.settings.colorRgb(core::kColorBackground);
    f.wf.setHiddenPartsSource([line](const ViewState&) {
        HiddenParts parts;
        parts.points.insert({line, 2});
        parts.lines[{line, 1, 2}] = {{0.5, 1}};
        return parts;
    });
    struct Row {
        int mode;
        bool deferred;
        std::size_t nodes;
        bool hollow, dashed;
    };
    const Row rows[] = {{core::kHiddenSolid, false, 3, false, false},
                        {core::kHiddenDashed, false, 3, true, true},
                        {core::kHiddenRemoved, false, 2, false, false},
                        {core::kHiddenDashed, true, 3, false, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode * 10 + r.deferred);
        f.settings.hiddenLines = r.mode;
        f.wf.setHiddenPassDeferred(r.deferred);
        f.wf.setLastHiddenPassTime(kDragHiddenPassBudget);
        f.plain();
        const DisplayList l = f.interactive();
        const auto nodes = OfRole(l, Role::Node, line);
        const auto labels = OfRole(l, Role::VertexLabel, line);
        ASSERT_EQ(nodes.size(), r.nodes);
        ASSERT_EQ(labels.size(), r.nodes);
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            const bool behind = r.hollow && nodes[k]->vertex == 2;
            EXPECT_EQ(nodes[k]->behind, behind);
            EXPECT_EQ(nodes[k]->brush, behind ? background : kWhite);
            EXPECT_EQ(nodes[k]->pen == kBlue, !behind);
            EXPECT_EQ(labels[k]->pen == f.settings.colorRgb(core::kColorLabels), !behind);
            EXPECT_NE(r.mode == core::kHiddenRemoved && nodes[k]->vertex == 2, true);
        }
        const bool dashed = std::any_of(l.begin(), l.end(), [&](const DrawOp& op) {
            return op.slot == line && op.style == PenStyle::Dash;
        });
        EXPECT_EQ(dashed, r.dashed);
    }
}

// A drag keeps the hidden-line pass while the last one was fast; it is timed where it runs.
TEST(DrawPass, ADragSkipsOnlyASlowHiddenLinePass) {
    using namespace std::chrono_literals;
    struct Row {
        std::optional<std::chrono::nanoseconds> last; // of the pass before
        bool dragging, passRuns;
    };
    const Row rows[] = {{std::nullopt, true, true},
                        {5us, true, true},
                        {kDragHiddenPassBudget - 1ns, true, true},
                        {kDragHiddenPassBudget, true, false},
                        {50ms, true, false},
                        {50ms, false, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.last ? r.last->count() : -1);
        Fixture f;
        f.settings.hiddenLines = core::kHiddenDashed;
        const int line = f.addPolyline(3);
        int passes = 0;
        f.wf.setHiddenPartsSource([&](const ViewState&) {
            ++passes;
            HiddenParts parts;
            parts.lines[{line, 1, 2}] = {{0.5, 1}};
            return parts;
        });
        if (r.last) f.wf.setLastHiddenPassTime(*r.last);
        f.wf.setHiddenPassDeferred(r.dragging);
        const DisplayList l = f.plain();
        EXPECT_EQ(passes, r.passRuns ? 1 : 0);
        const bool dashed = std::any_of(l.begin(), l.end(), [&](const DrawOp& op) {
            return op.slot == line && op.style == PenStyle::Dash;
        });
        EXPECT_EQ(dashed, r.passRuns);
        // A skipped pass leaves the time it was skipped for.
        ASSERT_TRUE(f.wf.lastHiddenPassTime().has_value());
        if (!r.passRuns) {
            EXPECT_EQ(*f.wf.lastHiddenPassTime(), *r.last);
        }
    }
}

TEST(BlackAndWhite, InkBlackPaperWhiteWhatLiesBehindGrey) {
    struct Row {
        DrawOp::Kind kind;
        Role role;
        std::uint32_t pen, brush;
        bool behind;
        std::uint32_t wantPen, wantBrush;
    };
    const Row rows[] = {
        {DrawOp::Kind::Fill, Role::Background, 0, 0x336699, false, 0, kWhite},
        {DrawOp::Kind::Rect, Role::Node, kBlue, kWhite, false, 0, kWhite},
        {DrawOp::Kind::Rect, Role::Node, 0xFF8080, 0x336699, true, 0x808080, kWhite},
        {DrawOp::Kind::Rect, Role::AxisMark, kSilver, kSilver, false, 0, 0},
        {DrawOp::Kind::Line, Role::Edge, kRed, 0x336699, false, 0, kWhite},
        {DrawOp::Kind::Polyline, Role::FaceOutline, kSilver, 0x336699, false, 0, kWhite},
        {DrawOp::Kind::Line, Role::ProjectionErase, 0x336699, 0x336699, false, kWhite, kWhite},
        {DrawOp::Kind::Line, Role::PickErase, 0x336699, 0x336699, false, kWhite, kWhite},
        {DrawOp::Kind::Text, Role::VertexLabel, kRed, 0, true, 0x808080, kWhite},
    };
    DisplayList list;
    for (const Row& r : rows) {
        DrawOp& op = list.emplace_back();
        op.kind = r.kind;
        op.role = r.role;
        op.pen = r.pen;
        op.brush = r.brush;
        op.behind = r.behind;
    }
    MakeBlackAndWhite(list);
    for (std::size_t k = 0; k < list.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(list[k].pen, rows[k].wantPen);
        EXPECT_EQ(list[k].brush, rows[k].wantBrush);
    }
    EXPECT_EQ(BlackAndWhiteHiddenMode(core::kHiddenSolid), core::kHiddenDashed);
    EXPECT_EQ(BlackAndWhiteHiddenMode(core::kHiddenDashed), core::kHiddenDashed);
    EXPECT_EQ(BlackAndWhiteHiddenMode(core::kHiddenRemoved), core::kHiddenRemoved);
}

// Vertex count and settings -> the label of the first and last vertex.
struct LabelRow {
    int vertices;
    bool letters;
    const char* first;
    const char* last;
};

class VertexLabels : public ::testing::TestWithParam<LabelRow> {};

TEST_P(VertexLabels, LettersUpTo26Vertices) {
    const LabelRow row = GetParam();
    Fixture f;
    f.settings.PutVerNum = true;
    f.settings.PutNumObj = false;
    f.settings.PutLetters = row.letters;
    f.addPolyline(row.vertices);
    f.plain();
    const DisplayList shown = f.interactive();
    const auto labels = OfRole(shown, Role::VertexLabel);
    ASSERT_EQ(labels.size(), static_cast<std::size_t>(row.vertices));
    EXPECT_EQ(labels.front()->text, row.first);
    EXPECT_EQ(labels.back()->text, row.last);
    EXPECT_TRUE(OfRole(shown, Role::ObjectNumber).empty());
}

INSTANTIATE_TEST_SUITE_P(Counts, VertexLabels,
                         ::testing::Values(LabelRow{26, true, "A", "Z"},
                                           LabelRow{27, true, "1", "27"},
                                           LabelRow{3, false, "1", "3"}));

// Records what the drawing pass asks of the picture interaction, and picks on request.
struct RecordingHooks : PassHooks {
    struct Call {
        int slot, v1, v2;
    };
    std::vector<Call> calls;
    int pickSlot = 0, pickV1 = 0, pickV2 = -1; // pickV2 0: vertex pick; -1: no pick
    geo::Vec3 pickPoint;
    std::vector<MarkedElement> measured, placed;
    const DisplayList* out = nullptr;
    std::size_t opsAtAfterObjects = 0;
    Pick before;
    std::function<void()> duringPass;

    void hitTestEdge(Pick& pick, int slot, int v1, int v2, ScreenPoint, ScreenPoint,
                     ScreenPoint) override {
        calls.push_back({slot, v1, v2});
        if (pickV2 >= 0 && slot == pickSlot && v1 == pickV1 && (pickV2 == 0 || v2 == pickV2))
            pick = {slot, v1, pickV2, pickPoint};
    }
    void afterObjects(const Pick&, ScreenPoint, bool) override {
        opsAtAfterObjects = out ? out->size() : 0;
        if (duringPass) duringPass();
    }
    std::span<MarkedElement> measureElements() override { return measured; }
    std::span<MarkedElement> placedPoints() override { return placed; }
    void endPass(const Pick&, const Pick& previous) override { before = previous; }
};

TEST(DrawPass, HitTestIsAskedForEveryDrawnEdgeInOrder) {
    Fixture f;
    RecordingHooks hooks;
    f.wf.setHooks(&hooks);
    const int cube = f.addCube(0, 1, kBlue);
    const int hidden = f.addPolyline(3);
    f.scene.object(hidden).visible = 0;
    f.plain();
    EXPECT_TRUE(hooks.calls.empty());
    f.interactive({10, 10});
    ASSERT_EQ(hooks.calls.size(), 9u + 24u); // three axes of three edges, 24 cube edges
    EXPECT_EQ(hooks.calls[0].slot, 1);
    EXPECT_EQ(hooks.calls[0].v1, 1);
    EXPECT_EQ(hooks.calls[0].v2, 2);
    EXPECT_EQ(hooks.calls[9].slot, cube);
    // Face 1 is (1, 2, 4) with its third edge hidden; face 2 (1, 4, 3) starts with the hidden one.
    EXPECT_EQ(hooks.calls[9].v1, 1);
    EXPECT_EQ(hooks.calls[10].v1, 2);
    EXPECT_EQ(hooks.calls[11].v1, 4);
    EXPECT_EQ(hooks.calls[11].v2, 3);
}

TEST(DrawPass, PickedEdgeIsHighlightedAndProjectedOntoThePlanes) {
    Fixture f;
    RecordingHooks hooks;
    f.wf.setHooks(&hooks);
    f.settings.isProject = true;
    const int cube = f.addCube(0, 1, kBlue);
    hooks.pickSlot = cube;
    hooks.pickV1 = 2;
    hooks.pickV2 = 4;
    hooks.pickPoint = {1, 0.5, 0};
    f.plain();
    DisplayList l;
    hooks.out = &l;
    ASSERT_EQ(f.wf.drawPass(l, ScreenPoint{123, 45}), RedrawResult::Drawn);
    EXPECT_TRUE(f.wf.pick().any());
    const auto hl = OfRole(l, Role::PickedEdge);
    ASSERT_EQ(hl.size(), 1u);
    EXPECT_EQ(hl[0]->a(), f.wf.screen(cube, 2));
    EXPECT_EQ(hl[0]->b(), f.wf.screen(cube, 4));
    EXPECT_EQ(hl[0]->style, PenStyle::Dot);
    EXPECT_EQ(hl[0]->pen, kBlue); // role 4
    EXPECT_EQ(hooks.opsAtAfterObjects, static_cast<std::size_t>(hl[0] - l.data()) + 1);
    const auto lines = OfRole(l, Role::ProjectionLine);
    ASSERT_EQ(lines.size(), 3u);
    const geo::Vec3 feet[3] = {{1, 0.5, 0}, {0, 0.5, 0}, {1, 0, 0}};
    for (int k = 0; k < 3; ++k) {
        const Projected q = ProjectPoint(f.wf.view(), feet[k]);
        EXPECT_EQ(lines[k]->a(), (ScreenPoint{123, 45}));
        EXPECT_EQ(lines[k]->b(), (ScreenPoint{RoundPixel(q.px), RoundPixel(q.py)}));
        EXPECT_EQ(lines[k]->style, PenStyle::Dash);
        EXPECT_EQ(lines[k]->pen, kSilver); // role 7
    }
    EXPECT_EQ(&l.back(), lines[2]);

    // The next pass first paints the old lines over in the background colour.
    hooks.pickV2 = -1;
    DisplayList next;
    ASSERT_EQ(f.wf.drawPass(next, ScreenPoint{0, 0}), RedrawResult::Drawn);
    EXPECT_EQ(hooks.before.vertex2, 4);
    const auto erased = OfRole(next, Role::ProjectionErase);
    ASSERT_EQ(erased.size(), 3u);
    EXPECT_EQ(erased[1]->a(), (ScreenPoint{123, 45}));
    EXPECT_EQ(erased[1]->b(), lines[1]->b());
    EXPECT_EQ(erased[1]->pen, kWhite);
    EXPECT_TRUE(OfRole(next, Role::ProjectionLine).empty());
    EXPECT_TRUE(OfRole(next, Role::PickedEdge).empty());
    // Dotted lines leave their gaps unpainted: the old highlight is painted over, solid, before
    // the objects that lay under it are drawn again.
    const auto unpicked = OfRole(next, Role::PickErase);
    ASSERT_EQ(unpicked.size(), 1u);
    EXPECT_EQ(unpicked[0]->a(), hl[0]->a());
    EXPECT_EQ(unpicked[0]->b(), hl[0]->b());
    EXPECT_EQ(unpicked[0]->pen, kWhite);
    EXPECT_EQ(unpicked[0]->style, PenStyle::Solid);
    EXPECT_LT(unpicked[0], OfRole(next, Role::Edge, cube).front());
    DisplayList third;
    ASSERT_EQ(f.wf.drawPass(third, ScreenPoint{0, 0}), RedrawResult::Drawn);
    EXPECT_TRUE(OfRole(third, Role::PickErase).empty());
}

TEST(DrawPass, MarkedElementsFollowTheView) {
    Fixture f;
    RecordingHooks hooks;
    f.wf.setHooks(&hooks);
    MarkedElement plane;
    plane.pointCount = 4;
    plane.points = {geo::Vec3(0, 0, 0), geo::Vec3(1, 0, 0), geo::Vec3(1, 1, 0), geo::Vec3(0, 1, 0)};
    hooks.measured = {plane};
    for (int j = 0; j < 3; ++j) {
        MarkedElement e;
        e.pointCount = 1;
        e.points[0] = geo::Vec3(j, 2, 1);
        hooks.placed.push_back(e);
    }
    const DisplayList l = f.plain();
    for (int k = 0; k < 4; ++k) {
        const Projected q = ProjectPoint(f.wf.view(), hooks.measured[0].points[k]);
        EXPECT_EQ(hooks.measured[0].screen[k], (ScreenPoint{RoundPixel(q.px), RoundPixel(q.py)}));
    }
    const auto squares = OfRole(l, Role::MarkedPoint);
    const auto lines = OfRole(l, Role::MarkedLine);
    ASSERT_EQ(squares.size(), 4u + 3u);
    EXPECT_EQ(squares[0]->pen, kRed);
    EXPECT_EQ(squares[0]->brush, kWhite);
    const auto& s = hooks.measured[0].screen;
    // Around the plane: 1-2, 1-4 (closing), 2-3, 3-4; then the chain of placed points.
    const std::vector<std::pair<ScreenPoint, ScreenPoint>> expected = {
        {s[0], s[1]},
        {s[0], s[3]},
        {s[1], s[2]},
        {s[2], s[3]},
        {hooks.placed[0].screen[0], hooks.placed[1].screen[0]},
        {hooks.placed[1].screen[0], hooks.placed[2].screen[0]}};
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]->a(), expected[i].first);
        EXPECT_EQ(lines[i]->b(), expected[i].second);
        EXPECT_EQ(lines[i]->style, PenStyle::Dot);
        EXPECT_EQ(lines[i]->pen, 0x800080u); // role 6, purple
    }
}

TEST(DrawPass, GuardsAgainstEarlyNestedAndHalfToneDrawing) {
    Fixture f;
    f.wf.setReady(false);
    DisplayList l;
    EXPECT_EQ(f.wf.redraw(l), RedrawResult::NotReady);
    EXPECT_EQ(f.wf.drawPass(l, ScreenPoint{1, 1}), RedrawResult::NotReady);
    EXPECT_TRUE(l.empty());
    f.wf.setReady(true);
    test::FakeSceneObserver window;
    f.scene.setObserver(&window);
    window.halfTone = true;
    EXPECT_EQ(f.wf.redraw(l), RedrawResult::HalfTone);
    EXPECT_TRUE(l.empty());
    window.halfTone = false;

    RecordingHooks hooks;
    RedrawResult nested = RedrawResult::Drawn;
    hooks.duringPass = [&] {
        DisplayList inner;
        EXPECT_TRUE(f.wf.busy());
        nested = f.wf.redraw(inner);
    };
    f.wf.setHooks(&hooks);
    EXPECT_EQ(f.wf.redraw(l), RedrawResult::Drawn);
    EXPECT_EQ(nested, RedrawResult::Busy);
    EXPECT_FALSE(f.wf.busy());
}

// ---- picking by distance ----------------------------------------------------------------------

// The pass's own hit test with a radius, as the picture interaction asks for it.
struct RadiusHooks : PassHooks {
    double radius = 4;
    double pickRadius() const override { return radius; }
};

// A scene seen along Oz without axes, 60 pixels to a unit, with the pass's own hit test.
struct PickByDistance : Fixture {
    RadiusHooks hooks;
    PickByDistance() {
        settings.IsOsi = false;
        wf.view().setTurn(0, 36);
        wf.setHooks(&hooks);
    }
    int addPath(std::initializer_list<geo::Vec3> points) {
        const int slot = add(ObjectType::Polyline);
        core::SceneObject& o = scene.object(slot);
        int i = 0;
        for (const geo::Vec3& p : points)
            o.vertex(++i) = {static_cast<float>(p.x), static_cast<float>(p.y),
                             static_cast<float>(p.z)};
        o.vertexCount = static_cast<std::int16_t>(i);
        o.faceCount = static_cast<std::int16_t>(i - 1);
        for (int f = 1; f < i; ++f)
            setFace(o, f, f, f + 1, f + 1);
        return slot;
    }
    ScreenPoint at(int slot, int vertex, int dx, int dy) const {
        const ScreenPoint p = wf.screen(slot, vertex);
        return {p.x + dx, p.y + dy};
    }
    // "-" nothing, "v<slot>.<vertex>" a vertex, "e<slot>.<low>-<high>" an edge.
    std::string picked(ScreenPoint mouse) {
        interactive(mouse);
        const Pick& p = wf.pick();
        if (!p.any()) return "-";
        if (p.vertex2 == 0) return "v" + std::to_string(p.object) + "." + std::to_string(p.vertex1);
        return "e" + std::to_string(p.object) + "." +
               std::to_string(std::min(p.vertex1, p.vertex2)) + "-" +
               std::to_string(std::max(p.vertex1, p.vertex2));
    }
};

// From a vertex of the path A (0,0,0), B (2,0,0), C (2,2,0): pixels along A->B and along B->C.
struct RadiusRow {
    const char* name;
    int from; // vertex 1 A, 2 B, 0 the middle of AB
    int along, across;
    double radius;
    const char* expect; // vertices 1..3, edges 1-2 (AB) and 2-3 (BC)
};

class PickRadius : public ::testing::TestWithParam<RadiusRow> {};

TEST_P(PickRadius, NearestWithinTheRadiusAVertexFirst) {
    const RadiusRow& row = GetParam();
    PickByDistance f;
    const int path = f.addPath({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}});
    f.plain();
    const ScreenPoint a = f.wf.screen(path, 1), b = f.wf.screen(path, 2), c = f.wf.screen(path, 3);
    // The rows' pixels are exact: AB runs along a picture row and BC along a column.
    ASSERT_EQ(a.y, b.y);
    ASSERT_EQ(b.x, c.x);
    const int u = b.x > a.x ? 1 : -1, w = c.y > b.y ? 1 : -1;
    const ScreenPoint origin =
        row.from == 0 ? ScreenPoint{(a.x + b.x) / 2, a.y} : f.wf.screen(path, row.from);
    const ScreenPoint mouse{origin.x + u * row.along, origin.y + w * row.across};
    f.hooks.radius = row.radius;
    const std::string want = row.expect[0] == '-' ? "-"
                                                  : std::string(row.expect[1] == '-' ? "e" : "v") +
                                                        std::to_string(path) + "." + row.expect;
    EXPECT_EQ(f.picked(mouse), want);
    // An edge's point is the one nearest to the pointer.
    const Pick& p = f.wf.pick();
    if (p.vertex2 == 0) return;
    const Projected q = ProjectPoint(f.wf.view(), p.point);
    const bool ab = p.vertex1 + p.vertex2 == 3;
    EXPECT_NEAR(ab ? q.px : q.py, ab ? mouse.x : mouse.y, 1e-3);
    EXPECT_NEAR(ab ? q.py : q.px, ab ? a.y : b.x, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PickRadius,
    ::testing::Values(RadiusRow{"EdgeThreeOff", 0, 0, -3, 4, "1-2"},
                      RadiusRow{"EdgeFiveOff", 0, 0, -5, 4, "-"},
                      RadiusRow{"EdgeFiveOffWithRadiusSix", 0, 0, -5, 6, "1-2"},
                      RadiusRow{"EdgeOneOffWithRadiusOne", 0, 0, -1, 1, "1-2"},
                      RadiusRow{"EdgeTwoOffWithRadiusOne", 0, 0, -2, 1, "-"},
                      RadiusRow{"VertexBeforeTheEdgeThroughIt", 1, 3, 0, 4, "1"},
                      RadiusRow{"VertexAskew", 1, 2, -2, 4, "1"},
                      RadiusRow{"EdgePastTheVertexRadius", 1, 5, 0, 4, "1-2"},
                      RadiusRow{"NothingPastTheEnd", 1, -3, -3, 4, "-"},
                      RadiusRow{"NearerEdgeWins", 2, -4, 3, 4, "1-2"},
                      RadiusRow{"NearerEdgeWinsTheOtherWay", 2, -3, 4, 4, "2-3"},
                      RadiusRow{"CornerVertex", 2, -2, 2, 4, "2"}),
    [](const auto& info) { return std::string(info.param.name); });

// Two parallel paths 3 pixels apart, the first with hidden parts: where the pointer is and
// what is hidden in which mode -> what is picked.
struct SightRow {
    const char* name;
    int mode;
    std::vector<std::pair<double, double>> hiddenFirst; // of its line
    bool firstStartHidden;
    int along, across; // from the first path's start, toward the second path
    const char* expect;
};

class PickSight : public ::testing::TestWithParam<SightRow> {};

TEST_P(PickSight, AVisibleElementBeforeAHiddenOne) {
    const SightRow& row = GetParam();
    PickByDistance f;
    f.settings.hiddenLines = row.mode;
    const int first = f.addPath({{0, 0, 0}, {2, 0, 0}});
    const int second = f.addPath({{0, 0.05, 0}, {2, 0.05, 0}});
    f.wf.setHiddenPartsSource([&](const ViewState&) {
        HiddenParts parts;
        if (!row.hiddenFirst.empty()) parts.lines[{first, 1, 2}] = row.hiddenFirst;
        if (row.firstStartHidden) parts.points.insert({first, 1});
        return parts;
    });
    f.plain();
    const ScreenPoint a = f.wf.screen(first, 1), b = f.wf.screen(first, 2),
                      d = f.wf.screen(second, 1);
    ASSERT_EQ(a.y, b.y);
    ASSERT_EQ(std::abs(d.y - a.y), 3);
    const int u = b.x > a.x ? 1 : -1, w = d.y > a.y ? 1 : -1;
    const std::string got = f.picked({a.x + u * row.along, a.y + w * row.across});
    const std::string e = row.expect;
    EXPECT_EQ(got,
              e == "-" ? e : e[0] + std::to_string(e[1] == '1' ? first : second) + e.substr(2));
}

constexpr int kDashed = core::kHiddenDashed, kRemoved = core::kHiddenRemoved;
INSTANTIATE_TEST_SUITE_P(
    Rows, PickSight,
    ::testing::Values(
        SightRow{"NearerWithNothingHidden", kDashed, {}, false, 60, 1, "e1.1-2"},
        SightRow{"HiddenLosesToAFartherVisible", kDashed, {{0, 1}}, false, 60, 1, "e2.1-2"},
        SightRow{"HiddenLeftOutLoses", kRemoved, {{0, 1}}, false, 60, 1, "e2.1-2"},
        SightRow{"HiddenAloneIsPickedWhenDrawn", kDashed, {{0, 1}}, false, 60, -2, "e1.1-2"},
        SightRow{"HiddenAndLeftOutIsNeverPicked", kRemoved, {{0, 1}}, false, 60, -2, "-"},
        SightRow{"VisiblePieceOfAPartlyHiddenLine", kRemoved, {{0, 0.5}}, false, 90, 1, "e1.1-2"},
        SightRow{"VisibleVertexBeforeANearerHiddenOne", kDashed, {}, true, 0, 1, "v2.1"},
        SightRow{"NearerVertexWhenBothAreSeen", kDashed, {}, false, 0, 1, "v1.1"},
        SightRow{"HiddenVertexLeftOut", kRemoved, {}, true, 1, -1, "e1.1-2"}),
    [](const auto& info) { return std::string(info.param.name); });

// The axes are drawn from the origin outwards only, and only that is picked.
TEST(PickByDistanceAxes, TheUndrawnHalfOfAnAxisIsNeverPicked) {
    for (const int axis : {1, 2}) {
        for (const int sign : {1, -1}) {
            PickByDistance f;
            f.settings.IsOsi = true;
            f.plain();
            const ProjectedVertex o = f.wf.projected(1, 1), e = f.wf.projected(1, axis + 1);
            const double dx = e.px - o.px, dy = e.py - o.py, length = std::hypot(dx, dy);
            const ScreenPoint mouse{RoundPixel(o.px + sign * 50 * dx / length),
                                    RoundPixel(o.py + sign * 50 * dy / length)};
            f.interactive(mouse);
            const Pick& p = f.wf.pick();
            SCOPED_TRACE(testing::Message() << "axis " << axis << " sign " << sign);
            if (sign < 0) {
                EXPECT_FALSE(p.any());
                continue;
            }
            ASSERT_EQ(p.object, core::kAxesSlot);
            EXPECT_EQ(std::max(p.vertex1, p.vertex2), axis + 1);
            EXPECT_NEAR(axis == 1 ? p.point.x : p.point.y, 50.0 / 60, 1.0 / 60);
        }
    }
}

// ---- keyboard picking --------------------------------------------------------------------------

geo::Vec3 AtVertex(const core::SceneObject& o, int i) {
    return {o.vertex(i).x, o.vertex(i).y, o.vertex(i).z};
}

struct PickScene : Fixture {
    int cube, point, plane, hidden, far;
    explicit PickScene(bool contour) {
        settings.DrawContur = contour;
        cube = addCube(-1, 2, kBlue);
        point = add(ObjectType::Point);
        scene.object(point).vertex(1) = {0, 0, 0};
        plane = add(ObjectType::Plane); // (0,0,-3) (-3,0,0) (0,0,3) (3,0,0): centre at the origin
        core::SceneObject& p = scene.object(plane);
        p.faceCount = 2;
        setFace(p, 1, 1, 2, 3);
        setFace(p, 2, 1, 3, 4);
        hidden = addCube(0, 1, kRed);
        scene.object(hidden).visible = 0;
        far = add(ObjectType::Point);
        scene.object(far).vertex(1) = {100, 100, 100};
        plain();
    }
    double distance(const PickTarget& t) const {
        return std::hypot(t.x - wf.width() / 2.0, t.y - wf.height() / 2.0);
    }
};

TEST(PickTargets, VerticesThenEdgesThenPlanesEachNearestToTheCentreFirst) {
    // Hidden diagonals are not offered, as the pointer cannot pick them either.
    for (const bool contour : {true, false}) {
        PickScene f(contour);
        const std::vector<PickTarget> t = f.wf.pickTargets();
        ASSERT_GE(t.size(), 3u);
        // The axes' origin and the point lie on the centre: the walk's order breaks the tie.
        EXPECT_EQ(t[0].pick.object, core::kAxesSlot);
        EXPECT_EQ(t[1].pick.object, f.point);
        EXPECT_EQ(t[1].kind, PickKind::Vertex);
        std::set<std::pair<int, int>> cubeEdges;
        int cubeVertices = 0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            const Pick& p = t[i].pick;
            EXPECT_NE(p.object, f.hidden);
            EXPECT_NE(p.object, f.far); // off the picture
            EXPECT_FALSE(p.object == core::kAxesSlot && t[i].kind != PickKind::Vertex);
            if (i > 0) {
                EXPECT_LE(static_cast<int>(t[i - 1].kind), static_cast<int>(t[i].kind));
                if (t[i - 1].kind == t[i].kind) {
                    EXPECT_LE(f.distance(t[i - 1]), f.distance(t[i]));
                }
            }
            if (p.object != f.cube) continue;
            const geo::Vec3 a = AtVertex(f.scene.object(f.cube), p.vertex1);
            if (t[i].kind == PickKind::Vertex) {
                ++cubeVertices;
                EXPECT_EQ(p.point, a);
                continue;
            }
            const geo::Vec3 b = AtVertex(f.scene.object(f.cube), p.vertex2);
            EXPECT_EQ(p.point, (a + b) * 0.5);
            cubeEdges.insert({std::min(p.vertex1, p.vertex2), std::max(p.vertex1, p.vertex2)});
        }
        EXPECT_EQ(cubeVertices, 8);
        DisplayList drawn = f.plain();
        EXPECT_EQ(cubeEdges, test::DrawnSegments(drawn, f.scene, f.cube));
        EXPECT_EQ(cubeEdges.size(), contour ? 12u : 18u);
        // The plane comes last although its centre is the picture's centre.
        EXPECT_EQ(t.back().kind, PickKind::Plane);
        EXPECT_EQ(t.back().pick.object, f.plane);
        EXPECT_EQ(t.back().pick.vertex1, 0);
        EXPECT_EQ(t.back().pick.point, geo::Vec3(0, 0, 0));
    }
}

TEST(PickTargets, PickPassShowsTheTargetAsTheHitTestWould) {
    PickScene f(true);
    const std::vector<PickTarget> t = f.wf.pickTargets();
    const auto first = [&](PickKind kind) {
        return *std::find_if(t.begin(), t.end(), [kind](const auto& x) { return x.kind == kind; });
    };
    const struct {
        PickKind kind;
        std::size_t edges, squares; // highlight primitives
    } rows[] = {{PickKind::Vertex, 0, 1}, {PickKind::Edge, 1, 0}, {PickKind::Plane, 4, 0}};
    for (const auto& r : rows) {
        const PickTarget target = first(r.kind);
        DisplayList out;
        ASSERT_EQ(f.wf.pickPass(out, target), RedrawResult::Drawn);
        EXPECT_EQ(f.wf.pick().object, target.pick.object);
        EXPECT_EQ(f.wf.pick().vertex1, target.pick.vertex1);
        EXPECT_EQ(f.wf.pick().vertex2, target.pick.vertex2);
        EXPECT_EQ(OfRole(out, Role::PickedEdge).size(), r.edges);
        EXPECT_EQ(OfRole(out, Role::PickedVertex).size(), r.squares);
    }
}

// Left out as hidden, a vertex or an edge whose middle is hidden is not offered; dashed, it is.
TEST(PickTargets, WhatIsLeftOutAsHiddenIsNotOffered) {
    for (const int mode : {core::kHiddenDashed, core::kHiddenRemoved}) {
        PickScene f(true);
        f.settings.hiddenLines = mode;
        f.wf.setHiddenPartsSource([&](const ViewState&) {
            HiddenParts parts;
            parts.points.insert({f.cube, 1});
            parts.lines[{f.cube, 2, 1}] = {{0.25, 0.75}};
            parts.lines[{f.cube, 3, 4}] = {{0, 0.4}};
            return parts;
        });
        f.plain();
        // A vertex as (v, 0), an edge as (low, high).
        std::set<std::pair<int, int>> offered;
        for (const PickTarget& t : f.wf.pickTargets()) {
            const Pick& p = t.pick;
            if (p.object != f.cube) continue;
            offered.insert(p.vertex2 == 0 ? std::pair{p.vertex1, 0}
                                          : std::pair{std::min(p.vertex1, p.vertex2),
                                                      std::max(p.vertex1, p.vertex2)});
        }
        SCOPED_TRACE(mode);
        const std::size_t dashed = mode == core::kHiddenDashed ? 1 : 0;
        EXPECT_EQ(offered.count({1, 0}), dashed);
        EXPECT_EQ(offered.count({1, 2}), dashed); // hidden at its middle
        EXPECT_EQ(offered.count({3, 4}), 1u);     // hidden only near an end
        EXPECT_EQ(offered.count({2, 0}), 1u);
    }
}

// One stop per kind and place: the axes' origin and the point there are one.
TEST(PickTargets, StopsGroupTheTargetsOfOnePlace) {
    PickScene f(true);
    const std::vector<PickTarget> t = f.wf.pickTargets();
    const std::vector<std::vector<PickTarget>> stops = f.wf.pickStops();
    const auto place = [](const PickTarget& x) {
        return std::tuple{x.kind, RoundPixel(x.x), RoundPixel(x.y)};
    };
    std::set<std::tuple<PickKind, int, int>> places;
    const auto key = [](const Pick& p) { return std::tuple{p.object, p.vertex1, p.vertex2}; };
    std::set<std::tuple<int, int, int>> inStops, inTargets;
    for (const auto& stop : stops) {
        ASSERT_FALSE(stop.empty());
        EXPECT_TRUE(places.insert(place(stop[0])).second);
        for (const PickTarget& x : stop) {
            EXPECT_EQ(place(x), place(stop[0]));
            EXPECT_TRUE(inStops.insert(key(x.pick)).second);
        }
    }
    for (const PickTarget& x : t)
        inTargets.insert(key(x.pick));
    EXPECT_EQ(inStops, inTargets);
    ASSERT_EQ(stops[0].size(), 2u);
    EXPECT_EQ(stops[0][0].pick.object, core::kAxesSlot);
    EXPECT_EQ(stops[0][1].pick.object, f.point);
}

} // namespace
} // namespace vorn::pic
