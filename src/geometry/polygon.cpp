// Polygon routines of the geometry kernel: lengths, areas, column volumes, planar tests, hull.
#include "geometry/polygon.h"

#include "geometry/extended.h"

#include <algorithm>
#include <cmath>

namespace vorn::geo {

using detail::Ext;

namespace {

// The list's count, kept inside the array whatever a caller stored in n.
int Count(const PointList& p) {
    return std::clamp<int>(p.n, 0, PointList::kCapacity);
}

bool SameXY(const Vec3& p, const Vec3& q) {
    return IsNear(p.x, q.x) && IsNear(p.y, q.y);
}

// PointOnSegment2D with the bounding box widened by boxEps.
SegmentTest SegmentWithin(const Vec3& p1, const Vec3& p2, const Vec3& p, double eps,
                          double boxEps) {
    if (SameXY(p, p1) || SameXY(p, p2)) return {true, true};
    if (SameXY(p1, p2)) return {false, false};
    SegmentTest r;
    r.onLine = PointLineDistance({p.x, p.y, 0}, {p1.x, p1.y, 0}, {p2.x, p2.y, 0}) < eps;
    r.inBox = std::min(p1.x, p2.x) - boxEps <= p.x && p.x <= std::max(p1.x, p2.x) + boxEps &&
              std::min(p1.y, p2.y) - boxEps <= p.y && p.y <= std::max(p1.y, p2.y) + boxEps;
    return r;
}

} // namespace

Projection ProjectionRule(double a, double b, double c) {
    // Fixed order: a tiny x-component still wins over a large z-component.
    if (std::fabs(a) >= kEpsPlane) return Projection::DropX;
    if (std::fabs(b) >= kEpsPlane) return Projection::DropY;
    if (std::fabs(c) >= kEpsPlane) return Projection::DropZ;
    return Projection::Unchanged;
}

Vec3 ProjectPoint(Projection projection, const Vec3& p) {
    switch (projection) {
    case Projection::DropX:
        return {p.z, p.y, 0};
    case Projection::DropY:
        return {p.x, p.z, 0};
    case Projection::DropZ:
    case Projection::Unchanged:
        break;
    }
    return {p.x, p.y, 0};
}

double PolylineLength(const PointList& p) {
    const int n = Count(p);
    Ext sum = 0;
    for (int i = 1; i < n; ++i)
        sum += PointDistance(p[i], p[i + 1]);
    return static_cast<double>(sum);
}

double PolygonArea2D(std::span<const Vec3> points) {
    const std::size_t k = points.size();
    Ext sum = 0;
    for (std::size_t i = 0; i < k; ++i) {
        const Vec3& a = points[i];
        const Vec3& b = points[(i + 1) % k];
        sum += Ext(a.x) * b.y - Ext(b.x) * a.y;
    }
    return static_cast<double>(sum / 2);
}

double PolygonArea3D(const PointList& p) {
    const int n = Count(p);
    if (n < 3) return 0;
    const PlaneFit fit = PlaneThroughPoints(p[1], p[2], p[3]);
    if (fit.degenerate) return 0;
    const Projection projection = ProjectionRule(fit.plane.a, fit.plane.b, fit.plane.c);
    Ext cosine = 0;
    switch (projection) {
    case Projection::DropX:
        cosine = fit.plane.a;
        break;
    case Projection::DropY:
        cosine = fit.plane.b;
        break;
    case Projection::DropZ:
        cosine = fit.plane.c;
        break;
    case Projection::Unchanged:
        return 0;
    }
    Ext sum = 0;
    for (int i = 1; i <= n; ++i) {
        const Vec3 a = ProjectPoint(projection, p[i]);
        const Vec3 b = ProjectPoint(projection, p[i % n + 1]);
        sum += Ext(a.x) * b.y - Ext(b.x) * a.y;
    }
    // The projected area shrinks by the cosine between the normal and the dropped axis.
    return static_cast<double>(sum / 2 / cosine);
}

double TriangleColumnVolume(const Vec3& s, const Vec3& a, const Vec3& b) {
    const Vec3 s0{s.x, s.y, 0}, a0{a.x, a.y, 0}, b0{b.x, b.y, 0};
    // Two pyramids with apex S: over the trapezoid A' A B B' and over the triangle S' A' B'.
    const PlaneFit side = PlaneThroughPoints(a0, a, b0);
    if (side.degenerate) return 0;
    const Ext h = std::fabs(Ext(PointPlaneDeviation(s, side.plane))) * (Ext(a.z) + b.z) / 2;
    const Ext first = h * PointDistance(a0, b0);
    const std::array<Vec3, 3> foot{s0, a0, b0};
    const Ext second = std::fabs(Ext(PolygonArea2D(foot))) * s.z;
    return static_cast<double>((first + second) / 3);
}

double PolygonColumnVolume(const PointList& p) {
    const int n = Count(p);
    if (n < 1) return 0;
    const Vec3& s = p[1];
    Ext sum = 0;
    // Fan from p[1]; each triangle counts with its orientation seen from above, so a vertical
    // polygon gives 0.
    for (int k = 2; k < n; ++k) {
        const Vec3& a = p[k];
        const Vec3& b = p[k + 1];
        const float turn = static_cast<float>((Ext(a.x) - s.x) * (Ext(b.y) - a.y) -
                                              (Ext(a.y) - s.y) * (Ext(b.x) - a.x));
        sum += SignTol(turn) * Ext(TriangleColumnVolume(s, a, b));
    }
    const double volume = static_cast<double>(std::fabs(sum));
    return s.z < 0 ? -volume : volume;
}

SegmentTest PointOnSegment2D(const Vec3& p1, const Vec3& p2, const Vec3& p, double eps) {
    return SegmentWithin(p1, p2, p, eps, 0);
}

PolygonTest PointInPolygon2D(const PointList& p, double x, double y) {
    const int n = Count(p);
    PolygonTest r;
    std::array<double, PointList::kCapacity> crossings{};
    int crossingCount = 0, right = 0, left = 0;
    for (int j = 1; j <= n && !r.onEdge; ++j) {
        const Vec3& a = p[j];
        const Vec3& b = p[j % n + 1];
        // The box gets the line's tolerance too: without it a point a rounding step outside a
        // horizontal or vertical edge is neither on it nor counted by the crossings.
        r.onEdge = SegmentWithin(a, b, {x, y, 0}, kEpsEdge, kEpsEdge).onSegment();
        if (std::fabs(b.y - a.y) < kEpsEdge) continue;
        const double xi = (y - a.y) * (b.x - a.x) / (b.y - a.y) + a.x;
        if (!PointOnSegment2D(a, b, {xi, y, 0}, kEpsSegment).onSegment()) continue;
        // A vertex shared by two edges is one crossing.
        const auto end = crossings.begin() + crossingCount;
        if (std::any_of(crossings.begin(), end,
                        [xi](double c) { return std::fabs(xi - c) < kEpsDuplicate; }))
            continue;
        crossings[static_cast<std::size_t>(crossingCount++)] = xi;
        const int side = SignTol(static_cast<float>(x - xi));
        if (side < 0) ++right;
        if (side > 0) ++left;
    }
    r.inside = r.onEdge || (right % 2 == 1 && left % 2 == 1);
    return r;
}

int PlanarConvexHull(PointList& p, HullOrder& order, const Plane& plane) {
    constexpr int kCap = PointList::kCapacity;
    const int n = p.n;
    if (n < 0 || n > kCap) {
        p.n = 0;
        return 0;
    }
    const PointList original = p;
    const Projection projection = ProjectionRule(plane.a, plane.b, plane.c);
    std::array<Vec3, kCap + 1> q{};
    for (int i = 1; i <= n; ++i)
        q[static_cast<std::size_t>(i)] = ProjectPoint(projection, p[i]);
    const auto at = [&q](int i) -> const Vec3& { return q[static_cast<std::size_t>(i)]; };

    // Candidates: drop every point lying on a segment between two others (edge interiors,
    // and both copies of a repeated point).
    std::array<bool, kCap + 1> candidate{};
    for (int i = 1; i <= n; ++i)
        candidate[static_cast<std::size_t>(i)] = true;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            for (int m = 1; m <= n; ++m) {
                auto& keep = candidate[static_cast<std::size_t>(m)];
                if (keep && m != i && m != j &&
                    PointOnSegment2D(at(i), at(j), at(m), kEpsSegment).onSegment())
                    keep = false;
            }

    // Walk the boundary: the next vertex is the first unvisited candidate that has every
    // candidate on one side of the line from the current vertex to it.
    const auto walk = [&](int start) {
        std::array<bool, kCap + 1> unvisited = candidate;
        order[1] = static_cast<std::uint8_t>(start);
        int m = 1;
        for (;;) {
            const int cur = order[static_cast<std::size_t>(m)];
            unvisited[static_cast<std::size_t>(cur)] = false;
            int next = 0;
            for (int c = 1; c <= n && next == 0; ++c) {
                if (!unvisited[static_cast<std::size_t>(c)]) continue;
                int negative = 0, positive = 0;
                for (int t = 1; t <= n; ++t) {
                    if (!candidate[static_cast<std::size_t>(t)]) continue;
                    const Ext side = (Ext(at(t).x) - at(cur).x) * (Ext(at(c).y) - at(cur).y) -
                                     (Ext(at(t).y) - at(cur).y) * (Ext(at(c).x) - at(cur).x);
                    if (side < -kEpsCoord) ++negative;
                    if (side > kEpsCoord) ++positive;
                }
                if (negative == 0 || positive == 0) next = c;
            }
            if (next == 0) return m;
            order[static_cast<std::size_t>(++m)] = static_cast<std::uint8_t>(next);
        }
    };
    // The walk starts at the smallest candidate. A point inside the polygon that lies on no
    // segment between two others stays a candidate, and a walk from it ends at once; the next
    // candidate is then the start, so such a point cannot cost a face its outline.
    int m = 0;
    for (int start = 1; start <= n && m < 2; ++start)
        if (candidate[static_cast<std::size_t>(start)]) m = walk(start);

    for (int k = 1; k <= m; ++k)
        p[k] = original[order[static_cast<std::size_t>(k)]];
    p[m + 1] = p[1];
    p.n = static_cast<std::int16_t>(m);
    return m;
}

bool ClipToBox(double ax, double ay, double bx, double by, double x0, double y0, double x1,
               double y1, double& t0, double& t1) {
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
    }
    return t0 < t1;
}

} // namespace vorn::geo
