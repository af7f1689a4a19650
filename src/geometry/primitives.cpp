// Point, line, plane and planar-angle routines of the geometry kernel.
#include "geometry/primitives.h"

#include "geometry/extended.h"

#include <array>
#include <cmath>
#include <numbers>

namespace vorn::geo {

using detail::Cross;
using detail::Dot;
using detail::Ext;
using detail::Length;
using detail::Sub;
using detail::XVec;

namespace {

bool Finite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

bool IsNear(double a, double b, double eps) {
    return std::fabs(a - b) < eps;
}

int SignTol(float x) {
    if (x < -kEpsCoord) return -1;
    if (x > kEpsCoord) return 1;
    return 0;
}

double PointDistance(const Vec3& p, const Vec3& q) {
    return static_cast<double>(Length(Sub(p, q)));
}

double ProjectedLength(const Vec3& a, const Vec3& b) {
    const Ext len = Length(detail::Widen(a));
    if (len < kEpsCoord) return 0;
    return static_cast<double>(Dot(detail::Widen(a), detail::Widen(b)) / len);
}

double PointLineDistance(const Vec3& p, const Vec3& l1, const Vec3& l2) {
    if (IsNear(l1.x, l2.x) && IsNear(l1.y, l2.y) && IsNear(l1.z, l2.z)) return PointDistance(p, l1);
    const XVec dir = Sub(l2, l1);
    return static_cast<double>(Length(Cross(Sub(p, l1), dir)) / Length(dir));
}

double PointPlaneDeviation(const Vec3& p, const Plane& plane) {
    const Ext value = Ext(plane.a) * p.x + Ext(plane.b) * p.y + Ext(plane.c) * p.z + plane.d;
    const Ext norm =
        std::sqrt(Ext(plane.a) * plane.a + Ext(plane.b) * plane.b + Ext(plane.c) * plane.c);
    return static_cast<double>(-value / norm);
}

PlaneFit PlaneThroughPoints(const Vec3& p1, const Vec3& p2, const Vec3& p3) {
    const XVec n = Cross(Sub(p2, p1), Sub(p3, p1));
    Ext d = -(n.x * p1.x + n.y * p1.y + n.z * p1.z);
    const Ext len = Length(n);
    PlaneFit fit;
    // Infinite or NaN coordinates give no plane either, rather than a NaN plane called sound.
    if (!(len >= kEpsCoord) || !std::isfinite(len)) {
        fit.degenerate = true;
        fit.plane = {static_cast<double>(n.x), static_cast<double>(n.y), static_cast<double>(n.z),
                     static_cast<double>(d)};
        return fit;
    }
    fit.plane = {static_cast<double>(n.x / len), static_cast<double>(n.y / len),
                 static_cast<double>(n.z / len), static_cast<double>(d / len)};
    // Near the end of the double range the offset can overflow.
    fit.degenerate = !std::isfinite(fit.plane.d);
    return fit;
}

LinePlaneHit LinePlaneIntersection(const Vec3& q0, const Vec3& q1, const Plane& plane) {
    const std::array<Ext, 3> p0{q0.x, q0.y, q0.z};
    const std::array<Ext, 3> dir{Ext(q1.x) - q0.x, Ext(q1.y) - q0.y, Ext(q1.z) - q0.z};
    const std::array<Ext, 3> n{plane.a, plane.b, plane.c};
    LinePlaneHit hit;
    // Solve for the first axis along which the line runs (x, then y, then z); a step whose
    // denominator vanishes falls through to the next axis.
    for (std::size_t k = 0; k < 3; ++k) {
        if (std::fabs(dir[k]) < kEpsCoord) continue;
        const std::size_t i = (k + 1) % 3, j = (k + 2) % 3;
        const Ext rest = n[i] * dir[i] + n[j] * dir[j];
        const Ext t = rest / dir[k] + n[k];
        if (std::fabs(t) < kEpsCoord) continue;
        std::array<Ext, 3> x{};
        x[k] = (rest * p0[k] / dir[k] - n[i] * p0[i] - n[j] * p0[j] - plane.d) / t;
        x[i] = p0[i] + (dir[i] / dir[k]) * (x[k] - p0[k]);
        x[j] = p0[j] + (dir[j] / dir[k]) * (x[k] - p0[k]);
        const Vec3 point{static_cast<double>(x[0]), static_cast<double>(x[1]),
                         static_cast<double>(x[2])};
        const double param = static_cast<double>((x[k] - p0[k]) / dir[k]);
        if (!Finite(point) || !std::isfinite(param)) return {};
        hit.ok = true;
        hit.point = point;
        hit.lineParam = param;
        break;
    }
    if (!hit.ok) return hit;
    // Products of the distances to both ends: negative when the point lies between them.
    const Vec3& x = hit.point;
    hit.withinSegment = (Ext(q0.x) - x.x) * (Ext(q1.x) - x.x) < kWithinSegmentBound &&
                        (Ext(q0.y) - x.y) * (Ext(q1.y) - x.y) < kWithinSegmentBound &&
                        (Ext(q0.z) - x.z) * (Ext(q1.z) - x.z) < kWithinSegmentBound;
    return hit;
}

LineLineResult LineLineDistance(const Vec3& l1a, const Vec3& l1b, const Vec3& l2a,
                                const Vec3& l2b) {
    const XVec u = Sub(l1b, l1a);
    const XVec v = Sub(l2b, l2a);
    const XVec n = Cross(u, v);
    const XVec w = Sub(l2a, l1a);
    const Ext triple = Dot(n, w);
    const Ext nLen = Length(n);
    LineLineResult r;
    if (nLen < kEpsCoord) {
        r.degenerate = true;
        return r;
    }
    if (std::fabs(triple) >= kEpsEdge) {
        r.distance = static_cast<double>(triple / nLen);
        return r;
    }
    // Coplanar and not parallel: cut line 1 with the plane through line 2 along the common
    // normal n. Line 1 crosses that plane at a positive angle (u·(v × n) = |n|²), so the
    // point always exists, unlike with a plane through a fixed third point.
    const Ext s = Dot(Cross(w, v), n) / Dot(n, n);
    r.meets = true;
    r.meetingPoint = {static_cast<double>(l1a.x + s * u.x), static_cast<double>(l1a.y + s * u.y),
                      static_cast<double>(l1a.z + s * u.z)};
    return r;
}

CosineResult VectorCosine(const Vec3& u, const Vec3& v) {
    const XVec a = detail::Widen(u), b = detail::Widen(v);
    const Ext t = std::sqrt(Dot(a, a) * Dot(b, b));
    if (t < kEpsCoord) return {0, true};
    return {static_cast<double>(Dot(a, b) / t), false};
}

CosineResult DirectionCosine(const Vec3& a, const Vec3& b, const Vec3& n) {
    return VectorCosine(b - a, n);
}

CosineResult VertexAngleCosine(const Vec3& a, const Vec3& b, const Vec3& c) {
    return VectorCosine(c - b, a - b);
}

AngleResult SignedAngle2D(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d) {
    constexpr Ext pi = std::numbers::pi_v<Ext>;
    const Ext ux = Ext(b.x) - a.x, uy = Ext(b.y) - a.y;
    const Ext vx = Ext(d.x) - c.x, vy = Ext(d.y) - c.y;
    const Ext t = std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy));
    // A zero-length direction defines no angle: no turn, and the caller is told so.
    if (!(t >= kEpsCoord)) return {0, true};
    const Ext sine = (ux * vy - uy * vx) / t;
    if (!(std::fabs(sine) <= 1)) return {0, true};
    Ext s = std::asin(sine);
    const double w = ProjectedLength({b.x - a.x, b.y - a.y, 0}, {d.x - c.x, d.y - c.y, 0});
    if (w >= 0)
        s = pi - s;
    else if (s < 0)
        s += 2 * pi;
    double result = static_cast<double>(s - pi);
    if (!std::isfinite(result)) return {0, true};
    // Rounding to double can land a turn just short of +π on π itself; keep the range half-open.
    if (result >= std::numbers::pi) result = -std::numbers::pi;
    return {result, false};
}

Point2Result LineIntersection2D(const Vec3& p1, const Vec3& p2, const Vec3& p3, const Vec3& p4) {
    const Ext a1 = Ext(p2.y) - p1.y, b1 = -(Ext(p2.x) - p1.x);
    const Ext c1 = p1.y * (Ext(p2.x) - p1.x) - p1.x * (Ext(p2.y) - p1.y);
    const Ext a2 = Ext(p4.y) - p3.y, b2 = -(Ext(p4.x) - p3.x);
    const Ext c2 = p3.y * (Ext(p4.x) - p3.x) - p3.x * (Ext(p4.y) - p3.y);
    const Ext det = a1 * b2 - a2 * b1;
    if (det == 0) return {0, 0, true};
    const double x = static_cast<double>((b1 * c2 - b2 * c1) / det);
    const double y = static_cast<double>(-(a1 * c2 - a2 * c1) / det);
    if (!std::isfinite(x) || !std::isfinite(y)) return {0, 0, true};
    return {x, y, false};
}

int PositionInList(std::int16_t value, std::span<const std::int16_t> list) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == value) return static_cast<int>(i) + 1;
    return 0;
}

} // namespace vorn::geo
