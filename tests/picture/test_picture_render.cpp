// The wire-frame picture painted into a bitmap: pixels at computed places and golden pictures.
#include "golden.h"
#include "picture_fixture.h"
#include "qt_app.h"

#include "picture/picture_canvas.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace vorn::pic {
namespace {

using test::ExpectGolden;
using test::PictureScene;

const QRgb kWhite = qRgb(255, 255, 255), kSilver = qRgb(192, 192, 192), kRed = qRgb(255, 0, 0),
           kBlue = qRgb(0, 0, 255);

struct Canvas : PictureScene {
    PictureCanvas canvas{env};
    Canvas(int w, int h, float zoom) {
        test::EnsureQtApp();
        canvas.resize(w, h);
        canvas.engine().setReady(true);
        canvas.view().setZoom(zoom, zoom, zoom);
    }
    QRgb at(int x, int y) const { return canvas.image().pixel(x, y) | 0xFF000000u; }
    QRgb at(ScreenPoint p) const { return at(p.x, p.y); }
    // Pixels of `colour` in the rectangle [x0, x1) x [y0, y1), clipped to the picture.
    int count(QRgb colour, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(y1, canvas.image().height()); ++y)
            for (int x = std::max(0, x0); x < std::min(x1, canvas.image().width()); ++x)
                n += at(x, y) == colour;
        return n;
    }
    int countAround(QRgb colour, ScreenPoint p, int r) const {
        return count(colour, p.x - r, p.y - r, p.x + r + 1, p.y + r + 1);
    }
};

// Area where a label's glyph lands: its top-left corner plus one character cell.
struct Box {
    int x0, y0, x1, y1;
};
Box LabelBox(ScreenPoint p) {
    return {p.x, p.y, p.x + 12, p.y + 18};
}

// Black and white of a solid picture: drawn again with the hidden edges dashed, all in black
// ink; the bitmap, the window's list and the passes after it stay solid.
TEST(Render, BlackAndWhitePassDashesWhatFacesHideAndLeavesThePicture) {
    Canvas c(400, 300, 60);
    c.addCube(-0.5, 1, 0x0000FF);
    c.canvas.view().setTurn(27, 49);
    ASSERT_EQ(c.canvas.redraw(true, {-100, -100}), RedrawResult::Drawn);
    const QImage before = c.canvas.image();
    const DisplayList shown = c.canvas.lastPass();
    const auto dashed = [](const DisplayList& l) {
        return std::count_if(l.begin(), l.end(),
                             [](const DrawOp& op) { return op.style == PenStyle::Dash; });
    };
    const DisplayList bw = c.canvas.blackAndWhitePass();
    EXPECT_GT(dashed(bw), 0);
    for (const DrawOp& op : bw) {
        if (op.kind == DrawOp::Kind::Line) {
            EXPECT_EQ(op.pen, 0u);
        }
    }
    EXPECT_EQ(c.canvas.image(), before);
    EXPECT_EQ(c.canvas.lastPass().size(), shown.size());
    EXPECT_EQ(dashed(c.canvas.lastPass()), 0);
    ASSERT_EQ(c.canvas.interactivePass({-100, -100}), RedrawResult::Drawn);
    EXPECT_EQ(dashed(c.canvas.lastPass()), 0);
    EXPECT_EQ(c.canvas.image(), before);
}

TEST(Render, AxesLettersAndUnitMarksInTheOzView) {
    Canvas c(400, 300, 60);
    c.canvas.view().setTurn(0, 36);
    ASSERT_EQ(c.canvas.redraw(), RedrawResult::Drawn);
    // Ox runs right from the centre to the border, Oy up; their negative halves are not drawn.
    for (const int x : {205, 300, 399})
        EXPECT_EQ(c.at(x, 150), kSilver) << x;
    for (const int y : {145, 60, 30})
        EXPECT_EQ(c.at(200, y), kSilver) << y;
    EXPECT_EQ(c.at(150, 150), kWhite);
    EXPECT_EQ(c.at(200, 200), kWhite);
    // The unit marks of Ox and Oy are 3 x 3 squares around (1, 0, 0) and (0, 1, 0).
    EXPECT_EQ(c.count(kSilver, 259, 149, 262, 152), 9);
    EXPECT_EQ(c.count(kSilver, 199, 89, 202, 92), 9);
    EXPECT_EQ(c.at(258, 149), kWhite);
    // "0", "x" pulled in from the right border, "y" pushed down from the top; no "z" anywhere.
    int inLabels = 0;
    for (const ScreenPoint p :
         {ScreenPoint{202, 138}, ScreenPoint{385, 150}, ScreenPoint{200, 5}}) {
        const Box b = LabelBox(p);
        const int n = c.count(kRed, b.x0, b.y0, b.x1, b.y1);
        EXPECT_GT(n, 5) << p.x << "," << p.y;
        inLabels += n;
    }
    EXPECT_EQ(c.count(kRed, 0, 0, 400, 300), inLabels);
}

// Pixels around the middle of each square's diagonal, when no cube edge passes near it.
struct DiagonalProbe {
    int probed = 0, withColour = 0;
};

DiagonalProbe ProbeDiagonals(Canvas& c, int cube, QRgb colour) {
    const WireFrame& wf = c.canvas.engine();
    const core::SceneObject& o = c.scene.object(cube);
    std::vector<std::pair<ScreenPoint, ScreenPoint>> edges;
    for (int a = 1; a <= 8; ++a)
        for (int b = a + 1; b <= 8; ++b) {
            const int bits = (a - 1) ^ (b - 1);
            if (bits == 1 || bits == 2 || bits == 4)
                edges.push_back({wf.screen(cube, a), wf.screen(cube, b)});
        }
    const auto distance = [](ScreenPoint p, ScreenPoint a, ScreenPoint b) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t =
            std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
    };
    DiagonalProbe r;
    for (int f = 1; f <= o.faceCount; f += 2) {
        const ScreenPoint a = wf.screen(cube, o.face(f).vertex1),
                          b = wf.screen(cube, o.face(f).vertex3);
        const ScreenPoint mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        const bool clear = std::all_of(edges.begin(), edges.end(), [&](const auto& e) {
            return distance(mid, e.first, e.second) >= 4;
        });
        if (!clear) continue;
        ++r.probed;
        r.withColour += c.countAround(colour, mid, 1) > 0;
    }
    return r;
}

TEST(Render, CubeDiagonalsHiddenOnlyWithDrawContur) {
    Canvas c(400, 400, 70);
    c.settings.IsOsi = false;
    const int cube = c.addCube(-1, 2, 0xFF0000); // blue
    ASSERT_EQ(c.canvas.redraw(), RedrawResult::Drawn);
    // Every one of the 12 cube edges is drawn: its midpoint is blue.
    for (int a = 1; a <= 8; ++a)
        for (int b = a + 1; b <= 8; ++b) {
            const int bits = (a - 1) ^ (b - 1);
            if (bits != 1 && bits != 2 && bits != 4) continue;
            const ScreenPoint p = c.canvas.engine().screen(cube, a),
                              q = c.canvas.engine().screen(cube, b);
            EXPECT_GT(c.countAround(kBlue, {(p.x + q.x) / 2, (p.y + q.y) / 2}, 1), 0)
                << a << "-" << b;
        }
    const DiagonalProbe hidden = ProbeDiagonals(c, cube, kBlue);
    ASSERT_GE(hidden.probed, 3);
    EXPECT_EQ(hidden.withColour, 0);

    c.settings.DrawContur = false;
    ASSERT_EQ(c.canvas.redraw(), RedrawResult::Drawn);
    const DiagonalProbe shown = ProbeDiagonals(c, cube, kBlue);
    EXPECT_EQ(shown.withColour, shown.probed);
}

// A cube with the plane through its vertices 1, 2 and 7, whose outline runs along edge 1-2.
int AddPlaneOnCubeEdge(Canvas& c) {
    const int plane = c.add(core::ObjectType::Plane);
    core::SceneObject& o = c.scene.object(plane);
    o.vertexCount = 3;
    o.vertex(1) = {-1, -1, -1};
    o.vertex(2) = {1, -1, -1};
    o.vertex(3) = {-1, 1, 1};
    o.faceCount = 1;
    o.color = 0x008000;
    PictureScene::setFace(o, 1, 1, 2, 3);
    return plane;
}

// Dotted lines draw only their dots: a cube edge under a plane's outline stays whole, as wide
// and as thin lines go.
TEST(Render, EdgesUnderADottedOutlineStayWhole) {
    for (const int width : {1, 2}) {
        SCOPED_TRACE(width);
        Canvas c(240, 200, 45);
        c.settings.IsOsi = false;
        c.settings.lineWidth = width;
        c.addCube(-1, 2, 0x800000); // navy
        ASSERT_EQ(c.canvas.redraw(), RedrawResult::Drawn);
        const QImage cube = c.canvas.image();
        AddPlaneOnCubeEdge(c);
        ASSERT_EQ(c.canvas.redraw(), RedrawResult::Drawn);
        int edge = 0, lost = 0;
        for (int y = 0; y < cube.height(); ++y)
            for (int x = 0; x < cube.width(); ++x) {
                if ((cube.pixel(x, y) | 0xFF000000u) != qRgb(0, 0, 128)) continue;
                ++edge;
                const QRgb now = c.at(x, y);
                lost += now != qRgb(0, 0, 128) && now != qRgb(0, 128, 0);
            }
        ASSERT_GT(edge, 0);
        EXPECT_EQ(lost, 0);
    }
}

// The highlight of a plane's edge is gone once the edge is no longer picked, though the dotted
// outline drawn over it leaves its gaps unpainted: the picture is the one never picked.
TEST(Render, APlanesEdgeHighlightLeavesNoTrace) {
    for (const int width : {1, 2}) {
        SCOPED_TRACE(width);
        Canvas c(240, 200, 45);
        c.settings.IsOsi = false;
        c.settings.lineWidth = width;
        c.addCube(-1, 2, 0x800000);
        const int plane = AddPlaneOnCubeEdge(c);
        ASSERT_EQ(c.canvas.redraw(), RedrawResult::Drawn);
        ASSERT_EQ(c.canvas.interactivePass({-10, -10}), RedrawResult::Drawn);
        const QImage unpicked = c.canvas.image().copy();
        for (const auto& [v1, v2] : {std::pair{2, 3}, std::pair{3, 1}}) {
            const ScreenPoint a = c.canvas.engine().screen(plane, v1),
                              b = c.canvas.engine().screen(plane, v2);
            const PickTarget edge{
                PickKind::Edge, {plane, v1, v2, {}}, (a.x + b.x) / 2.0, (a.y + b.y) / 2.0};
            ASSERT_EQ(c.canvas.pickPass(edge), RedrawResult::Drawn);
            EXPECT_NE(c.canvas.image(), unpicked);
            ASSERT_EQ(c.canvas.interactivePass({-10, -10}), RedrawResult::Drawn);
            EXPECT_EQ(c.canvas.image(), unpicked) << v1 << "-" << v2;
        }
    }
}

TEST(Golden, CubeWithPlaneAndPolyline) {
    // No text: glyphs depend on the fonts installed, lines do not.
    Canvas c(240, 200, 45);
    c.settings.IsOsi = false;
    c.addCube(-1, 2, 0x800000);
    const int plane = c.add(core::ObjectType::Plane);
    c.scene.object(plane).faceCount = 1;
    c.scene.object(plane).color = 0x008000;
    PictureScene::setFace(c.scene.object(plane), 1, 1, 2, 3);
    const int line = c.addPolyline(6);
    c.scene.object(line).color = 0x0000FF;
    ASSERT_EQ(c.canvas.redraw(), RedrawResult::Drawn);
    ExpectGolden(c.canvas.image(), QStringLiteral("cube_plane_polyline.png"));
    ASSERT_EQ(c.canvas.interactivePass({-10, -10}), RedrawResult::Drawn);
    ExpectGolden(c.canvas.image(), QStringLiteral("cube_plane_polyline_nodes.png"));
}

} // namespace
} // namespace vorn::pic
