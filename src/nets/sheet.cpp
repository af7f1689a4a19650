// The paper drawing of a net: outlines, cut and fold lines, glue tabs, glue marks and labels.
#include "nets/net.h"
#include "nets/nets_detail.h"
#include "nets/unfold_detail.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <unordered_map>

namespace vorn::nets {

using detail::Add;
using detail::Dist2;
using detail::Scaled;
using detail::Sub;

namespace {

void Grow(Sheet& s, Point2 p, bool& first) {
    if (first) {
        s.low = s.high = p;
        first = false;
        return;
    }
    s.low = {std::min(s.low.x, p.x), std::min(s.low.y, p.y)};
    s.high = {std::max(s.high.x, p.x), std::max(s.high.y, p.y)};
}

} // namespace

namespace detail {

void Bound(Sheet& s) {
    bool first = true;
    for (const std::vector<Point2>& f : s.faces)
        for (const Point2& p : f)
            Grow(s, p, first);
    for (const Sheet::Tab& t : s.tabs)
        for (const Point2& p : t.outline)
            Grow(s, p, first);
    for (const Sheet::Line& l : s.lines) {
        Grow(s, l.a, first);
        Grow(s, l.b, first);
    }
    for (const Sheet::Label& l : s.labels)
        Grow(s, l.at, first);
}

} // namespace detail

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180;

Point2 Centroid(const std::vector<Point2>& p) {
    // Area centroid of a convex polygon by a fan from its first corner.
    double ax = 0, ay = 0, area = 0;
    for (std::size_t k = 1; k + 1 < p.size(); ++k) {
        const double a = detail::Cross2(Sub(p[k], p[0]), Sub(p[k + 1], p[0])) / 2;
        ax += a * (p[0].x + p[k].x + p[k + 1].x) / 3;
        ay += a * (p[0].y + p[k].y + p[k + 1].y) / 3;
        area += a;
    }
    if (std::fabs(area) > 0) return {ax / area, ay / area};
    Point2 c;
    for (const Point2& q : p)
        c = {c.x + q.x / static_cast<double>(p.size()), c.y + q.y / static_cast<double>(p.size())};
    return c;
}

Point2 Unit2(Point2 a, Point2 b) {
    const double len = Dist2(a, b);
    return len > 0 ? Point2{(b.x - a.x) / len, (b.y - a.y) / len} : Point2{1, 0};
}

// Points of an arc about `c` from angle a0 to a1, in steps of at most one degree.
std::vector<Point2> Arc(Point2 c, double r, double a0, double a1) {
    const int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(a1 - a0) / kDegree)));
    std::vector<Point2> p;
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        p.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return p;
}

bool InsideOrOn(const std::vector<Point2>& polygon, Point2 p, double tol) {
    bool inside = false;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point2 a = polygon[i], b = polygon[j];
        if (detail::SegmentDistance(p, a, b) <= tol) return true;
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
            inside = !inside;
    }
    return inside;
}

// Letters a, b, ..., z, aa, ab, ... for the pairs of edges glued together.
std::string GlueName(std::size_t k) {
    std::string s;
    for (++k; k > 0; k = (k - 1) / 26)
        s.insert(s.begin(), static_cast<char>('a' + (k - 1) % 26));
    return s;
}

// A glue mark just inside the outline beside the middle of its edge a -> b (counter-clockwise
// outline: the inside is on the left).
void AddGlueMark(Sheet& s, Point2 a, Point2 b, Point2 centre, const std::string& text) {
    const Point2 t = Unit2(a, b), mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    const double in = std::min(0.14 * Dist2(a, b), 0.4 * Dist2(mid, centre));
    s.labels.push_back({Add(mid, Scaled({-t.y, t.x}, in)), text, false, true});
}

// ---- Glue tabs ------------------------------------------------------------------------------

// Base angles a tab is tried with, widest first, and the room it keeps from other paper: a
// pupil's scissors need a gap between a tab and the face beside it.
constexpr std::array<double, 8> kTabAngles = {60, 45, 35, 30, 24, 18, 12, 6}; // degrees
constexpr double kClearAngle = 5 * kDegree, kMaxClearAngle = 85 * kDegree;
constexpr double kClearMm = 1;
// Depths tried, as fractions of the wanted one, before an edge goes without a tab.
constexpr std::array<double, 7> kDepthSteps = {1, 0.85, 0.7, 0.55, 0.45, 0.35, 0.3};

// A tab on the outer (right) side of the edge a -> b of a counter-clockwise outline with base
// angles `alphaA` at a and `alphaB` at b, `depth` deep or, when its sides meet before, a
// triangle up to where they meet (its depth in `reach`). Counter-clockwise from b, a.
std::vector<Point2> TabOutline(Point2 a, Point2 b, double alphaA, double alphaB, double depth,
                               double& reach) {
    const double len = Dist2(a, b);
    const Point2 t = Unit2(a, b), out{t.y, -t.x};
    const double ca = 1 / std::tan(alphaA), cb = 1 / std::tan(alphaB);
    if (len - depth * (ca + cb) <= 1e-9 * len) {
        reach = len / (ca + cb);
        return {b, a, Add(a, Add(Scaled(t, reach * ca), Scaled(out, reach)))};
    }
    reach = depth;
    return {b, a, Add(a, Add(Scaled(t, depth * ca), Scaled(out, depth))),
            Add(b, Add(Scaled(t, -depth * cb), Scaled(out, depth)))};
}

struct TabFit {
    std::vector<Point2> outline;
    double depth = 0, area = 0;
    bool better(const TabFit& o) const {
        return depth > o.depth * (1 + 1e-9) || (depth >= o.depth * (1 - 1e-9) && area > o.area);
    }
};

// The largest tab on a -> b at most `depth` deep and at least `least`: at the first depth step
// where any fits, the widest base angles whose tab `fits` and whose outline grown by the
// clearance is `clear`.
template <class Fits, class Clear>
std::optional<TabFit> BestTab(Point2 a, Point2 b, double depth, double least, double clearance,
                              const Fits& fits, const Clear& clear) {
    if (!(Dist2(a, b) > 0) || !(depth > 0)) return std::nullopt;
    // At one depth a tab's area falls as the sum of its angles' cotangents grows.
    static const std::vector<std::pair<double, double>> pairs = [] {
        std::vector<std::pair<double, double>> p;
        for (double x : kTabAngles)
            for (double y : kTabAngles)
                p.emplace_back(x * kDegree, y * kDegree);
        std::stable_sort(p.begin(), p.end(), [](const auto& l, const auto& r) {
            const double sl = 1 / std::tan(l.first) + 1 / std::tan(l.second);
            const double sr = 1 / std::tan(r.first) + 1 / std::tan(r.second);
            if (std::fabs(sl - sr) > 1e-12) return sl < sr;
            return std::fabs(l.first - l.second) < std::fabs(r.first - r.second);
        });
        return p;
    }();
    for (double step : kDepthSteps) {
        const double want = step * depth;
        if (want < least * (1 - 1e-9)) break;
        for (const auto& [alphaA, alphaB] : pairs) {
            double reach = 0, roomReach = 0;
            std::vector<Point2> outline = TabOutline(a, b, alphaA, alphaB, want, reach);
            if (reach < want * (1 - 1e-9) || !fits(outline)) continue;
            const std::vector<Point2> room = TabOutline(
                a, b, std::min(alphaA + kClearAngle, kMaxClearAngle),
                std::min(alphaB + kClearAngle, kMaxClearAngle), want + clearance, roomReach);
            if (!clear(room)) continue;
            const double area = std::fabs(detail::SignedArea(outline));
            return TabFit{std::move(outline), reach, area};
        }
    }
    return std::nullopt;
}

// Convex outlines of paper already taken, bucketed on a grid by their boxes.
class Taken {
  public:
    explicit Taken(double cell) : m_cell(cell > 0 && std::isfinite(cell) ? cell : 1) {}
    void add(const std::vector<Point2>& p) {
        const int id = static_cast<int>(m_polygons.size());
        m_polygons.push_back(p);
        m_seen.push_back(0);
        cells(p, [&](std::uint64_t key) { m_cells[key].push_back(id); });
    }
    // No outline taken overlaps `p`.
    bool clear(const std::vector<Point2>& p, double tol) const {
        ++m_round;
        bool free = true;
        cells(p, [&](std::uint64_t key) {
            if (!free) return;
            const auto it = m_cells.find(key);
            if (it == m_cells.end()) return;
            for (int id : it->second) {
                if (m_seen[static_cast<std::size_t>(id)] == m_round) continue;
                m_seen[static_cast<std::size_t>(id)] = m_round;
                if (detail::InteriorsOverlap(p, m_polygons[static_cast<std::size_t>(id)], tol)) {
                    free = false;
                    return;
                }
            }
        });
        return free;
    }

  private:
    template <class F> void cells(const std::vector<Point2>& p, const F& f) const {
        double x0 = p[0].x, x1 = x0, y0 = p[0].y, y1 = y0;
        for (const Point2& q : p) {
            x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
        }
        const auto cell = [this](double v) {
            return static_cast<std::int64_t>(std::floor(v / m_cell));
        };
        for (std::int64_t i = cell(x0); i <= cell(x1); ++i)
            for (std::int64_t j = cell(y0); j <= cell(y1); ++j)
                f((static_cast<std::uint64_t>(i) << 32) ^ static_cast<std::uint32_t>(j));
    }
    double m_cell;
    std::vector<std::vector<Point2>> m_polygons;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
    mutable std::vector<unsigned> m_seen;
    mutable unsigned m_round = 0;
};

// One tab per cut edge, on whichever of its two copies takes the larger one: inside the face
// it is glued to once folded, clear of every face and tab on the paper. Longer edges choose
// first. `tabFace` gets, per edge, the face whose copy carries the tab (-1: none).
void PlaceTabs(const Solid& solid, const Net& net, const detail::Frames& frames, double mmPerUnit,
               std::vector<Sheet::Tab>& tabs, std::vector<int>& tabFace) {
    const double unit = 1 / mmPerUnit; // scene units per millimetre
    double area = 0, size = 0;
    for (const std::vector<Point2>& f : net.flat) {
        area += std::fabs(detail::SignedArea(f));
        for (const Point2& p : f)
            size = std::max({size, std::fabs(p.x), std::fabs(p.y)});
    }
    const double tol = std::max(frames.tolerance, 1e-12 * size);
    Taken taken(2 *
                std::sqrt(area / static_cast<double>(std::max<std::size_t>(1, net.flat.size()))));
    for (const std::vector<Point2>& f : net.flat)
        taken.add(f);
    const auto length = [&](int e) {
        const auto [i, j] = frames.ends(solid, e, solid.edges[static_cast<std::size_t>(e)].faceA);
        const std::vector<Point2>& p =
            net.flat[static_cast<std::size_t>(solid.edges[static_cast<std::size_t>(e)].faceA)];
        return Dist2(p[static_cast<std::size_t>(i)], p[static_cast<std::size_t>(j)]);
    };
    std::vector<int> order;
    for (std::size_t e = 0; e < solid.edges.size(); ++e)
        if (net.cut[e]) order.push_back(static_cast<int>(e));
    std::stable_sort(order.begin(), order.end(),
                     [&](int l, int r) { return length(l) > length(r) * (1 + 1e-9); });
    for (int e : order) {
        const SolidEdge& edge = solid.edges[static_cast<std::size_t>(e)];
        // Even edges try the first face's copy first, odd ones the second's: ties alternate.
        const int first = e % 2 == 0 ? edge.faceA : edge.faceB;
        std::optional<TabFit> best;
        int bestFace = -1;
        for (const int f : {first, first == edge.faceA ? edge.faceB : edge.faceA}) {
            const int g = f == edge.faceA ? edge.faceB : edge.faceA;
            const std::vector<Point2>& p = net.flat[static_cast<std::size_t>(f)];
            const auto [i, j] = frames.ends(solid, e, f);
            const std::vector<Point2> partner = detail::PlacedAcross(solid, frames, p, f, g, e);
            const auto fits = [&](const std::vector<Point2>& outline) {
                return std::all_of(outline.begin(), outline.end(),
                                   [&](Point2 q) { return InsideOrOn(partner, q, tol); });
            };
            const auto clear = [&](const std::vector<Point2>& room) {
                return taken.clear(room, tol);
            };
            std::optional<TabFit> fit =
                BestTab(p[static_cast<std::size_t>(i)], p[static_cast<std::size_t>(j)],
                        kTabDepthMm * unit, 0, kClearMm * unit, fits, clear);
            if (fit && (!best || fit->better(*best))) {
                best = std::move(fit);
                bestFace = f;
            }
        }
        if (!best) continue;
        taken.add(best->outline);
        tabFace[static_cast<std::size_t>(e)] = bestFace;
        tabs.push_back({best->outline, 2, e, bestFace, best->depth});
    }
}

void AddTabLines(Sheet& s) {
    for (const Sheet::Tab& t : s.tabs)
        for (std::size_t i = t.along - 1; i < t.outline.size(); ++i)
            s.lines.push_back(
                {t.outline[i], t.outline[(i + 1) % t.outline.size()], Sheet::LineKind::Tab, -1});
}

bool OnATab(const Sheet& s, Point2 p) {
    return std::any_of(s.tabs.begin(), s.tabs.end(),
                       [&](const Sheet::Tab& t) { return InsideOrOn(t.outline, p, 0); });
}

// One name per corner point of the paper: the corners of faces joined around a vertex meet at
// one point, and a name in each of them would crowd it. The name stands just outside the faces
// meeting there, against the mean of their directions toward their centres, as textbooks
// letter a net (inside, it would sit on the fold line between two faces), and beyond a tab
// there.
void AddVertexNames(Sheet& s, const Solid& solid, const Net& net,
                    const std::vector<std::string>& names, double tabDepth) {
    struct Corner {
        int vertex;
        Point2 at, toward; // the point and the sum of unit directions toward the faces' centres
        double reach;      // the shortest distance from the point to one of those centres
    };
    std::vector<Corner> corners;
    std::vector<std::vector<std::size_t>> byVertex(names.size() + 1); // indices into `corners`
    double size = 0;
    for (const std::vector<Point2>& p : net.flat)
        for (const Point2& q : p)
            size = std::max({size, std::fabs(q.x), std::fabs(q.y)});
    const double same = 1e-9 * std::max(size, 1.0);
    for (std::size_t f = 0; f < net.flat.size(); ++f) {
        const std::vector<Point2>& p = net.flat[f];
        const Point2 c = Centroid(p);
        for (std::size_t k = 0; k < p.size(); ++k) {
            const int v = solid.faces[f].vertices[k];
            const double d = Dist2(p[k], c);
            if (v < 1 || static_cast<std::size_t>(v) > names.size() || !(d > 0)) continue;
            const Point2 u{(c.x - p[k].x) / d, (c.y - p[k].y) / d};
            std::vector<std::size_t>& mine = byVertex[static_cast<std::size_t>(v)];
            const auto it = std::find_if(mine.begin(), mine.end(), [&](std::size_t i) {
                return Dist2(corners[i].at, p[k]) <= same;
            });
            if (it == mine.end()) {
                mine.push_back(corners.size());
                corners.push_back({v, p[k], u, d});
            } else {
                Corner& o = corners[*it];
                o.toward = {o.toward.x + u.x, o.toward.y + u.y};
                o.reach = std::min(o.reach, d);
            }
        }
    }
    for (const Corner& o : corners) {
        const double len = std::hypot(o.toward.x, o.toward.y);
        const Point2 u = len > 1e-9 ? Point2{o.toward.x / len, o.toward.y / len} : Point2{};
        Point2 at{o.at.x - 0.2 * o.reach * u.x, o.at.y - 0.2 * o.reach * u.y};
        for (int k = 0; k < 24 && tabDepth > 0 && OnATab(s, at); ++k)
            at = {at.x - tabDepth / 4 * u.x, at.y - tabDepth / 4 * u.y};
        s.labels.push_back({at, names[static_cast<std::size_t>(o.vertex) - 1], false});
    }
}

double MmPerUnit(const SheetOptions& options) {
    return options.mmPerUnit > 0 && std::isfinite(options.mmPerUnit) ? options.mmPerUnit : 10;
}

} // namespace

Sheet SheetOf(const Solid& solid, const Net& net, const SheetOptions& options) {
    Sheet s;
    if (net.flat.size() != solid.faces.size() || net.cut.size() != solid.edges.size()) return s;
    const detail::Frames frames(solid);
    const double mm = MmPerUnit(options);
    std::vector<int> tabFace(solid.edges.size(), -1);
    if (options.tabs) PlaceTabs(solid, net, frames, mm, s.tabs, tabFace);
    for (std::size_t f = 0; f < solid.faces.size(); ++f) {
        const std::vector<Point2>& p = net.flat[f];
        s.faces.push_back(p);
        for (int e : frames.faceEdges[f]) {
            const auto [i, j] = frames.ends(solid, e, static_cast<int>(f));
            const Point2 a = p[static_cast<std::size_t>(i)], b = p[static_cast<std::size_t>(j)];
            if (!net.cut[static_cast<std::size_t>(e)]) {
                // A hinge once, from the face below it.
                if (net.hinge[f] == e) s.lines.push_back({a, b, Sheet::LineKind::Fold, e});
                continue;
            }
            // The copy with the tab folds there; the tab's outline is cut instead.
            const bool tab = tabFace[static_cast<std::size_t>(e)] == static_cast<int>(f);
            s.lines.push_back({a, b, tab ? Sheet::LineKind::Fold : Sheet::LineKind::Cut, e});
        }
        s.labels.push_back({Centroid(p), std::to_string(f + 1), true});
    }
    AddTabLines(s);
    if (options.glueMarks) {
        std::size_t mark = 0;
        for (std::size_t e = 0; e < solid.edges.size(); ++e) {
            if (!net.cut[e]) continue;
            const std::string text = GlueName(mark++);
            for (const int f : {solid.edges[e].faceA, solid.edges[e].faceB}) {
                const std::vector<Point2>& p = net.flat[static_cast<std::size_t>(f)];
                const auto [i, j] = frames.ends(solid, static_cast<int>(e), f);
                AddGlueMark(s, p[static_cast<std::size_t>(i)], p[static_cast<std::size_t>(j)],
                            Centroid(p), text);
            }
        }
    }
    if (!options.vertexNames.empty())
        AddVertexNames(s, solid, net, options.vertexNames, options.tabs ? kTabDepthMm / mm : 0);
    detail::Bound(s);
    return s;
}

namespace {

struct Disc {
    Point2 c;
    double r = 0;
};

// A polygon keeps `clearance` away from a disc: no corner inside it and every side far enough.
bool ClearOfDisc(const std::vector<Point2>& p, const Disc& d, double clearance) {
    if (InsideOrOn(p, d.c, 0)) return false;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (detail::SegmentDistance(d.c, p[i], p[(i + 1) % p.size()]) < d.r + clearance)
            return false;
    return true;
}

// A piece of a round development's outline: a rim glued to a base disc of radius `rim` (0: not
// a rim), or one side of the seam.
struct Run {
    std::vector<Point2> p;
    double rim = 0;
    bool seamTab = false; // the side of the seam the seam's tab hangs on
    bool seam = false;    // the other side
};

// Positions along a polyline by the length travelled.
struct Walk {
    explicit Walk(const std::vector<Point2>& p) : p(p) {
        at.push_back(0);
        for (std::size_t i = 1; i < p.size(); ++i)
            at.push_back(at.back() + Dist2(p[i - 1], p[i]));
    }
    Point2 point(double s) const {
        const std::size_t i = static_cast<std::size_t>(
            std::clamp<std::ptrdiff_t>(std::upper_bound(at.begin(), at.end(), s) - at.begin(), 1,
                                       static_cast<std::ptrdiff_t>(p.size()) - 1));
        const double len = at[i] - at[i - 1];
        const double k = len > 0 ? std::clamp((s - at[i - 1]) / len, 0.0, 1.0) : 0.0;
        return {p[i - 1].x + k * (p[i].x - p[i - 1].x), p[i - 1].y + k * (p[i].y - p[i - 1].y)};
    }
    double length() const { return at.back(); }
    const std::vector<Point2>& p;
    std::vector<double> at;
};

constexpr double kToothAngle = 60 * kDegree;

// Glue teeth along the rim `run` (the outside on its right), each `depth` deep from the rim,
// evenly spaced; a tooth that would not keep clear of the discs or would overlap other paper is
// left out. Appends the teeth and the stretches of the rim they hang on.
void AddTeeth(const Run& run, double depth, double base, const std::vector<Disc>& discs,
              double clearance, const std::vector<Point2>& lateral, double tol,
              std::vector<Sheet::Tab>& tabs, std::vector<std::pair<double, double>>& folds) {
    const Walk walk(run.p);
    const double gap = 0.6 * depth;
    const double total = walk.length();
    const int n = static_cast<int>(std::floor((total + gap) / (base + gap)));
    if (n < 1) return;
    const double start = (total - (n * base + (n - 1) * gap)) / 2;
    for (int k = 0; k < n; ++k) {
        double s0 = start + k * (base + gap), s1 = s0 + base;
        if (run.p.size() > 3) {
            // On an arc the tooth runs from corner to corner of the outline, so that its sides
            // leave the outline exactly where the outline turns.
            const auto corner = [&](double s) {
                return *std::min_element(walk.at.begin(), walk.at.end(), [s](double l, double r) {
                    return std::fabs(l - s) < std::fabs(r - s);
                });
            };
            s0 = corner(s0);
            s1 = corner(s1);
            if (!(s1 > s0)) continue;
        }
        const Point2 a = walk.point(s0), b = walk.point(s1);
        std::vector<Point2> between; // rim corners inside the tooth's stretch
        for (std::size_t i = 0; i < run.p.size(); ++i)
            if (walk.at[i] > s0 + 1e-12 * total && walk.at[i] < s1 - 1e-12 * total)
                between.push_back(run.p[i]);
        const Point2 t = Unit2(a, b), out{t.y, -t.x};
        double bulge = 0; // how far the rim reaches outward past the chord
        for (const Point2& q : between)
            bulge = std::max(bulge, out.x * (q.x - a.x) + out.y * (q.y - a.y));
        // Sides at 60° where the stretch allows, steeper on a tight rim.
        const double h = depth + bulge, c = std::min(h / std::tan(kToothAngle), 0.4 * Dist2(a, b));
        std::vector<Point2> outline{b};
        outline.insert(outline.end(), between.rbegin(), between.rend());
        outline.push_back(a);
        const std::size_t along = outline.size();
        outline.push_back(Add(a, Add(Scaled(t, c), Scaled(out, h))));
        outline.push_back(Add(b, Add(Scaled(t, -c), Scaled(out, h))));
        const bool clear =
            std::all_of(discs.begin(), discs.end(),
                        [&](const Disc& d) { return ClearOfDisc(outline, d, clearance); }) &&
            !detail::PolygonsOverlap(outline, lateral, tol) &&
            std::none_of(tabs.begin(), tabs.end(), [&](const Sheet::Tab& o) {
                return detail::PolygonsOverlap(outline, o.outline, tol);
            });
        if (!clear) continue;
        tabs.push_back({std::move(outline), along, -1, 0, depth});
        folds.emplace_back(s0, s1);
    }
}

// The run's outline as lines, fold lines where a tab hangs on it.
void AddRunLines(Sheet& s, const Run& run, const std::vector<std::pair<double, double>>& folds,
                 bool foldAll) {
    const Walk walk(run.p);
    std::vector<double> cuts(walk.at.begin(), walk.at.end());
    for (const auto& [s0, s1] : folds) {
        cuts.push_back(s0);
        cuts.push_back(s1);
    }
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 1; i < cuts.size(); ++i) {
        const double s0 = cuts[i - 1], s1 = cuts[i];
        if (!(s1 - s0 > 1e-12 * walk.length())) continue;
        const double m = (s0 + s1) / 2;
        const bool fold = foldAll || std::any_of(folds.begin(), folds.end(), [m](const auto& f) {
                              return f.first < m && m < f.second;
                          });
        s.lines.push_back({walk.point(s0), walk.point(s1),
                           fold ? Sheet::LineKind::Fold : Sheet::LineKind::Cut, -1});
    }
}

} // namespace

Sheet SheetOf(const Development& d, const SheetOptions& options) {
    Sheet s;
    const double mm = MmPerUnit(options), unit = 1 / mm;
    std::vector<Disc> discs;
    std::vector<Run> runs;
    // Where the lateral surface lies when its seam's two sides meet, as the seam's tab sees it.
    std::vector<Point2> partner;
    Point2 middle;
    if (d.kind == Development::Kind::Cylinder) {
        // The lateral rectangle, a disc touching each long side at its middle (a corner of the
        // outline, so that the two outlines meet there).
        const double w = d.width, h = d.height, r = d.radius1;
        runs = {{{{0, 0}, {w / 2, 0}, {w, 0}}, r},
                {{{w, 0}, {w, h}}, 0, false, true},
                {{{w, h}, {w / 2, h}, {0, h}}, r},
                {{{0, h}, {0, 0}}, 0, true, false}};
        discs = {{{w / 2, h + r}, r}, {{w / 2, -r}, r}};
        partner = {{-w, 0}, {0, 0}, {0, h}, {-w, h}};
        middle = {w / 2, h / 2};
    } else {
        // The sector opens downward from the apex at the origin; the base disc touches the
        // outer arc at its middle, the top disc the inner arc from inside.
        const double a0 = -kPi / 2 - d.sectorAngle / 2, a1 = -kPi / 2 + d.sectorAngle / 2;
        const std::vector<Point2> outer = Arc({0, 0}, d.sectorOuter, a0, a1);
        runs.push_back({outer, d.radius1});
        if (d.sectorInner > 0) {
            const std::vector<Point2> inner = Arc({0, 0}, d.sectorInner, a1, a0);
            runs.push_back({{outer.back(), inner.front()}, 0, false, true});
            runs.push_back({inner, d.radius2});
            runs.push_back({{inner.back(), outer.front()}, 0, true, false});
        } else {
            runs.push_back({{outer.back(), {0, 0}}, 0, false, true});
            runs.push_back({{{0, 0}, outer.front()}, 0, true, false});
        }
        discs.push_back({{0, -d.sectorOuter - d.radius1}, d.radius1});
        if (d.kind == Development::Kind::TruncatedCone && d.radius2 > 0)
            discs.push_back({{0, -d.sectorInner + d.radius2}, d.radius2});
        middle = {0, -(d.sectorOuter + d.sectorInner) / 2};
    }
    std::vector<Point2> lateral;
    for (const Run& run : runs)
        lateral.insert(lateral.end(), run.p.begin(), run.p.end() - 1);
    if (partner.empty()) {
        // The sector turned back by its own angle about the apex.
        const double c = std::cos(-d.sectorAngle), sn = std::sin(-d.sectorAngle);
        for (const Point2& p : lateral)
            partner.push_back({c * p.x - sn * p.y, sn * p.x + c * p.y});
    }
    s.faces.push_back(lateral);
    double size = 0;
    for (const Point2& p : lateral)
        size = std::max({size, std::fabs(p.x), std::fabs(p.y)});
    const double tol = 1e-9 * std::max(size, 1e-300);

    std::vector<std::vector<std::pair<double, double>>> folds(runs.size());
    bool seamTab = false;
    if (options.tabs) {
        // The seam's tab first, then the teeth that hold the bases, each run's teeth sized for
        // its disc.
        const Run& side =
            *std::find_if(runs.begin(), runs.end(), [](const Run& r) { return r.seamTab; });
        const auto fits = [&](const std::vector<Point2>& outline) {
            return std::all_of(outline.begin(), outline.end(),
                               [&](Point2 q) { return InsideOrOn(partner, q, tol); });
        };
        const auto clear = [&](const std::vector<Point2>& room) {
            return !detail::PolygonsOverlap(room, lateral, tol) &&
                   std::all_of(discs.begin(), discs.end(),
                               [&](const Disc& disc) { return ClearOfDisc(room, disc, 0); });
        };
        if (std::optional<TabFit> fit =
                BestTab(side.p.front(), side.p.back(), kTabDepthMm * unit, kMinTabDepthMm * unit,
                        kClearMm * unit, fits, clear)) {
            s.tabs.push_back({fit->outline, 2, -1, 0, fit->depth});
            seamTab = true;
        }
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (!(runs[i].rim > 0)) continue;
            const double rimMm = runs[i].rim * mm;
            const double depth = std::clamp(0.35 * rimMm, kMinTabDepthMm, kTabDepthMm) * unit;
            const double base = std::clamp(0.6 * rimMm * unit, 1.4 * depth, 2.2 * depth);
            AddTeeth(runs[i], depth, base, discs, kClearMm * unit, lateral, tol, s.tabs, folds[i]);
        }
    }
    for (std::size_t i = 0; i < runs.size(); ++i)
        AddRunLines(s, runs[i], folds[i], runs[i].seamTab && seamTab);
    AddTabLines(s);
    s.labels.push_back({middle, "1", true});
    for (const Disc& disc : discs) {
        std::vector<Point2> outline = Arc(disc.c, disc.r, 0, 2 * kPi);
        outline.pop_back(); // the closing point again
        for (std::size_t k = 0; k < outline.size(); ++k)
            s.lines.push_back(
                {outline[k], outline[(k + 1) % outline.size()], Sheet::LineKind::Cut, -1});
        s.faces.push_back(std::move(outline));
        s.labels.push_back({disc.c, std::to_string(s.faces.size()), true});
    }
    if (options.glueMarks)
        for (const Run& run : runs)
            if (run.seam || run.seamTab)
                AddGlueMark(s, run.p.front(), run.p.back(), middle, GlueName(0));
    detail::Bound(s);
    return s;
}

} // namespace vorn::nets
