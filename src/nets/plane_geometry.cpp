// Polygons in the plane of the paper: distances, containment and overlap with a tolerance.
#include "nets/nets_detail.h"

#include <algorithm>

namespace vorn::nets::detail {

double SegmentDistance(Point2 p, Point2 a, Point2 b) {
    const Point2 ab = Sub(b, a), ap = Sub(p, a);
    const double len2 = ab.x * ab.x + ab.y * ab.y;
    const double t = len2 > 0 ? std::clamp((ap.x * ab.x + ap.y * ab.y) / len2, 0.0, 1.0) : 0.0;
    return Dist2(p, {a.x + t * ab.x, a.y + t * ab.y});
}

bool StrictlyInside(const std::vector<Point2>& polygon, Point2 p, double tol) {
    bool inside = false;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point2 a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
            inside = !inside;
    }
    if (!inside) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (SegmentDistance(p, polygon[i], polygon[(i + 1) % n]) <= tol) return false;
    return true;
}

namespace {

// The segments cross at a point inside both, each pair of ends lying beyond `tol` on either
// side of the other's line.
bool ProperCross(Point2 a, Point2 b, Point2 c, Point2 d, double tol) {
    const auto side = [](Point2 p, Point2 q, Point2 r) {
        const double len = Dist2(p, q);
        return len > 0 ? Cross2(Sub(q, p), Sub(r, p)) / len : 0.0;
    };
    const double c1 = side(a, b, c), c2 = side(a, b, d);
    const double a1 = side(c, d, a), a2 = side(c, d, b);
    return ((c1 > tol && c2 < -tol) || (c1 < -tol && c2 > tol)) &&
           ((a1 > tol && a2 < -tol) || (a1 < -tol && a2 > tol));
}

struct Box {
    double x0, x1, y0, y1;
};
Box BoxOf(const std::vector<Point2>& p) {
    Box b{p[0].x, p[0].x, p[0].y, p[0].y};
    for (const Point2& q : p) {
        b.x0 = std::min(b.x0, q.x);
        b.x1 = std::max(b.x1, q.x);
        b.y0 = std::min(b.y0, q.y);
        b.y1 = std::max(b.y1, q.y);
    }
    return b;
}

// A point of `a` just inside it beside the middle of each of its edges, inside `b` too.
bool NudgedMiddleInside(const std::vector<Point2>& a, const std::vector<Point2>& b, double tol) {
    const double turn = SignedArea(a) >= 0 ? 1 : -1;
    for (std::size_t i = 0, n = a.size(); i < n; ++i) {
        const Point2 p = a[i], q = a[(i + 1) % n];
        const double len = Dist2(p, q);
        if (!(len > 8 * tol)) continue;
        const Point2 in{-turn * (q.y - p.y) / len, turn * (q.x - p.x) / len};
        const Point2 m{(p.x + q.x) / 2 + 4 * tol * in.x, (p.y + q.y) / 2 + 4 * tol * in.y};
        if (StrictlyInside(b, m, tol)) return true;
    }
    return false;
}

} // namespace

bool PolygonsOverlap(const std::vector<Point2>& a, const std::vector<Point2>& b, double tol) {
    if (a.size() < 3 || b.size() < 3) return false;
    const Box ba = BoxOf(a), bb = BoxOf(b);
    if (ba.x1 <= bb.x0 + tol || bb.x1 <= ba.x0 + tol || ba.y1 <= bb.y0 + tol ||
        bb.y1 <= ba.y0 + tol)
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j)
            if (ProperCross(a[i], a[(i + 1) % a.size()], b[j], b[(j + 1) % b.size()], tol))
                return true;
    for (const Point2& p : a)
        if (StrictlyInside(b, p, tol)) return true;
    for (const Point2& p : b)
        if (StrictlyInside(a, p, tol)) return true;
    // Outlines running along each other with the interiors on the same side.
    return NudgedMiddleInside(a, b, tol) || NudgedMiddleInside(b, a, tol);
}

} // namespace vorn::nets::detail
