// Figures for print: every drawn piece once, in millimetres, with its visibility.
#include "figure/figure.h"

#include "core/vertex_labels.h"
#include "geometry/polygon.h"
#include "geometry/vec3.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <tuple>

namespace vorn::fig {

namespace {

using core::ObjectType;
using core::SceneObject;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGrey = 0x808080;
// White paper around the solids of a fitted figure, in millimetres.
constexpr double kFitMarginMm = 6;
// Places closer than this, in scene units, are one place: the same rule as the letters'.
constexpr double kSamePlace = 1e-5;
// Strokes shorter than this many millimetres leave no visible mark.
constexpr double kShortestMm = 0.02;
// Clearance between a letter's box and the point it names, in millimetres.
constexpr double kLabelClearanceMm = 0.9;
// Average advance and cap height of the labels' sans-serif font, in ems.
constexpr double kAdvanceEm = 0.62, kCapEm = 0.72;

struct Px {
    double x = 0, y = 0;
};

// Picture pixels to figure millimetres.
struct Frame {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // picture pixels
    double mmPerPx = 1;
    Point toMm(Px p) const { return {(p.x - x0) * mmPerPx, (p.y - y0) * mmPerPx}; }
};

Px Project(const pic::ViewState& view, const core::Vec3f& v) {
    const pic::Projected p = pic::ProjectPoint(view, v.x, v.y, v.z);
    return {p.px, p.py};
}

bool Finite(Px p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Clips a + t (b - a), t in t0..t1, to the frame; false when nothing is left.
bool ClipToFrame(const Frame& f, Px a, Px b, double& t0, double& t1) {
    return geo::ClipToBox(a.x, a.y, b.x, b.y, f.x0, f.y0, f.x1, f.y1, t0, t1);
}

// How strongly a line is drawn when lines of several objects coincide: the one that wins is
// written, the others are left out, so that no dash pattern is painted over by another.
int Rank(const SceneObject& o) {
    switch (o.type) {
    case ObjectType::Polyhedron:
        return 5;
    case ObjectType::Polyline:
        return 4;
    case ObjectType::Surface:
    case ObjectType::RevolutionSurface:
        return 3;
    case ObjectType::Point:
        return 2;
    case ObjectType::Plane:
        return 1;
    case ObjectType::Axes:
        return 0;
    }
    return 0;
}

using PlaceKey = std::array<long long, 3>;

PlaceKey KeyOf(const core::Vec3f& v) {
    const auto q = [](float x) { return std::llround(static_cast<double>(x) / kSamePlace); };
    return {q(v.x), q(v.y), q(v.z)};
}

// The same line in space whichever way round its ends come.
std::pair<PlaceKey, PlaceKey> LineKey(const core::Vec3f& a, const core::Vec3f& b) {
    PlaceKey ka = KeyOf(a), kb = KeyOf(b);
    if (kb < ka) std::swap(ka, kb);
    return {ka, kb};
}

// The axis ends the figure draws: each positive half axis reaching past the frame.
void LengthenAxes(core::Scene& scene, const pic::ViewState& view, const Frame& frame) {
    SceneObject& axes = scene.object(core::kAxesSlot);
    if (axes.vertexCount < 4) return;
    const Px o = Project(view, axes.vertex(1));
    for (int k = 1; k <= 3; ++k) {
        core::Vec3f& end = axes.vertex(k + 1);
        float& c = k == 1 ? end.x : (k == 2 ? end.y : end.z);
        for (int n = 0; n < 60; ++n) {
            const Px e = Project(view, end);
            const bool inside =
                e.x >= frame.x0 && e.x <= frame.x1 && e.y >= frame.y0 && e.y <= frame.y1;
            if (!inside && std::hypot(e.x - o.x, e.y - o.y) > 0) break;
            if (std::hypot(e.x - o.x, e.y - o.y) == 0) break;
            c *= 2;
        }
    }
}

// The box of the projected vertices of the visible objects but the axes; empty when none.
std::optional<std::array<double, 4>> SolidsBox(const core::Scene& scene,
                                               const pic::ViewState& view) {
    std::array<double, 4> box = {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    const int count = std::min(scene.objectCount(), core::kMaxObjectCount);
    for (int slot = 2; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        if (!o.visible || o.vertexCount < 1 || o.vertexCount > core::kMaxVertices) continue;
        for (int i = 1; i <= o.vertexCount; ++i) {
            const Px p = Project(view, o.vertex(i));
            if (!Finite(p)) continue;
            box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y);
            box[2] = std::max(box[2], p.x), box[3] = std::max(box[3], p.y);
        }
    }
    if (!(box[2] >= box[0])) return std::nullopt;
    return box;
}

double Length(const Stroke& s) {
    double l = 0;
    for (std::size_t i = 1; i < s.points.size(); ++i)
        l += std::hypot(s.points[i].x - s.points[i - 1].x, s.points[i].y - s.points[i - 1].y);
    return l;
}

// Directions, in radians, of the strokes that leave `p` (both ways for one passing through).
std::vector<double> DirectionsAt(const std::vector<Stroke>& strokes, Point p, double near) {
    std::vector<double> out;
    for (const Stroke& s : strokes) {
        for (std::size_t i = 1; i < s.points.size(); ++i) {
            const Point a = s.points[i - 1], b = s.points[i];
            const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
            if (l2 <= 0) continue;
            const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0);
            const double cx = a.x + t * dx - p.x, cy = a.y + t * dy - p.y;
            if (cx * cx + cy * cy > near * near) continue;
            const double l = std::sqrt(l2);
            const double along = t * l;
            if (along > near) out.push_back(std::atan2(-dy, -dx));
            if (l - along > near) out.push_back(std::atan2(dy, dx));
        }
    }
    return out;
}

struct Box {
    double x0, y0, x1, y1;
    bool meets(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// Whether a..b passes through the box.
bool Crosses(Point a, Point b, const Box& box) {
    double t0 = 0, t1 = 1;
    return geo::ClipToBox(a.x, a.y, b.x, b.y, box.x0, box.y0, box.x1, box.y1, t0, t1);
}

// Places letters off the lines meeting at their points and off each other.
class LabelPlacer {
  public:
    explicit LabelPlacer(const std::vector<Stroke>& strokes) : m_strokes(strokes) {}

    // The baseline start of `text` naming `p`: its box in the widest free gap between the lines
    // at `p` that neither crosses a line nor covers another letter, else the widest gap.
    Point place(Point p, const std::string& text, double sizePt) {
        const double em = sizePt * kMmPerPt;
        int chars = 0;
        for (const unsigned char c : text)
            chars += (c & 0xC0) != 0x80;
        const double hw = std::max(1, chars) * kAdvanceEm * em / 2, hh = kCapEm * em / 2;
        std::vector<double> dirs = DirectionsAt(m_strokes, p, 0.3);
        std::sort(dirs.begin(), dirs.end());
        // Candidate directions: the middle of every gap, widest first, then its quarters; up and
        // to the right first when no line meets there, as textbooks letter a lone point.
        std::vector<std::pair<double, double>> candidates; // width of the gap, direction
        if (dirs.empty()) {
            for (int k = 0; k < 8; ++k)
                candidates.push_back({8.0 - k, -std::numbers::pi / 4 + k * std::numbers::pi / 4});
        }
        for (std::size_t i = 0; i < dirs.size(); ++i) {
            const double from = dirs[i];
            const double to = i + 1 < dirs.size() ? dirs[i + 1] : dirs[0] + 2 * std::numbers::pi;
            const double gap = to - from;
            candidates.push_back({gap, from + gap / 2});
            candidates.push_back({gap * 0.75, from + gap / 4});
            candidates.push_back({gap * 0.75, from + 3 * gap / 4});
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        std::optional<Box> first;
        for (const auto& [gap, angle] : candidates) {
            const Box box = boxAt(p, angle, hw, hh);
            if (!first) first = box;
            if (free(box)) return keep(box);
        }
        return keep(first.value_or(boxAt(p, -std::numbers::pi / 4, hw, hh)));
    }

    // The baseline start of `text` centred on `p` when that place is free, else moved along
    // `step` (millimetres per try) until it is.
    Point placeAlong(Point p, Point step, const std::string& text, double sizePt) {
        const double em = sizePt * kMmPerPt;
        const double hw = std::max<std::size_t>(1, text.size()) * kAdvanceEm * em / 2;
        const double hh = kCapEm * em / 2;
        for (int k = 0; k < 12; ++k) {
            const Point c = {p.x + k * step.x, p.y + k * step.y};
            const Box box = {c.x - hw, c.y - hh, c.x + hw, c.y + hh};
            if (free(box)) return keep(box);
        }
        return keep({p.x - hw, p.y - hh, p.x + hw, p.y + hh});
    }

  private:
    static Box boxAt(Point p, double angle, double hw, double hh) {
        const double ux = std::cos(angle), uy = std::sin(angle);
        // Centre distance at which the box just clears the point along the direction.
        const double reach = std::min(std::fabs(ux) > 1e-9 ? hw / std::fabs(ux) : HUGE_VAL,
                                      std::fabs(uy) > 1e-9 ? hh / std::fabs(uy) : HUGE_VAL);
        const double r = reach + kLabelClearanceMm;
        const double cx = p.x + ux * r, cy = p.y + uy * r;
        return {cx - hw, cy - hh, cx + hw, cy + hh};
    }

    bool free(const Box& box) const {
        for (const Box& other : m_boxes)
            if (box.meets(other)) return false;
        for (const Stroke& s : m_strokes)
            for (std::size_t i = 1; i < s.points.size(); ++i)
                if (Crosses(s.points[i - 1], s.points[i], box)) return false;
        return true;
    }

    Point keep(const Box& box) {
        m_boxes.push_back(box);
        return {box.x0, box.y1};
    }

    const std::vector<Stroke>& m_strokes;
    std::vector<Box> m_boxes;
};

std::uint32_t Lighter(std::uint32_t rgb) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t a = (rgb >> shift) & 0xFF;
        out |= ((a + 0xFF + 1) / 2) << shift;
    }
    return out;
}

// Where lines of the scene run along one another in space, the stroke of the object that draws
// them strongest keeps the stretch they share and the others give it up, so that nothing is
// written twice and no dash pattern is painted over (an axis inside a pyramid along its height).
void RemoveSharedStretches(const core::Scene& scene, std::vector<Stroke>& strokes) {
    struct Info {
        geo::Vec3 a, b; // the stroke's ends in space
        int rank;
    };
    const auto infoOf = [&](const Stroke& s) {
        const SceneObject& o = scene.object(s.slot);
        const core::Vec3f &p = o.vertex(s.vertex1), &q = o.vertex(s.vertex2);
        const geo::Vec3 a(p.x, p.y, p.z), d = geo::Vec3(q.x, q.y, q.z) - a;
        return Info{a + d * s.t0, a + d * s.t1, Rank(o)};
    };
    // Strokes on one line of the picture land in one cell of (direction, offset) or a neighbour.
    const auto cellOf = [](const Stroke& s) {
        const Point a = s.points.front(), b = s.points.back();
        double angle = std::atan2(b.y - a.y, b.x - a.x);
        if (angle < 0) angle += std::numbers::pi;
        if (angle >= std::numbers::pi) angle -= std::numbers::pi;
        const double nx = -std::sin(angle), ny = std::cos(angle);
        return std::make_pair(std::llround(angle / 1e-3),
                              std::llround((a.x * nx + a.y * ny) / 0.05));
    };
    std::map<std::pair<long long, long long>, std::vector<std::size_t>> cells;
    for (std::size_t i = 0; i < strokes.size(); ++i)
        cells[cellOf(strokes[i])].push_back(i);
    const long long turn = std::llround(std::numbers::pi / 1e-3);
    std::vector<std::vector<std::pair<double, double>>> cut(strokes.size());
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const Info me = infoOf(strokes[i]);
        const geo::Vec3 d = me.b - me.a;
        const double len2 = geo::dot(d, d);
        if (!(len2 > 0)) continue;
        const double tol = std::max(kSamePlace, 1e-6 * std::sqrt(len2));
        const auto [ca, co] = cellOf(strokes[i]);
        for (long long da = -1; da <= 1; ++da)
            for (long long dof = -1; dof <= 1; ++dof) {
                // Directions near 0 and near 180 degrees are one direction.
                long long a = ca + da;
                long long o = co + dof;
                if (a < 0) a += turn, o = -o;
                if (a > turn) a -= turn, o = -o;
                const auto found = cells.find({a, o});
                if (found == cells.end()) continue;
                for (const std::size_t j : found->second) {
                    if (j == i) continue;
                    const Info other = infoOf(strokes[j]);
                    // Only a stronger stroke, or an equal one drawn before, takes a stretch.
                    if (other.rank < me.rank || (other.rank == me.rank && j > i)) continue;
                    const auto along = [&](const geo::Vec3& p) {
                        return geo::dot(p - me.a, d) / len2;
                    };
                    const auto off = [&](const geo::Vec3& p, double u) {
                        const geo::Vec3 r = p - (me.a + d * u);
                        return std::sqrt(geo::dot(r, r));
                    };
                    const double u0 = along(other.a), u1 = along(other.b);
                    if (off(other.a, u0) > tol || off(other.b, u1) > tol) continue;
                    const double lo = std::max(0.0, std::min(u0, u1));
                    const double hi = std::min(1.0, std::max(u0, u1));
                    if (hi > lo) cut[i].emplace_back(lo, hi);
                }
            }
    }
    std::vector<Stroke> out;
    out.reserve(strokes.size());
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        if (cut[i].empty()) {
            out.push_back(std::move(strokes[i]));
            continue;
        }
        std::sort(cut[i].begin(), cut[i].end());
        const Stroke& s = strokes[i];
        const auto keep = [&](double u0, double u1) {
            Stroke piece = s;
            const Point a = s.points.front(), b = s.points.back();
            piece.points = {{a.x + u0 * (b.x - a.x), a.y + u0 * (b.y - a.y)},
                            {a.x + u1 * (b.x - a.x), a.y + u1 * (b.y - a.y)}};
            if (Length(piece) < kShortestMm) return;
            piece.t0 = s.t0 + u0 * (s.t1 - s.t0);
            piece.t1 = s.t0 + u1 * (s.t1 - s.t0);
            out.push_back(std::move(piece));
        };
        double at = 0;
        for (const auto& [lo, hi] : cut[i]) {
            if (lo > at) keep(at, lo);
            at = std::max(at, hi);
        }
        if (at < 1) keep(at, 1);
    }
    strokes = std::move(out);
}

} // namespace

DashPattern DashFor(const Figure& figure, const Stroke& stroke) {
    if (stroke.dash == Dash::Solid) return {};
    if (stroke.dash == Dash::Dotted) return {0.01 * kMmPerPt, 1.5 * kMmPerPt};
    const double d = figure.pens.dash * kMmPerPt, g = figure.pens.gap * kMmPerPt;
    const double length = Length(stroke);
    if (!(length > 0) || !(d > 0)) return {d, g};
    const double n = std::max(2.0, std::round((length + g) / (d + g)));
    const double s = length / (n * d + (n - 1) * g);
    return {d * s, g * s};
}

double WidthOf(const Figure& figure, const Stroke& stroke) {
    switch (stroke.weight) {
    case Weight::Visible:
        return figure.pens.visible * kMmPerPt;
    case Weight::Hidden:
        return figure.pens.hidden * kMmPerPt;
    case Weight::Axis:
        return figure.pens.axis * kMmPerPt;
    case Weight::Grid:
        return figure.pens.grid * kMmPerPt;
    }
    return figure.pens.visible * kMmPerPt;
}

Figure BuildFigure(core::Scene& scene, const core::Settings& settings,
                   const pic::ViewState& picture, int pictureWidth, int pictureHeight,
                   const FigureOptions& options) {
    Figure figure;
    figure.pens = options.pens;
    figure.blackWhite = options.blackWhite;
    pic::ViewState view = picture;
    view.halfWidth = std::max(pictureWidth, 1) / 2;
    view.halfHeight = std::max(pictureHeight, 1) / 2;
    const double width = std::clamp(options.width, 1.0, 2000.0);

    Frame frame{0, 0, double(std::max(pictureWidth, 1)), double(std::max(pictureHeight, 1)), 1};
    if (options.fit) {
        if (const auto box = SolidsBox(scene, view)) {
            const double w = (*box)[2] - (*box)[0], h = (*box)[3] - (*box)[1];
            const double inner = std::max(width - 2 * kFitMarginMm, 1.0);
            const double span = std::max({w, h * 0.25, 1e-9});
            const double mmPerPx = inner / std::max(w, span);
            const double margin = kFitMarginMm / mmPerPx;
            const double extraX = (std::max(w, span) - w) / 2;
            frame = {(*box)[0] - margin - extraX, (*box)[1] - margin, (*box)[2] + margin + extraX,
                     (*box)[3] + margin, mmPerPx};
        }
    }
    if (!options.fit || frame.mmPerPx == 1) frame.mmPerPx = width / (frame.x1 - frame.x0);
    figure.width = width;
    figure.height = (frame.y1 - frame.y0) * frame.mmPerPx;
    figure.pictureLeft = frame.x0;
    figure.pictureTop = frame.y0;
    figure.mmPerPixel = frame.mmPerPx;

    int mode = options.hiddenMode;
    if (options.blackWhite && mode == core::kHiddenSolid) mode = core::kHiddenDashed;

    SceneObject& axes = scene.object(core::kAxesSlot);
    const auto savedAxes = axes;
    const bool drawAxes = options.axes && settings.IsOsi;
    axes.visible = drawAxes ? 1 : 0;
    if (drawAxes) LengthenAxes(scene, view, frame);

    core::Settings lineSettings = settings;
    // Labels and marks need their points' visibility.
    lineSettings.PutVerNum = settings.PutVerNum && options.labels;
    hidden::LineChoice choice;
    choice.style = options.style;
    choice.gridEvery = options.gridEvery;
    const hidden::Visibility seen = hidden::VisibleSpans(scene, lineSettings, view, choice);

    // One line per place in space: coincident lines of one object or of several are drawn
    // once, by the object that draws them strongest (the first of equals).
    std::map<std::pair<PlaceKey, PlaceKey>, std::size_t> kept;
    std::vector<const hidden::LineSpans*> lines;
    for (const hidden::LineSpans& line : seen.lines) {
        const SceneObject& o = scene.object(line.slot);
        const auto key = LineKey(o.vertex(line.vertex1), o.vertex(line.vertex2));
        const auto [at, fresh] = kept.emplace(key, lines.size());
        if (fresh) {
            lines.push_back(&line);
        } else if (Rank(o) > Rank(scene.object(lines[at->second]->slot))) {
            lines[at->second] = &line;
        }
    }

    const auto inkOf = [&](const SceneObject& o) -> std::uint32_t {
        if (options.blackWhite) return o.type == ObjectType::Axes ? kGrey : kBlack;
        return o.color & 0xFFFFFF;
    };
    for (const hidden::LineSpans* line : lines) {
        const SceneObject& o = scene.object(line->slot);
        const Px a = Project(view, o.vertex(line->vertex1));
        const Px b = Project(view, o.vertex(line->vertex2));
        if (!Finite(a) || !Finite(b)) continue;
        const bool isAxes = o.type == ObjectType::Axes;
        const Dash own = o.type == ObjectType::Plane ? Dash::Dotted : Dash::Solid;
        const Weight weight = isAxes                                 ? Weight::Axis
                              : line->kind == hidden::LineKind::Grid ? Weight::Grid
                                                                     : Weight::Visible;
        std::vector<hidden::Piece> pieces = line->pieces;
        if (mode == core::kHiddenSolid || pieces.empty()) pieces = {{0, 1, true}};
        for (const hidden::Piece& piece : pieces) {
            if (!piece.visible && mode == core::kHiddenRemoved) continue;
            double t0 = piece.t0, t1 = piece.t1;
            if (!ClipToFrame(frame, a, b, t0, t1)) continue;
            Stroke s;
            s.points = {frame.toMm({a.x + t0 * (b.x - a.x), a.y + t0 * (b.y - a.y)}),
                        frame.toMm({a.x + t1 * (b.x - a.x), a.y + t1 * (b.y - a.y)})};
            if (Length(s) < kShortestMm) continue;
            s.rgb = inkOf(o);
            s.dash = piece.visible ? own : Dash::Dashed;
            s.weight = piece.visible || isAxes ? weight : Weight::Hidden;
            s.slot = line->slot;
            s.vertex1 = line->vertex1;
            s.vertex2 = line->vertex2;
            s.t0 = t0;
            s.t1 = t1;
            figure.strokes.push_back(std::move(s));
        }
    }

    RemoveSharedStretches(scene, figure.strokes);

    // Points: their marks and letters, lettered once per place.
    const core::SceneLabels names(scene, settings);
    const auto inFrame = [&](Px p) {
        return Finite(p) && p.x >= frame.x0 && p.x <= frame.x1 && p.y >= frame.y0 &&
               p.y <= frame.y1;
    };
    const std::uint32_t labelInk =
        options.blackWhite ? kBlack : (settings.colorRgb(core::kColorLabels) & 0xFFFFFF);
    std::map<PlaceKey, bool> lettered;
    LabelPlacer placer(figure.strokes);
    for (const hidden::PointSpan& point : seen.points) {
        const SceneObject& o = scene.object(point.slot);
        if (!point.visible && mode == core::kHiddenRemoved) continue;
        const bool behind = !point.visible && mode == core::kHiddenDashed;
        const Px p = Project(view, o.vertex(point.vertex));
        if (!inFrame(p)) continue;
        const Point at = frame.toMm(p);
        if (o.type == ObjectType::Point) {
            Mark m;
            m.at = at;
            m.rgb = options.blackWhite ? kBlack : (o.color & 0xFFFFFF);
            m.hollow = behind;
            m.slot = point.slot;
            m.vertex = point.vertex;
            figure.marks.push_back(m);
        }
        if (!lineSettings.PutVerNum) continue;
        const std::string& text = names.shown(point.slot, point.vertex);
        if (text.empty() || !lettered.emplace(KeyOf(o.vertex(point.vertex)), true).second) continue;
        Label l;
        l.text = text;
        l.size = figure.pens.label;
        l.bold = true;
        l.behind = behind;
        l.rgb = behind ? (options.blackWhite ? kGrey : Lighter(labelInk)) : labelInk;
        l.anchor = at;
        l.at = placer.place(at, text, l.size);
        l.slot = point.slot;
        l.vertex = point.vertex;
        figure.labels.push_back(std::move(l));
    }

    // The axes' names at their ends within the frame, the origin's "0" and the unit marks,
    // each left out or drawn lighter like any other point behind a face.
    if (drawAxes) {
        const auto pieceAt = [&](int k, double t) -> std::optional<bool> {
            for (const hidden::LineSpans& line : seen.lines)
                if (line.slot == core::kAxesSlot && line.vertex1 == 1 && line.vertex2 == k + 1)
                    for (const hidden::Piece& piece : line.pieces)
                        if (t >= piece.t0 && t <= piece.t1) return piece.visible;
            return std::nullopt;
        };
        const std::uint32_t axisInk = options.blackWhite ? kGrey : (axes.color & 0xFFFFFF);
        const Px origin = Project(view, axes.vertex(1));
        std::optional<bool> originSeen;
        for (int k = 1; k <= 3; ++k) {
            const std::optional<bool> v = pieceAt(k, 0);
            if (v) originSeen = originSeen.value_or(false) || *v;
        }
        const auto addLabel = [&](const std::string& text, Point anchor, bool behind,
                                  std::optional<Point> step) {
            Label l;
            l.text = text;
            l.size = figure.pens.label;
            l.rgb = behind ? (options.blackWhite ? kGrey : Lighter(labelInk)) : labelInk;
            l.behind = behind;
            l.anchor = anchor;
            l.at = step ? placer.placeAlong(anchor, *step, text, l.size)
                        : placer.place(anchor, text, l.size);
            figure.labels.push_back(std::move(l));
        };
        const bool originHidden = originSeen && !*originSeen;
        // A point lettered at the origin names it already.
        const bool named = lettered.count(KeyOf(core::Vec3f{0, 0, 0})) > 0;
        if (inFrame(origin) && !named && !(originHidden && mode == core::kHiddenRemoved))
            addLabel("0", frame.toMm(origin), originHidden && mode == core::kHiddenDashed,
                     std::nullopt);
        for (int k = 1; k <= 3; ++k) {
            const std::optional<bool> any = pieceAt(k, 0.5);
            if (!any && !pieceAt(k, 0)) continue; // seen end-on: not drawn
            const Px end = Project(view, axes.vertex(k + 1));
            double t0 = 0, t1 = 1;
            if (ClipToFrame(frame, origin, end, t0, t1)) {
                const double t = t1 - 1e-9;
                const Px e = {origin.x + t * (end.x - origin.x), origin.y + t * (end.y - origin.y)};
                const std::optional<bool> v = pieceAt(k, t);
                const bool hiddenEnd = v && !*v;
                // The name goes just inside the frame, beside the axis' last visible stretch.
                if (!(hiddenEnd && mode == core::kHiddenRemoved)) {
                    // Beside the axis, a little way in from where it leaves the frame, moved
                    // further in while a letter or a line is in the way.
                    const Point at = frame.toMm(e);
                    const double em = figure.pens.label * kMmPerPt;
                    const double dx = end.x - origin.x, dy = end.y - origin.y;
                    const double l = std::hypot(dx, dy);
                    const double ux = dx / l, uy = dy / l;
                    const Point inner = {at.x - ux * 1.2 * em - uy * 0.9 * em,
                                         at.y - uy * 1.2 * em + ux * 0.9 * em};
                    addLabel(std::string(1, "xyz"[k - 1]), inner,
                             hiddenEnd && mode == core::kHiddenDashed,
                             Point{-ux * 0.8 * em, -uy * 0.8 * em});
                }
            }
            if (axes.vertexCount < 4 + k) continue;
            const core::Vec3f& unit = axes.vertex(4 + k);
            const Px u = Project(view, unit);
            if (!inFrame(u)) continue;
            const core::Vec3f& endV = axes.vertex(k + 1);
            const float c = k == 1 ? endV.x : (k == 2 ? endV.y : endV.z);
            const float cu = k == 1 ? unit.x : (k == 2 ? unit.y : unit.z);
            const std::optional<bool> v = c != 0 ? pieceAt(k, cu / c) : std::nullopt;
            const bool hiddenTick = v && !*v;
            if (hiddenTick && mode == core::kHiddenRemoved) continue;
            Mark m;
            m.at = frame.toMm(u);
            m.rgb = axisInk;
            m.tick = true;
            m.hollow = hiddenTick && mode == core::kHiddenDashed;
            figure.marks.push_back(m);
        }
    }
    axes = savedAxes;
    return figure;
}

} // namespace vorn::fig
