// The paper drawing of a net: outlines, cut and fold lines, glue tabs and labels.
#include "nets/net.h"
#include "nets/nets_detail.h"
#include "nets/unfold_detail.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorn::nets {

using detail::Dist2;
using detail::Sub;

namespace {

constexpr double kPi = std::numbers::pi;

void Grow(Sheet& s, Point2 p, bool& first) {
    if (first) {
        s.low = s.high = p;
        first = false;
        return;
    }
    s.low = {std::min(s.low.x, p.x), std::min(s.low.y, p.y)};
    s.high = {std::max(s.high.x, p.x), std::max(s.high.y, p.y)};
}

void Bound(Sheet& s) {
    bool first = true;
    for (const std::vector<Point2>& f : s.faces)
        for (const Point2& p : f)
            Grow(s, p, first);
    for (const Sheet::Line& l : s.lines) {
        Grow(s, l.a, first);
        Grow(s, l.b, first);
    }
    for (const Sheet::Label& l : s.labels)
        Grow(s, l.at, first);
}

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

// A trapezoid on the outer side of the edge a -> b of a counter-clockwise outline.
void AddTab(Sheet& s, Point2 a, Point2 b) {
    const double len = Dist2(a, b);
    if (!(len > 0)) return;
    const Point2 t{(b.x - a.x) / len, (b.y - a.y) / len};
    const Point2 out{t.y, -t.x};
    const double h = 0.2 * len; // 45° sides, the short side 0.6 of the edge
    const Point2 a2{a.x + h * (out.x + t.x), a.y + h * (out.y + t.y)};
    const Point2 b2{b.x + h * (out.x - t.x), b.y + h * (out.y - t.y)};
    s.lines.push_back({a, a2, Sheet::LineKind::Tab, -1});
    s.lines.push_back({a2, b2, Sheet::LineKind::Tab, -1});
    s.lines.push_back({b2, b, Sheet::LineKind::Tab, -1});
}

// Points of an arc about `c` from angle a0 to a1, in steps of at most one degree.
std::vector<Point2> Arc(Point2 c, double r, double a0, double a1) {
    const int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(a1 - a0) / (kPi / 180))));
    std::vector<Point2> p;
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        p.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return p;
}

void AddOutline(Sheet& s, std::vector<Point2> outline) {
    for (std::size_t k = 0; k < outline.size(); ++k)
        s.lines.push_back(
            {outline[k], outline[(k + 1) % outline.size()], Sheet::LineKind::Cut, -1});
    s.faces.push_back(std::move(outline));
}

void AddDisc(Sheet& s, Point2 c, double r) {
    std::vector<Point2> disc = Arc(c, r, 0, 2 * kPi);
    disc.pop_back(); // the closing point again
    AddOutline(s, std::move(disc));
}

// One name per corner point of the paper: the corners of faces joined around a vertex meet at
// one point, and a name in each of them would crowd it. The name stands just outside the faces
// meeting there, against the mean of their directions toward their centres, as textbooks
// letter a net; inside, it would sit on the fold line between two faces.
void AddVertexNames(Sheet& s, const Solid& solid, const Net& net,
                    const std::vector<std::string>& names) {
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
        s.labels.push_back({{o.at.x - 0.2 * o.reach * u.x, o.at.y - 0.2 * o.reach * u.y},
                            names[static_cast<std::size_t>(o.vertex) - 1],
                            false});
    }
}

} // namespace

Sheet SheetOf(const Solid& solid, const Net& net, const SheetOptions& options) {
    Sheet s;
    if (net.flat.size() != solid.faces.size() || net.cut.size() != solid.edges.size()) return s;
    const detail::Frames frames(solid);
    for (std::size_t f = 0; f < solid.faces.size(); ++f) {
        const std::vector<Point2>& p = net.flat[f];
        s.faces.push_back(p);
        for (int e : frames.faceEdges[f]) {
            const auto [i, j] = frames.ends(solid, e, static_cast<int>(f));
            const Point2 a = p[static_cast<std::size_t>(i)], b = p[static_cast<std::size_t>(j)];
            const SolidEdge& edge = solid.edges[static_cast<std::size_t>(e)];
            if (!net.cut[static_cast<std::size_t>(e)]) {
                // A hinge once, from the face below it.
                if (net.hinge[f] == e) s.lines.push_back({a, b, Sheet::LineKind::Fold, e});
                continue;
            }
            s.lines.push_back({a, b, Sheet::LineKind::Cut, e});
            // One tab per cut edge, on the first face's copy for even edges, else the second's.
            const bool here = (e % 2 == 0) == (edge.faceA == static_cast<int>(f));
            if (options.tabs && here) AddTab(s, a, b);
        }
        s.labels.push_back({Centroid(p), std::to_string(f + 1), true});
    }
    if (!options.vertexNames.empty()) AddVertexNames(s, solid, net, options.vertexNames);
    Bound(s);
    return s;
}

namespace {

struct Disc {
    Point2 c;
    double r = 0;
};

// Distance from `c` to the segment a-b.
double SegmentDistance(Point2 c, Point2 a, Point2 b) {
    const Point2 ab = Sub(b, a), ac = Sub(c, a);
    const double len2 = ab.x * ab.x + ab.y * ab.y;
    const double t = len2 > 0 ? std::clamp((ac.x * ab.x + ac.y * ab.y) / len2, 0.0, 1.0) : 0.0;
    return Dist2(c, {a.x + t * ab.x, a.y + t * ab.y});
}

// Glue teeth on every other step of the curve `p`, on the outer side of a counter-clockwise
// outline it belongs to; teeth that would reach into a disc are left out.
void AddTeeth(Sheet& s, const std::vector<Point2>& p, int steps, const std::vector<Disc>& discs) {
    const std::size_t n = p.size() - 1;
    if (n < 1 || steps < 1) return;
    for (int k = 0; k < steps; k += 2) {
        const Point2 a = p[n * static_cast<std::size_t>(k) / static_cast<std::size_t>(steps)];
        const Point2 b = p[n * static_cast<std::size_t>(k + 1) / static_cast<std::size_t>(steps)];
        Sheet tooth;
        AddTab(tooth, a, b);
        const bool clear = std::all_of(tooth.lines.begin(), tooth.lines.end(), [&](const auto& l) {
            return std::all_of(discs.begin(), discs.end(), [&](const Disc& d) {
                return SegmentDistance(d.c, l.a, l.b) >= d.r * (1 - 1e-9);
            });
        });
        if (clear) s.lines.insert(s.lines.end(), tooth.lines.begin(), tooth.lines.end());
    }
}

} // namespace

Sheet SheetOf(const Development& d, const SheetOptions& options) {
    Sheet s;
    std::vector<Disc> discs;
    // With tabs: one along the seam and teeth along the edges glued to the base discs.
    constexpr int kTeeth = 24;
    if (d.kind == Development::Kind::Cylinder) {
        // The lateral rectangle, a disc touching each long side at its middle (a corner of the
        // outline, so that the two outlines meet there).
        const double w = d.width, h = d.height, r = d.radius1;
        AddOutline(s, {{0, 0}, {w / 2, 0}, {w, 0}, {w, h}, {w / 2, h}, {0, h}});
        discs = {{{w / 2, h + r}, r}, {{w / 2, -r}, r}};
        s.labels.push_back({{w / 2, h / 2}, "1", true});
        if (options.tabs) {
            AddTab(s, {0, h}, {0, 0});
            const auto side = [](Point2 a, Point2 b) {
                std::vector<Point2> p;
                for (int k = 0; k <= kTeeth; ++k)
                    p.push_back({a.x + (b.x - a.x) * k / kTeeth, a.y + (b.y - a.y) * k / kTeeth});
                return p;
            };
            AddTeeth(s, side({0, 0}, {w, 0}), kTeeth, discs);
            AddTeeth(s, side({w, h}, {0, h}), kTeeth, discs);
        }
    } else {
        // The sector opens downward from the apex at the origin; the base disc touches the
        // outer arc at its middle, the top disc the inner arc from inside.
        const double a0 = -kPi / 2 - d.sectorAngle / 2, a1 = -kPi / 2 + d.sectorAngle / 2;
        const std::vector<Point2> outer = Arc({0, 0}, d.sectorOuter, a0, a1);
        std::vector<Point2> outline = outer, inner;
        if (d.sectorInner > 0) {
            inner = Arc({0, 0}, d.sectorInner, a1, a0);
            outline.insert(outline.end(), inner.begin(), inner.end());
        } else {
            outline.push_back({0, 0});
        }
        AddOutline(s, outline);
        discs.push_back({{0, -d.sectorOuter - d.radius1}, d.radius1});
        if (d.kind == Development::Kind::TruncatedCone && d.radius2 > 0)
            discs.push_back({{0, -d.sectorInner + d.radius2}, d.radius2});
        const double mid = (d.sectorOuter + d.sectorInner) / 2;
        s.labels.push_back({{0, -mid}, "1", true});
        if (options.tabs) {
            AddTab(s, outline.back(), outline.front());
            AddTeeth(s, outer, kTeeth, discs);
            if (!inner.empty()) AddTeeth(s, inner, kTeeth, discs);
        }
    }
    for (const Disc& disc : discs) {
        AddDisc(s, disc.c, disc.r);
        s.labels.push_back({disc.c, std::to_string(s.faces.size()), true});
    }
    Bound(s);
    return s;
}

} // namespace vorn::nets
