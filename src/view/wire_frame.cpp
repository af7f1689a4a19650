// The wire-frame picture engine: projection pass, axis pass and drawing pass into a display list.
#include "view/wire_frame.h"

#include "core/object_view.h"
#include "geometry/primitives.h"
#include "geometry/tolerances.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>

namespace vorn::pic {

namespace {

using core::ObjectType;
using core::SceneObject;

// Border intersections are computed in floating point; a point a hair outside the picture edge
// still lies on it.
constexpr double kBorderSlack = 1e-6;
constexpr char kAxisLetters[] = "0xyz";

ScreenPoint Round(double x, double y) {
    return {RoundPixel(x), RoundPixel(y)};
}

geo::Vec3 Flat(const ProjectedVertex& p) {
    return {p.px, p.py, 0};
}
geo::Vec3 Spatial(const ProjectedVertex& p) {
    return {p.px, p.py, p.depth};
}

DrawOp Op(DrawOp::Kind kind, Role role, std::uint32_t pen, std::uint32_t brush) {
    DrawOp op;
    op.kind = kind;
    op.role = role;
    op.pen = pen;
    op.brush = brush;
    return op;
}

// A new primitive at the end of the list, filled in place.
DrawOp& Push(DisplayList& out, DrawOp::Kind kind, Role role, std::uint32_t pen,
             std::uint32_t brush) {
    DrawOp& op = out.emplace_back();
    op.kind = kind;
    op.role = role;
    op.pen = pen;
    op.brush = brush;
    return op;
}

DrawOp LineOp(Role role, ScreenPoint a, ScreenPoint b, std::uint32_t pen, std::uint32_t gaps,
              PenStyle style) {
    DrawOp op = Op(DrawOp::Kind::Line, role, pen, gaps);
    op.pts[0] = a;
    op.pts[1] = b;
    op.count = 2;
    op.style = style;
    return op;
}

// The square drawn around a node or point: (x - before, y - before) to (x + after, y + after).
DrawOp SquareOp(Role role, ScreenPoint c, int before, int after, std::uint32_t pen,
                std::uint32_t fill) {
    DrawOp op = Op(DrawOp::Kind::Rect, role, pen, fill);
    op.pts[0] = {c.x - before, c.y - before};
    op.pts[1] = {c.x + after, c.y + after};
    op.count = 2;
    return op;
}

DrawOp TextOp(Role role, ScreenPoint at, std::string text, std::uint32_t colour, int size,
              bool bold) {
    DrawOp op = Op(DrawOp::Kind::Text, role, colour, 0);
    op.pts[0] = at;
    op.count = 1;
    op.text = std::move(text);
    op.fontSize = size;
    op.bold = bold;
    return op;
}

bool Inside(const ProjectedVertex& p, int w, int h) {
    return p.px >= 0 && p.px <= w && p.py >= 0 && p.py <= h;
}

bool NearPicture(double x, double y, int w, int h) {
    return x >= -kClipMargin && x <= w + kClipMargin && y >= -kClipMargin && y <= h + kClipMargin;
}

int LineWidthOf(const core::Settings& s) {
    return std::clamp(s.lineWidth, core::kMinLineWidth, core::kMaxLineWidth);
}
int LabelSizeOf(const core::Settings& s) {
    return std::clamp(s.labelFontSize, core::kMinLabelFontSize, core::kMaxLabelFontSize);
}
// A distance laid out around a label of the classic size, grown with the chosen size.
int ByFont(int length, int size) {
    return static_cast<int>(std::lround(length * size / static_cast<double>(kFontSize)));
}

// Half way from `rgb` to `background`, channel by channel.
std::uint32_t Lighter(std::uint32_t rgb, std::uint32_t background) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t a = (rgb >> shift) & 0xFF, b = (background >> shift) & 0xFF;
        out |= ((a + b + 1) / 2) << shift;
    }
    return out;
}

int Utf8Length(std::string_view s) {
    return static_cast<int>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

std::optional<ScreenSegment> ClipToPicture(double ax, double ay, double bx, double by, int width,
                                           int height, bool wholeLine) {
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by))
        return std::nullopt;
    if (NearPicture(ax, ay, width, height) && NearPicture(bx, by, width, height))
        return ScreenSegment{Round(ax, ay), Round(bx, by)};
    const double a[2] = {ax, ay}, d[2] = {bx - ax, by - ay};
    const double lo[2] = {-kClipMargin, -kClipMargin};
    const double hi[2] = {width + kClipMargin, height + kClipMargin};
    // Liang and Barsky: each pair of borders narrows the range of t that stays inside.
    const auto clip = [&](double t1, double t2) -> std::optional<ScreenSegment> {
        for (int k = 0; k < 2; ++k) {
            if (d[k] == 0) {
                if (a[k] < lo[k] || a[k] > hi[k]) return std::nullopt;
                continue;
            }
            const double u = (lo[k] - a[k]) / d[k], v = (hi[k] - a[k]) / d[k];
            t1 = std::max(t1, std::min(u, v));
            t2 = std::min(t2, std::max(u, v));
        }
        if (t1 > t2) return std::nullopt;
        return ScreenSegment{Round(ax + t1 * d[0], ay + t1 * d[1]),
                             Round(ax + t2 * d[0], ay + t2 * d[1]), t1, t2};
    };
    if (auto s = clip(0, 1)) return s;
    if (!wholeLine) return std::nullopt;
    const double far = std::numeric_limits<double>::infinity();
    return clip(-far, far);
}

bool HiddenPassDuringDrag(std::optional<std::chrono::nanoseconds> lastPass) {
    return !lastPass || *lastPass < kDragHiddenPassBudget;
}

WireFrame::WireFrame(core::Env& env)
    : m_env(env), m_view(env.scene.header),
      m_projected(static_cast<std::size_t>(core::kSlotCount * core::kMaxVertices)),
      m_screen(static_cast<std::size_t>(core::kMaxVertices) + 1),
      m_near(static_cast<std::size_t>(core::kMaxVertices) + 1) {}

void WireFrame::resize(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_view.fitBase = std::min(m_width, m_height);
}

void WireFrame::fit() {
    // The axis ends start again from the unit points: lengthened while the picture was zoomed
    // far out, they would otherwise stay millions of pixels long for the rest of the run.
    SceneObject& axes = m_env.scene.object(core::kAxesSlot);
    if (axes.vertexCount >= 4)
        for (int k = 1; k <= 3; ++k)
            axes.vertex(k + 1) = {k == 1 ? 1.0f : 0.0f, k == 2 ? 1.0f : 0.0f, k == 3 ? 1.0f : 0.0f};
    FitPicture(m_view, m_env.scene, m_env.settings);
}

ProjectedVertex& WireFrame::table(int slot, int vertex) {
    return m_projected[static_cast<std::size_t>(slot * core::kMaxVertices + vertex - 1)];
}

const ProjectedVertex& WireFrame::projected(int slot, int vertex) const {
    return m_projected[static_cast<std::size_t>(slot * core::kMaxVertices + vertex - 1)];
}

ScreenPoint WireFrame::screen(int slot, int vertex) const {
    const ProjectedVertex& p = projected(slot, vertex);
    return Round(p.px, p.py);
}

std::optional<ScreenSegment> WireFrame::segment(int slot, int vertex1, int vertex2,
                                                bool wholeLine) const {
    const ProjectedVertex &a = projected(slot, vertex1), &b = projected(slot, vertex2);
    return ClipToPicture(a.px, a.py, b.px, b.py, m_width, m_height, wholeLine);
}

void WireFrame::hitTest(int slot, int vertex1, int vertex2, const ScreenSegment& s,
                        ScreenPoint mouse) {
    if (const double radius = m_hooks->pickRadius(); radius > 0)
        hitNearest(slot, vertex1, vertex2, s, mouse, radius);
    const Pick was = m_pick;
    m_hooks->hitTestEdge(m_pick, slot, vertex1, vertex2, s.p1, s.p2, mouse);
    if (m_pick.object == was.object && m_pick.vertex1 == was.vertex1 &&
        m_pick.vertex2 == was.vertex2 && m_pick.point == was.point)
        return;
    m_pickRank = {-1, false, 0};
    if (!s.cut() || m_pick.object != slot || m_pick.vertex1 != vertex1 || m_pick.vertex2 != vertex2)
        return;
    // The point was placed between the moved ends; the same share of the moved part of the
    // edge is the point under the pointer.
    const SceneObject& o = m_env.scene.object(slot);
    const core::Vec3f &v1 = o.vertex(vertex1), &v2 = o.vertex(vertex2);
    const geo::Vec3 a(v1.x, v1.y, v1.z), ab = geo::Vec3(v2.x, v2.y, v2.z) - a;
    const double length2 = geo::dot(ab, ab);
    if (length2 == 0) return;
    const double share = geo::dot(m_pick.point - a, ab) / length2;
    m_pick.point = a + ab * (s.t1 + (s.t2 - s.t1) * share);
}

void WireFrame::hitNearest(int slot, int vertex1, int vertex2, const ScreenSegment& s,
                           ScreenPoint mouse, double radius) {
    // With outlines a mesh line that is not one of the feature lines is not drawn.
    if (m_hidden) {
        const auto drawn = m_hidden->meshLines.find(slot);
        if (drawn != m_hidden->meshLines.end() && !drawn->second.count({vertex1, vertex2}) &&
            !drawn->second.count({vertex2, vertex1}))
            return;
    }
    const bool removed = hiddenMode() == core::kHiddenRemoved;
    const auto offer = [&](const Pick& pick, PickRank rank, bool tieWins) {
        if (rank.distance > radius || (rank.hidden && removed)) return;
        const PickRank& best = m_pickRank;
        const bool better = !m_pick.any()                    ? true
                            : rank.kind != best.kind         ? rank.kind < best.kind
                            : rank.hidden != best.hidden     ? !rank.hidden
                            : rank.distance != best.distance ? rank.distance < best.distance
                                                             : tieWins;
        if (!better) return;
        m_pick = pick;
        m_pickRank = rank;
    };
    const SceneObject& o = m_env.scene.object(slot);
    const core::Vec3f &v1 = o.vertex(vertex1), &v2 = o.vertex(vertex2);
    const geo::Vec3 a(v1.x, v1.y, v1.z), ab = geo::Vec3(v2.x, v2.y, v2.z) - a;
    const std::vector<std::pair<double, double>> hidden = hiddenParts(slot, vertex1, vertex2);
    const double mx = mouse.x, my = mouse.y;

    // The start vertex, where the segment was not moved off it. Objects drawn with nodes know
    // which of them lie behind faces; the others' vertices are hidden with their lines.
    if (s.t1 == 0) {
        const bool nodes = o.type == ObjectType::Point || o.type == ObjectType::Polyline ||
                           o.type == ObjectType::Polyhedron;
        const bool behind = nodes ? m_hidden && m_hidden->points.count({slot, vertex1}) != 0
                                  : !hidden.empty() && hidden.front().first <= 0;
        // Of coincident vertices the last one walked wins.
        offer({slot, vertex1, 0, a}, {0, behind, std::hypot(mx - s.p1.x, my - s.p1.y)}, true);
    }

    // The nearest point of each visible and each hidden piece of the segment as drawn; a
    // segment of no length is no edge to pick.
    const double dx = s.p2.x - s.p1.x, dy = s.p2.y - s.p1.y, length2 = dx * dx + dy * dy;
    if (length2 == 0) return;
    const double foot = ((mx - s.p1.x) * dx + (my - s.p1.y) * dy) / length2;
    const double span = s.t2 - s.t1;
    const auto piece = [&](double t0, double t1, bool behind) {
        // From the edge's shares to the drawn segment's.
        const double u0 = std::max(0.0, (t0 - s.t1) / span), u1 = std::min(1.0, (t1 - s.t1) / span);
        if (u1 < u0) return;
        const double u = std::clamp(foot, u0, u1);
        const double d = std::hypot(mx - (s.p1.x + u * dx), my - (s.p1.y + u * dy));
        // Of edges equally near the first one walked wins.
        offer({slot, vertex1, vertex2, a + ab * (s.t1 + span * u)}, {1, behind, d}, false);
    };
    double at = 0;
    for (const auto& [h0, h1] : hidden) {
        if (h0 > at) piece(at, h0, false);
        piece(h0, h1, true);
        at = h1;
    }
    if (at < 1) piece(at, 1, false);
}

std::uint32_t WireFrame::roleRgb(core::ColorRole role) const {
    return m_env.settings.colorRgb(role);
}

int WireFrame::textWidth(std::string_view text, int size, bool bold) const {
    if (m_measure) return m_measure(text, size, bold);
    // A fixed-pitch estimate: Courier advances 0.6 em, 1 pt = 4/3 px.
    return Utf8Length(text) * static_cast<int>(std::lround(size * 0.8));
}

int WireFrame::hiddenMode() const {
    return m_modeOverride.value_or(m_env.settings.hiddenLines);
}

RedrawResult WireFrame::redraw(DisplayList& out, bool interactive, ScreenPoint mouse) {
    if (!m_ready) return RedrawResult::NotReady;
    if (m_busy) return RedrawResult::Busy;
    m_view.halfWidth = m_width / 2;
    m_view.halfHeight = m_height / 2;
    if (m_env.scene.observer().halfToneActive()) return RedrawResult::HalfTone;
    projectionPass();
    axisPass();
    m_hidden.reset();
    if ((hiddenMode() != core::kHiddenSolid || m_env.settings.outlines) && m_hiddenSource &&
        (!m_hiddenDeferred || HiddenPassDuringDrag(m_lastHiddenPass))) {
        const auto start = std::chrono::steady_clock::now();
        m_hidden = m_hiddenSource(m_view);
        m_lastHiddenPass = std::chrono::steady_clock::now() - start;
    }
    DrawOp clear = Op(DrawOp::Kind::Fill, Role::Background, 0, roleRgb(core::kColorBackground));
    clear.pts[0] = {0, 0};
    clear.pts[1] = {m_width, m_height};
    clear.count = 2;
    out.push_back(clear);
    return drawPass(out, interactive ? std::optional<ScreenPoint>(mouse) : std::nullopt);
}

void WireFrame::projectionPass() {
    core::Scene& scene = m_env.scene;
    for (std::span<MarkedElement> list : {m_hooks->measureElements(), m_hooks->placedPoints()}) {
        for (MarkedElement& e : list) {
            const int n = std::clamp(e.pointCount, 0, 4);
            for (int k = 0; k < n; ++k) {
                const Projected p = ProjectPoint(m_view, e.points[static_cast<std::size_t>(k)]);
                e.screen[static_cast<std::size_t>(k)] = Round(p.px, p.py);
            }
        }
    }
    scene.object(core::kAxesSlot).visible = m_env.settings.IsOsi ? 1 : 0;
    const int count = std::min(scene.objectCount(), core::kMaxObjectCount);
    for (int slot = 1; slot <= count; ++slot) {
        SceneObject& o = scene.object(slot);
        if (!o.visible && o.type != ObjectType::Axes) continue;
        if (o.vertexCount < 0 || o.vertexCount > core::kMaxVertices) continue; // damaged record
        core::ComputeBoundsAndPivot(o);
        for (int i = 1; i <= o.vertexCount; ++i) {
            const core::Vec3f& v = o.vertex(i);
            const Projected p = ProjectPoint(m_view, v.x, v.y, v.z);
            table(slot, i) = {static_cast<float>(p.px), static_cast<float>(p.py),
                              static_cast<float>(p.depth)};
        }
    }
}

void WireFrame::axisPass() {
    SceneObject& axes = m_env.scene.object(core::kAxesSlot);
    m_view.degenerateAxis = 0;
    const ProjectedVertex origin = table(core::kAxesSlot, 1);
    m_labels = {};
    const int font = LabelSizeOf(m_env.settings);
    m_labels[0] = Round(origin.px + 2, origin.py - ByFont(12, font));
    const int w = m_width, h = m_height;
    const std::array<std::array<geo::Vec3, 2>, 4> borders = {{
        {geo::Vec3(0, 0, 0), geo::Vec3(w, 0, 0)}, // top
        {geo::Vec3(w, 0, 0), geo::Vec3(w, h, 0)}, // right
        {geo::Vec3(w, h, 0), geo::Vec3(0, h, 0)}, // bottom
        {geo::Vec3(0, h, 0), geo::Vec3(0, 0, 0)}, // left
    }};
    for (int k = 1; k <= 3; ++k) {
        ProjectedVertex& end = table(core::kAxesSlot, k + 1);
        const double dx = end.px - origin.px, dy = end.py - origin.py;
        const double dd = end.depth - origin.depth;
        const double len = std::sqrt(dx * dx + dy * dy + dd * dd);
        const double q = len < geo::kEpsCoord ? 0.0 : -dd / len;
        if (std::fabs(std::fabs(q) - 1) < 0.0001) {
            m_view.degenerateAxis = k;
            continue;
        }
        // Lengthen the axis past the picture border. An axis of no picture length can never
        // leave the picture, so it is not lengthened at all; the count bounds the rest.
        core::Vec3f& v = axes.vertex(k + 1);
        float& coord = k == 1 ? v.x : (k == 2 ? v.y : v.z);
        for (int n = 0; n < kMaxAxisDoublings && Inside(end, w, h); ++n) {
            if (std::hypot(end.px - origin.px, end.py - origin.py) < geo::kEpsCoord) break;
            const float doubled = coord * 2;
            if (!std::isfinite(doubled) || doubled == coord) break;
            coord = doubled;
            const Projected p = ProjectPoint(m_view, v.x, v.y, v.z);
            end = {static_cast<float>(p.px), static_cast<float>(p.py), static_cast<float>(p.depth)};
        }
        // The label goes where the axis line leaves the picture, farthest from the origin.
        const geo::Vec3 o = Flat(origin), e = Flat(end);
        double best = 0;
        for (const auto& border : borders) {
            const geo::Point2Result r = geo::LineIntersection2D(o, e, border[0], border[1]);
            if (r.error) continue;
            if (geo::SignTol(static_cast<float>(r.x - o.x)) !=
                    geo::SignTol(static_cast<float>(e.x - o.x)) ||
                geo::SignTol(static_cast<float>(r.y - o.y)) !=
                    geo::SignTol(static_cast<float>(e.y - o.y)))
                continue;
            const double x0 = std::min(border[0].x, border[1].x),
                         x1 = std::max(border[0].x, border[1].x);
            const double y0 = std::min(border[0].y, border[1].y),
                         y1 = std::max(border[0].y, border[1].y);
            if (r.x < x0 - kBorderSlack || r.x > x1 + kBorderSlack || r.y < y0 - kBorderSlack ||
                r.y > y1 + kBorderSlack)
                continue;
            const double dist = std::hypot(r.x - o.x, r.y - o.y);
            if (dist <= best) continue;
            best = dist;
            m_labels[static_cast<std::size_t>(k)] = Round(r.x, r.y);
        }
        // Pull the label inside the picture so that its letter shows.
        if (auto& label = m_labels[static_cast<std::size_t>(k)]) {
            if (std::abs(label->x) < 5) label->x += 5;
            if (std::abs(label->y) < 5) label->y += 5;
            if (std::abs(label->x - w) < ByFont(10, font)) label->x -= ByFont(15, font);
            if (std::abs(label->y - h) < ByFont(10, font)) label->y -= ByFont(15, font);
        }
    }
}

RedrawResult WireFrame::drawPass(DisplayList& out, std::optional<ScreenPoint> mouse) {
    if (!m_ready) return RedrawResult::NotReady;
    if (m_env.scene.observer().halfToneActive()) return RedrawResult::HalfTone;
    if (m_busy) return RedrawResult::Busy;
    m_busy = true;
    const Pick before = m_pick;
    m_pick = {};
    m_pickRank = {};
    const bool interactive = mouse.has_value();
    const ScreenPoint m = mouse.value_or(ScreenPoint{});
    const std::size_t first = out.size();

    const core::Scene& scene = m_env.scene;
    const int count = std::min(scene.objectCount(), core::kMaxObjectCount);
    // Room for the objects' primitives, so the list need not grow while they are added.
    std::size_t room = 64;
    for (int slot = 1; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        room += 3 * static_cast<std::size_t>(core::UsableFaceCount(o));
        if (interactive) room += 3 * static_cast<std::size_t>(core::UsableVertexCount(o));
    }
    out.reserve(out.size() + room);
    // The objects drawn next cover what lay under the erased highlight again.
    for (const ScreenSegment& s : m_highlightShown)
        out.push_back(LineOp(Role::PickErase, s.p1, s.p2, roleRgb(core::kColorBackground),
                             roleRgb(core::kColorBackground), PenStyle::Solid));
    m_highlightShown.clear();
    // Where objects meet, the place is lettered once.
    m_vertexLabels.reset();
    if (interactive && m_env.settings.PutVerNum) m_vertexLabels.emplace(scene, m_env.settings);
    for (int slot = 1; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        if (o.visible || o.type == ObjectType::Axes) drawObjects(out, slot, interactive, m);
    }

    if (m_forcedPick) m_pick = *m_forcedPick;
    drawPickHighlight(out);
    m_hooks->afterObjects(m_pick, m, interactive);
    drawMarked(out);
    drawProjectionLines(out, interactive, m);
    // Every line and frame of the pass takes the chosen width.
    for (std::size_t i = first; i < out.size(); ++i)
        if (out[i].kind != DrawOp::Kind::Fill && out[i].kind != DrawOp::Kind::Text)
            out[i].width = LineWidthOf(m_env.settings);
    m_hooks->endPass(m_pick, before);
    m_busy = false;
    return RedrawResult::Drawn;
}

void WireFrame::drawObjects(DisplayList& out, int slot, bool interactive, ScreenPoint mouse) {
    const core::Settings& settings = m_env.settings;
    const SceneObject& o = m_env.scene.object(slot);
    if (o.vertexCount < 0 || o.vertexCount > core::kMaxVertices) return; // damaged record
    const bool isAxes = o.type == ObjectType::Axes;
    const std::uint32_t background = roleRgb(core::kColorBackground);
    const int w = LineWidthOf(settings);

    if (isAxes && settings.IsOsi) {
        for (int j = 0; j <= 3; ++j) {
            const auto& label = m_labels[static_cast<std::size_t>(j)];
            if (!label || (j > 0 && j == m_view.degenerateAxis)) continue;
            DrawOp letter = TextOp(Role::AxisLetter, *label, std::string(1, kAxisLetters[j]),
                                   roleRgb(core::kColorLabels), LabelSizeOf(settings), false);
            letter.slot = slot;
            out.push_back(letter);
            if (j > 0 && o.vertexCount >= 4 + j) {
                DrawOp mark =
                    SquareOp(Role::AxisMark, screen(slot, 4 + j), w, 2 * w, o.color, o.color);
                mark.slot = slot;
                mark.vertex = 4 + j;
                out.push_back(mark);
            }
        }
    }

    const bool visible = o.visible != 0;
    const bool polyhedron = o.type == ObjectType::Polyhedron;
    const PenStyle style = o.type == ObjectType::Plane ? PenStyle::Dot : PenStyle::Solid;
    const core::EdgeFlags& edges = m_env.scene.edgeVisibility(slot);
    const int faces = core::UsableFaceCount(o);
    // Each vertex is rounded once, not once for every face it belongs to.
    for (int i = 1; i <= o.vertexCount; ++i) {
        const ProjectedVertex& p = projected(slot, i);
        m_screen[static_cast<std::size_t>(i)] = Round(p.px, p.py);
        m_near[static_cast<std::size_t>(i)] = NearPicture(p.px, p.py, m_width, m_height);
    }
    for (int f = 1; f <= faces; ++f) {
        if (isAxes && f == m_view.degenerateAxis) continue;
        const core::Face& face = o.face(f);
        const std::array<int, 4> vi = {face.vertex1, face.vertex2, face.vertex3, face.vertex1};
        // A face naming a vertex the object does not have comes from a damaged record.
        if (std::any_of(vi.begin(), vi.end(), [&](int v) { return v < 1 || v > o.vertexCount; }))
            continue;
        std::array<ScreenPoint, 4> c;
        for (std::size_t k = 0; k < 4; ++k)
            c[k] = m_screen[static_cast<std::size_t>(vi[k])];
        // A face reaching far outside the picture goes edge by edge, each cut to the picture.
        const bool cut = std::any_of(vi.begin(), vi.end() - 1,
                                     [&](int v) { return !m_near[static_cast<std::size_t>(v)]; });
        const auto edgeLine = [&](Role role, int e, ScreenPoint p1, ScreenPoint p2) {
            DrawOp& line = Push(out, DrawOp::Kind::Line, role, o.color, background);
            line.pts[0] = p1;
            line.pts[1] = p2;
            line.count = 2;
            line.style = style;
            line.slot = slot;
            line.face = f;
            line.edge = e;
        };
        // A line with hidden parts goes piece by piece: the visible ones as ever, the hidden
        // ones dashed or left out.
        const auto edgePieces = [&](Role role, int e, int v1, int v2) {
            const std::vector<std::pair<double, double>> hidden = hiddenParts(slot, v1, v2);
            if (hidden.empty()) {
                if (const auto s = segment(slot, v1, v2)) edgeLine(role, e, s->p1, s->p2);
                return;
            }
            const ProjectedVertex &pa = projected(slot, v1), &pb = projected(slot, v2);
            const auto piece = [&](double t0, double t1, PenStyle pen) {
                if (t1 <= t0) return;
                const auto s = ClipToPicture(
                    pa.px + t0 * (pb.px - pa.px), pa.py + t0 * (pb.py - pa.py),
                    pa.px + t1 * (pb.px - pa.px), pa.py + t1 * (pb.py - pa.py), m_width, m_height);
                if (!s) return;
                edgeLine(role, e, s->p1, s->p2);
                out.back().style = pen;
            };
            double at = 0;
            for (const auto& [h0, h1] : hidden) {
                piece(at, h0, style);
                if (hiddenMode() == core::kHiddenDashed) piece(h0, h1, PenStyle::Dash);
                at = h1;
            }
            piece(at, 1, style);
        };
        if (visible && !polyhedron && m_hidden) {
            // With outlines a mesh draws only its feature lines.
            const auto drawn = m_hidden->meshLines.find(slot);
            for (int e = 1; e <= 3; ++e) {
                const int v1 = vi[static_cast<std::size_t>(e - 1)],
                          v2 = vi[static_cast<std::size_t>(e)];
                if (drawn != m_hidden->meshLines.end() && !drawn->second.count({v1, v2}) &&
                    !drawn->second.count({v2, v1}))
                    continue;
                edgePieces(Role::FaceOutline, e, v1, v2);
            }
        } else if (visible && !polyhedron && !cut) {
            DrawOp& outline =
                Push(out, DrawOp::Kind::Polyline, Role::FaceOutline, o.color, background);
            outline.pts = c;
            outline.count = 4;
            outline.style = style;
            outline.slot = slot;
            outline.face = f;
        } else if (visible && !polyhedron) {
            for (int e = 1; e <= 3; ++e)
                if (const auto s = segment(slot, vi[static_cast<std::size_t>(e - 1)],
                                           vi[static_cast<std::size_t>(e)]))
                    edgeLine(Role::FaceOutline, e, s->p1, s->p2);
        }
        for (int e = 1; e <= 3; ++e) {
            const auto a = static_cast<std::size_t>(e - 1), b = static_cast<std::size_t>(e);
            if (settings.DrawContur && polyhedron && edges[static_cast<std::size_t>(f - 1)][a] == 0)
                continue;
            std::optional<ScreenSegment> s = ScreenSegment{c[a], c[b]};
            if (cut) s = segment(slot, vi[a], vi[b]);
            if (visible && polyhedron && m_hidden)
                edgePieces(Role::Edge, e, vi[a], vi[b]);
            else if (visible && polyhedron && s)
                edgeLine(Role::Edge, e, s->p1, s->p2);
            // Only what is drawn is picked: an axis from the origin outwards, not its other half.
            if (!interactive || !visible) continue;
            if (s && !m_forcedPick) hitTest(slot, vi[a], vi[b], *s, mouse);
        }
    }

    if (interactive && visible &&
        (o.type == ObjectType::Point || o.type == ObjectType::Polyline || polyhedron))
        drawNodes(out, slot);
}

// The element under the pointer.
void WireFrame::drawPickHighlight(DisplayList& out) {
    if (!m_pick.any()) return;
    const auto edge = [&](int v1, int v2) {
        if (const auto s = segment(m_pick.object, v1, v2)) {
            m_highlightShown.push_back(*s);
            out.push_back(LineOp(Role::PickedEdge, s->p1, s->p2, roleRgb(core::kColorActive),
                                 roleRgb(core::kColorBackground), PenStyle::Dot));
        }
    };
    if (m_pick.vertex1 == 0) { // a whole plane, picked from the keyboard: its outline
        const SceneObject& o = m_env.scene.object(m_pick.object);
        const int n = core::UsableVertexCount(o);
        for (int i = 1; i <= n && n > 1; ++i)
            edge(i, i % n + 1);
    } else if (m_pick.vertex2 != 0) {
        edge(m_pick.vertex1, m_pick.vertex2);
    } else if (m_env.settings.IsUsel) {
        const int w = LineWidthOf(m_env.settings);
        out.push_back(SquareOp(Role::PickedVertex, screen(m_pick.object, m_pick.vertex1), 2 * w,
                               3 * w, kRgbRed, kRgbRed));
    }
}

RedrawResult WireFrame::pickPass(DisplayList& out, const PickTarget& target) {
    m_forcedPick = target.pick;
    const RedrawResult r = drawPass(out, Round(target.x, target.y));
    m_forcedPick.reset();
    return r;
}

std::vector<PickTarget> WireFrame::pickTargets() const {
    const core::Scene& scene = m_env.scene;
    const auto inside = [this](double x, double y) {
        return x >= 0 && x <= m_width && y >= 0 && y <= m_height;
    };
    const auto point = [](const SceneObject& o, int i) {
        const core::Vec3f& v = o.vertex(i);
        return geo::Vec3(v.x, v.y, v.z);
    };
    const bool removed = m_hidden && hiddenMode() == core::kHiddenRemoved;
    std::vector<PickTarget> vertices, edges, planes;
    std::set<std::pair<int, int>> seenVertices;
    std::set<std::tuple<int, int, int>> seenEdges;
    const int count = std::min(scene.objectCount(), core::kMaxObjectCount);
    for (int slot = 1; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        if (!o.visible || o.vertexCount < 1 || o.vertexCount > core::kMaxVertices) continue;
        const bool isAxes = o.type == ObjectType::Axes;
        const core::EdgeFlags& flags = scene.edgeVisibility(slot);
        const int faces = core::UsableFaceCount(o);
        // The faces' edges as the hit test walks them: a vertex is tested as an edge's start.
        for (int f = 1; f <= faces; ++f) {
            if (isAxes && f == m_view.degenerateAxis) continue;
            const core::Face& face = o.face(f);
            const std::array<int, 4> vi = {face.vertex1, face.vertex2, face.vertex3, face.vertex1};
            if (std::any_of(vi.begin(), vi.end(),
                            [&](int v) { return v < 1 || v > o.vertexCount; }))
                continue;
            for (std::size_t e = 0; e < 3; ++e) {
                if (m_env.settings.DrawContur && o.type == ObjectType::Polyhedron &&
                    flags[static_cast<std::size_t>(f - 1)][e] == 0)
                    continue;
                const int a = vi[e], b = vi[e + 1];
                const ProjectedVertex &pa = projected(slot, a), &pb = projected(slot, b);
                // What is left out as hidden is not offered, as the pointer cannot pick it.
                const bool vertexLeftOut = removed && m_hidden->points.count({slot, a}) != 0;
                if (inside(pa.px, pa.py) && !vertexLeftOut && seenVertices.insert({slot, a}).second)
                    vertices.push_back({PickKind::Vertex, {slot, a, 0, point(o, a)}, pa.px, pa.py});
                // An axis line has no point of its own to offer without a pointer.
                if (isAxes || screen(slot, a) == screen(slot, b)) continue;
                const double mx = (pa.px + pb.px) / 2, my = (pa.py + pb.py) / 2;
                const auto parts =
                    removed ? hiddenParts(slot, a, b) : std::vector<std::pair<double, double>>{};
                if (std::any_of(parts.begin(), parts.end(),
                                [](const auto& h) { return h.first <= 0.5 && 0.5 <= h.second; }))
                    continue;
                if (inside(mx, my) &&
                    seenEdges.insert({slot, std::min(a, b), std::max(a, b)}).second)
                    edges.push_back(
                        {PickKind::Edge, {slot, a, b, (point(o, a) + point(o, b)) * 0.5}, mx, my});
            }
        }
        if (o.type != ObjectType::Plane) continue;
        geo::Vec3 centre;
        double cx = 0, cy = 0;
        for (int i = 1; i <= o.vertexCount; ++i) {
            centre = centre + point(o, i);
            cx += projected(slot, i).px;
            cy += projected(slot, i).py;
        }
        const double n = o.vertexCount;
        if (inside(cx / n, cy / n))
            planes.push_back({PickKind::Plane, {slot, 0, 0, centre * (1 / n)}, cx / n, cy / n});
    }
    const double ox = m_width / 2.0, oy = m_height / 2.0;
    const auto nearer = [ox, oy](const PickTarget& a, const PickTarget& b) {
        return std::hypot(a.x - ox, a.y - oy) < std::hypot(b.x - ox, b.y - oy);
    };
    std::vector<PickTarget> out;
    for (std::vector<PickTarget>* group : {&vertices, &edges, &planes}) {
        std::stable_sort(group->begin(), group->end(), nearer);
        out.insert(out.end(), group->begin(), group->end());
    }
    return out;
}

std::vector<std::vector<PickTarget>> WireFrame::pickStops() const {
    std::vector<std::vector<PickTarget>> stops;
    std::map<std::tuple<PickKind, int, int>, std::size_t> at;
    for (const PickTarget& t : pickTargets()) {
        const auto [it, added] =
            at.try_emplace({t.kind, RoundPixel(t.x), RoundPixel(t.y)}, stops.size());
        if (added) stops.emplace_back();
        stops[it->second].push_back(t);
    }
    return stops;
}

void WireFrame::drawNodes(DisplayList& out, int slot) {
    const core::Settings& settings = m_env.settings;
    const SceneObject& o = m_env.scene.object(slot);
    const int w = LineWidthOf(settings), font = LabelSizeOf(settings);
    const std::uint32_t background = roleRgb(core::kColorBackground);
    // Labels start just inside the node's lower right corner.
    const int offset = 3 * w - 1;
    for (int i = 1; i <= o.vertexCount; ++i) {
        const ScreenPoint p = screen(slot, i);
        // Behind a face: left out, or hollow and in a lighter colour with dashed lines.
        const bool behind = m_hidden && m_hidden->points.count({slot, i});
        if (behind && hiddenMode() == core::kHiddenRemoved) continue;
        const auto shade = [&](std::uint32_t rgb) {
            return behind ? Lighter(rgb, background) : rgb;
        };
        if (settings.IsUsel || o.type == ObjectType::Point) {
            DrawOp node = SquareOp(Role::Node, p, 2 * w, 3 * w, shade(roleRgb(core::kColorNodes)),
                                   behind ? background : kRgbWhite);
            node.slot = slot;
            node.vertex = i;
            node.behind = behind;
            out.push_back(node);
        }
        if (!settings.PutVerNum) continue;
        std::string text =
            m_vertexLabels ? m_vertexLabels->shown(slot, i) : core::VertexLabel(o, i, settings);
        if (text.empty()) continue;
        const int textW = textWidth(text, font, true);
        DrawOp label = TextOp(Role::VertexLabel, {p.x + offset, p.y + offset}, std::move(text),
                              shade(roleRgb(core::kColorLabels)), font, true);
        label.slot = slot;
        label.vertex = i;
        label.behind = behind;
        out.push_back(label);
        if (settings.PutNumObj) {
            DrawOp number = TextOp(Role::ObjectNumber,
                                   {p.x + offset + 1 + textW, p.y + offset + ByFont(8, font)},
                                   std::to_string(slot - 1), shade(roleRgb(core::kColorLabels)),
                                   ByFont(kObjectNumberFontSize, font), false);
            number.slot = slot;
            number.vertex = i;
            number.behind = behind;
            out.push_back(number);
        }
    }
}

std::vector<std::pair<double, double>> WireFrame::hiddenParts(int slot, int vertex1,
                                                              int vertex2) const {
    if (!m_hidden) return {};
    if (const auto it = m_hidden->lines.find({slot, vertex1, vertex2}); it != m_hidden->lines.end())
        return it->second;
    const auto it = m_hidden->lines.find({slot, vertex2, vertex1});
    if (it == m_hidden->lines.end()) return {};
    // Stored the other way round: the same parts measured from the other end.
    std::vector<std::pair<double, double>> parts;
    for (auto p = it->second.rbegin(); p != it->second.rend(); ++p)
        parts.emplace_back(1 - p->second, 1 - p->first);
    return parts;
}

void WireFrame::drawMarked(DisplayList& out) {
    const std::uint32_t background = roleRgb(core::kColorBackground);
    const int w = LineWidthOf(m_env.settings);
    const std::uint32_t picked = roleRgb(core::kColorPicked);
    for (const MarkedElement& e : m_hooks->measureElements()) {
        const int n = std::clamp(e.pointCount, 0, 4);
        for (int k = 0; k < n; ++k) {
            const ScreenPoint p = e.screen[static_cast<std::size_t>(k)];
            out.push_back(SquareOp(Role::MarkedPoint, p, 2 * w, 3 * w, kRgbRed, background));
            if (k + 1 < n)
                out.push_back(LineOp(Role::MarkedLine, p, e.screen[static_cast<std::size_t>(k + 1)],
                                     picked, background, PenStyle::Dot));
            if (k == 0)
                out.push_back(LineOp(Role::MarkedLine, p, e.screen[static_cast<std::size_t>(n - 1)],
                                     picked, background, PenStyle::Dot));
        }
    }
    const std::span<MarkedElement> placed = m_hooks->placedPoints();
    for (std::size_t j = 0; j < placed.size(); ++j) {
        const ScreenPoint p = placed[j].screen[0];
        out.push_back(SquareOp(Role::MarkedPoint, p, 2 * w, 3 * w, kRgbRed, background));
        if (j + 1 < placed.size())
            out.push_back(LineOp(Role::MarkedLine, p, placed[j + 1].screen[0], picked, background,
                                 PenStyle::Dot));
    }
}

void WireFrame::drawProjectionLines(DisplayList& out, bool interactive, ScreenPoint mouse) {
    const std::uint32_t background = roleRgb(core::kColorBackground);
    if (m_projectionShown) {
        for (const ScreenPoint& end : m_projectionEnds)
            out.push_back(LineOp(Role::ProjectionErase, m_projectionMouse, end, background,
                                 background, PenStyle::Solid));
        m_projectionShown = false;
    }
    if (!interactive || !m_pick.any() || !m_env.settings.isProject) return;
    m_projectionMouse = mouse;
    const geo::Vec3& p = m_pick.point;
    const std::array<geo::Vec3, 3> feet = {geo::Vec3(p.x, p.y, 0), geo::Vec3(0, p.y, p.z),
                                           geo::Vec3(p.x, 0, p.z)};
    for (std::size_t k = 0; k < 3; ++k) {
        const Projected q = ProjectPoint(m_view, feet[k]);
        const auto s = ClipToPicture(mouse.x, mouse.y, q.px, q.py, m_width, m_height);
        m_projectionEnds[k] = s ? s->p2 : mouse;
        out.push_back(LineOp(Role::ProjectionLine, mouse, m_projectionEnds[k],
                             roleRgb(core::kColorProjections), background, PenStyle::Dash));
    }
    m_projectionShown = true;
}

geo::Vec3 WireFrame::screenToPlane(double mx, double my, geo::Vec3 previous) const {
    double coord[3] = {previous.x, previous.y, previous.z};
    const double zoom[3] = {m_view.zoomX(), m_view.zoomY(), m_view.zoomZ()};
    const geo::Vec3 origin = Spatial(projected(core::kAxesSlot, 1));
    const geo::Vec3 mousePoint(mx, my, 0);
    for (int j = 0; j < 3; ++j) {
        // The other two axes in cyclic order, so that the plane's normal points along axis j.
        const geo::Vec3 a = Spatial(projected(core::kAxesSlot, 2 + (j + 1) % 3));
        const geo::Vec3 b = Spatial(projected(core::kAxesSlot, 2 + (j + 2) % 3));
        const geo::PlaneFit fit = geo::PlaneThroughPoints(origin, a, b);
        if (fit.degenerate || zoom[j] == 0) continue;
        coord[j] = -geo::PointPlaneDeviation(mousePoint, fit.plane) / zoom[j];
    }
    if (m_view.degenerateAxis >= 1 && m_view.degenerateAxis <= 3)
        coord[m_view.degenerateAxis - 1] = 0;
    return {coord[0], coord[1], coord[2]};
}

int BlackAndWhiteHiddenMode(int mode) {
    return mode == core::kHiddenRemoved ? core::kHiddenRemoved : core::kHiddenDashed;
}

void MakeBlackAndWhite(DisplayList& list) {
    constexpr std::uint32_t black = 0, grey = 0x808080;
    for (DrawOp& op : list) {
        const std::uint32_t ink = op.behind ? grey : black;
        switch (op.kind) {
        case DrawOp::Kind::Fill:
            op.brush = kRgbWhite;
            break;
        case DrawOp::Kind::Rect:
            // A mark filled in its outline's colour is a solid mark, not a coloured area.
            op.brush = op.brush == op.pen ? ink : kRgbWhite;
            op.pen = ink;
            break;
        case DrawOp::Kind::Line:
        case DrawOp::Kind::Polyline:
            // Erasing lines are drawn in the background's colour, which is now white.
            op.pen =
                op.role == Role::ProjectionErase || op.role == Role::PickErase ? kRgbWhite : ink;
            op.brush = kRgbWhite;
            break;
        case DrawOp::Kind::Text:
            op.pen = ink;
            op.brush = kRgbWhite;
            break;
        }
    }
}

} // namespace vorn::pic
