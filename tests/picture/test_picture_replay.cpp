// The fast replay of display lists against a primitive-by-primitive painter: the same pixels.
#include "picture_fixture.h"
#include "qt_app.h"

#include "picture/picture_canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include <random>

namespace vorn::pic {
namespace {

// The painter as it was before the fast replay: a new pen and background for every primitive,
// every line through drawPolyline. The fast replay must match it pixel for pixel.

void ReferencePaintOp(QPainter& painter, const DrawOp& op) {
    const auto at = [](ScreenPoint p) { return QPoint(p.x, p.y); };
    switch (op.kind) {
    case DrawOp::Kind::Fill:
        painter.fillRect(QRect(at(op.a()), at(op.b()) - QPoint(1, 1)), Rgb(op.brush));
        break;
    case DrawOp::Kind::Rect: {
        const QRect r(at(op.a()), at(op.b()) - QPoint(1, 1));
        painter.fillRect(r, Rgb(op.brush));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(QPen(Rgb(op.pen), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        break;
    }
    case DrawOp::Kind::Line:
    case DrawOp::Kind::Polyline: {
        QPen pen(Rgb(op.pen));
        pen.setWidth(1);
        pen.setStyle(QtStyle(op.style));
        painter.setPen(pen);
        // Dotted and dashed pens leave their gaps unpainted.
        painter.setBackgroundMode(Qt::TransparentMode);
        QPolygon poly;
        for (int i = 0; i < op.count; ++i) {
            const QPoint p = at(op.pts[static_cast<std::size_t>(i)]);
            if (poly.isEmpty() || poly.last() != p) poly << p;
        }
        if (poly.size() >= 2) painter.drawPolyline(poly);
        break;
    }
    case DrawOp::Kind::Text: {
        const QFont font = PictureFont(op.fontSize, op.bold);
        painter.setFont(font);
        const QFontMetrics metrics(font, painter.device());
        const QString text = QString::fromStdString(op.text);
        const QPoint top = at(op.a());
        if (op.opaque)
            painter.fillRect(QRect(top, QSize(metrics.horizontalAdvance(text), metrics.height())),
                             Rgb(op.brush));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(Rgb(op.pen));
        painter.drawText(top + QPoint(0, metrics.ascent()), text);
        break;
    }
    }
}

void ReferencePaint(QImage& image, const DisplayList& list) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    for (const DrawOp& op : list)
        ReferencePaintOp(painter, op);
}

// Pixels where the two pictures differ.
int Differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Both painters on two copies of one starting picture.
int DifferingAfterPaint(const DisplayList& list, QImage::Format format) {
    test::EnsureQtApp();
    QImage start(320, 240, format);
    start.fill(QColor(250, 240, 230));
    QImage fast = start.copy(), reference = start.copy();
    PaintDisplayList(fast, list);
    ReferencePaint(reference, list);
    return Differing(fast, reference);
}

// ---- random display lists --------------------------------------------------------------------

enum class Mix {
    Lines,    // solid segments only
    Outlines, // closed triangle outlines, as faces that are not polyhedron edges come
    All,      // every kind of primitive, styled pens too
};

struct RandomCase {
    const char* name;
    unsigned seed;
    int ops;
    int reach;  // largest step from a segment's start, in pixels
    int margin; // how far points may lie outside the 320 x 240 picture
    Mix mix;
};

void PrintTo(const RandomCase& c, std::ostream* os) {
    *os << c.name;
}

class RandomLists : public ::testing::TestWithParam<RandomCase> {};

DisplayList MakeRandomList(const RandomCase& c) {
    std::mt19937 rng(c.seed);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    const std::uint32_t colours[] = {0x0000FF, 0xFF0000, 0x008000, 0x000000, 0xC0C0C0};
    const auto point = [&] {
        return ScreenPoint{pick(-c.margin, 319 + c.margin), pick(-c.margin, 239 + c.margin)};
    };
    // Far-away neighbours stay within int: the sum is taken wide and held at the limits.
    const auto step = [&](int from) {
        const long long to = static_cast<long long>(from) + pick(-c.reach, c.reach);
        return static_cast<int>(std::clamp<long long>(to, INT_MIN, INT_MAX));
    };
    const auto near = [&](ScreenPoint p) { return ScreenPoint{step(p.x), step(p.y)}; };
    DisplayList list;
    ScreenPoint last = point();
    for (int i = 0; i < c.ops; ++i) {
        DrawOp op;
        op.pen = colours[pick(0, 4)];
        op.brush = colours[pick(0, 4)];
        // Runs of one colour, as the edges of one object come.
        if (!list.empty() && pick(0, 3) != 0) op.pen = list.back().pen;
        const int kind = c.mix == Mix::Lines ? 0 : c.mix == Mix::Outlines ? 5 : pick(0, 9);
        if (kind <= 4) {
            op.kind = DrawOp::Kind::Line;
            // Half the segments repeat an earlier one, often reversed, as shared mesh edges do.
            if (!list.empty() && pick(0, 1) == 0 && list.back().kind == DrawOp::Kind::Line) {
                const DrawOp& prev = list[static_cast<std::size_t>(
                    pick(std::max(0, int(list.size()) - 8), int(list.size()) - 1))];
                op.pts[0] = prev.pts[1];
                op.pts[1] = pick(0, 2) == 0 ? near(prev.pts[1]) : prev.pts[0];
            } else {
                op.pts[0] = pick(0, 3) == 0 ? point() : last;
                op.pts[1] = pick(0, 9) == 0 ? op.pts[0] : near(op.pts[0]);
            }
            op.count = 2;
            if (c.mix == Mix::All && pick(0, 3) == 0)
                op.style = pick(0, 1) ? PenStyle::Dot : PenStyle::Dash;
            last = op.pts[1];
        } else if (kind <= 6) {
            op.kind = DrawOp::Kind::Polyline;
            op.pts[0] = point();
            op.pts[1] = pick(0, 4) == 0 ? op.pts[0] : near(op.pts[0]);
            op.pts[2] = near(pick(0, 1) ? op.pts[1] : op.pts[0]);
            op.pts[3] = op.pts[0];
            op.count = 4;
            op.style = c.mix == Mix::All ? static_cast<PenStyle>(pick(0, 2)) : PenStyle::Solid;
        } else if (kind == 7) {
            op.kind = pick(0, 1) ? DrawOp::Kind::Rect : DrawOp::Kind::Fill;
            op.pts[0] = point();
            op.pts[1] = {op.pts[0].x + pick(1, 6), op.pts[0].y + pick(1, 6)};
            op.count = 2;
        } else {
            op.kind = DrawOp::Kind::Text;
            op.pts[0] = point();
            op.count = 1;
            op.text = pick(0, 1) ? "12" : "Ж";
            op.fontSize = pick(0, 1) ? kFontSize : kObjectNumberFontSize;
            op.bold = pick(0, 1) == 0;
            op.opaque = pick(0, 1) == 0;
        }
        list.push_back(op);
    }
    return list;
}

TEST_P(RandomLists, SamePixelsAsOneByOne) {
    const DisplayList list = MakeRandomList(GetParam());
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_ARGB32})
        EXPECT_EQ(DifferingAfterPaint(list, format), 0) << "format " << format;
}

INSTANTIATE_TEST_SUITE_P(
    Replay, RandomLists,
    ::testing::Values(RandomCase{"ShortSegments", 1, 6000, 3, 0, Mix::Lines},
                      RandomCase{"MeshSizedSegments", 2, 6000, 12, 0, Mix::Lines},
                      RandomCase{"LongSegments", 3, 1500, 400, 0, Mix::Lines},
                      RandomCase{"SegmentsLeavingThePicture", 4, 3000, 60, 80, Mix::Lines},
                      RandomCase{"SmallOutlines", 8, 20000, 3, 0, Mix::Outlines},
                      RandomCase{"MeshSizedOutlines", 9, 8000, 15, 0, Mix::Outlines},
                      RandomCase{"OutlinesAcrossTheBorder", 10, 3000, 60, 40, Mix::Outlines},
                      RandomCase{"AllKindsInside", 5, 4000, 10, 0, Mix::All},
                      RandomCase{"AllKindsAcrossTheBorder", 6, 4000, 40, 30, Mix::All},
                      RandomCase{"FarAwayPoints", 7, 500, 1000000000, 1000000000, Mix::All}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- whole passes ------------------------------------------------------------------------------

// Picks vertex 1 of the first edge walked and holds one fixed measurement line, so a pass
// draws the highlight, the marked points with their dotted line and the dashed projections.
class PickFirst : public PassHooks {
  public:
    void hitTestEdge(Pick& pick, int slot, int v1, int, ScreenPoint, ScreenPoint,
                     ScreenPoint) override {
        if (pick.any()) return;
        pick.object = slot;
        pick.vertex1 = v1;
        pick.point = {1, 1, 1};
    }
    std::span<MarkedElement> measureElements() override { return m_marked; }

  private:
    std::array<MarkedElement, 1> m_marked{
        {MarkedElement{2, 2, {geo::Vec3{0, 0, 0}, geo::Vec3{1, 2, 0}}, {}}}};
};

struct PassScene : test::PictureScene {
    PictureCanvas canvas{env};
    PickFirst hooks;
    PassScene() {
        test::EnsureQtApp();
        settings.PutVerNum = true;
        settings.isProject = true;
        addCube(-1, 2, 0x800000);
        const int plane = add(core::ObjectType::Plane);
        scene.object(plane).faceCount = 1;
        setFace(scene.object(plane), 1, 1, 2, 3);
        addPolyline(30);
        addDenseMesh();
        canvas.resize(300, 220);
        canvas.engine().setReady(true);
        canvas.view().setZoom(40, 40, 40);
    }

    // A closed band of 400 triangles around the z axis, every edge drawn.
    void addDenseMesh() {
        const int slot = add(core::ObjectType::Polyhedron);
        core::SceneObject& o = scene.object(slot);
        o.color = 0x008080;
        constexpr int n = 100;
        o.vertexCount = 2 * n;
        for (int i = 0; i < n; ++i) {
            const double t = 2 * M_PI * i / n;
            o.vertex(i + 1) = {float(2.5 * std::cos(t)), float(2.5 * std::sin(t)), -1};
            o.vertex(n + i + 1) = {float(1.5 * std::cos(t)), float(1.5 * std::sin(t)), 1.5f};
        }
        for (int i = 0; i < n; ++i) {
            const int a = i + 1, b = (i + 1) % n + 1;
            setFace(o, ++o.faceCount, a, b, n + b);
            setFace(o, ++o.faceCount, a, n + b, n + a);
            setFace(o, ++o.faceCount, n + a, n + b, b);
            setFace(o, ++o.faceCount, n + a, b, a);
        }
        for (auto& edges : scene.edgeVisibility(slot))
            edges = {1, 1, 1};
    }

    // Runs a pass and paints its primitives the old way over the picture the pass started from.
    int differingAfter(const std::function<RedrawResult()>& pass) {
        QImage reference = canvas.image().copy();
        if (pass() != RedrawResult::Drawn) return -1;
        ReferencePaint(reference, canvas.lastPass());
        return Differing(canvas.image(), reference);
    }
};

TEST(ReplayPasses, PlainAndInteractivePassesInEveryTurnMatchOneByOne) {
    PassScene s;
    s.canvas.engine().setHooks(&s.hooks);
    for (const auto& [h, v] : {std::pair{27, 49}, {0, 36}, {9, 0}, {50, 70}, {13, 18}}) {
        s.canvas.view().setTurn(h, v);
        EXPECT_EQ(s.differingAfter([&] { return s.canvas.redraw(); }), 0) << h << "," << v;
        EXPECT_EQ(s.differingAfter([&] {
            return s.canvas.interactivePass({150, 110});
        }),
                  0)
            << h << "," << v;
    }
    // A zoom that throws most of the scene past the borders.
    s.canvas.view().setZoom(400, 400, 400);
    EXPECT_EQ(s.differingAfter([&] { return s.canvas.redraw(); }), 0);
}

TEST(ReplayPasses, PaintingIntoACopyLeavesTheOriginalAlone) {
    test::EnsureQtApp();
    QImage original(64, 48, QImage::Format_RGB32);
    original.fill(Qt::white);
    QImage copy = original; // shares the pixels until written
    DrawOp line;
    line.kind = DrawOp::Kind::Line;
    line.pts = {ScreenPoint{2, 2}, ScreenPoint{60, 40}};
    line.count = 2;
    PaintDisplayList(copy, {line});
    EXPECT_EQ(original.pixel(31, 21), qRgb(255, 255, 255));
    EXPECT_EQ(copy.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(copy.pixel(60, 40), qRgb(0, 0, 0));
}

} // namespace
} // namespace vorn::pic
