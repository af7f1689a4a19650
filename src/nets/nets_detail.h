// Small vector helpers shared by the files of the nets library.
#pragma once

#include "nets/net.h"

#include <cmath>
#include <vector>

namespace vorn::nets::detail {

inline double Length(const geo::Vec3& v) {
    return std::sqrt(geo::dot(v, v));
}
inline geo::Vec3 Unit(const geo::Vec3& v) {
    const double l = Length(v);
    return l > 0 ? v * (1 / l) : v;
}
inline Point2 Sub(Point2 a, Point2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline double Cross2(Point2 a, Point2 b) {
    return a.x * b.y - a.y * b.x;
}
inline double Dist2(Point2 a, Point2 b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}
// Signed area of a polygon, positive counter-clockwise.
inline double SignedArea(const std::vector<Point2>& p) {
    double s = 0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i)
        s += Cross2(p[i], p[(i + 1) % n]);
    return s / 2;
}

inline Point2 Add(Point2 a, Point2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Point2 Scaled(Point2 a, double k) {
    return {a.x * k, a.y * k};
}
double SegmentDistance(Point2 p, Point2 a, Point2 b);
// `p` inside the simple polygon (either winding) and further than `tol` from its outline.
bool StrictlyInside(const std::vector<Point2>& polygon, Point2 p, double tol);
// The interiors of two simple polygons (either winding, convex or not) share more than a strip
// `tol` wide; polygons touching along edges or at corners do not.
bool PolygonsOverlap(const std::vector<Point2>& a, const std::vector<Point2>& b, double tol);
// The bounding box of everything drawn on the sheet.
void Bound(Sheet& sheet);

} // namespace vorn::nets::detail
