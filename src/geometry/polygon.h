// Polygon routines of the geometry kernel: lengths, areas, column volumes, planar tests, hull.
#pragma once

#include "geometry/primitives.h"
#include "geometry/vec3.h"

#include <array>
#include <cstdint>
#include <span>

namespace vorn::geo {

// The two coordinates in which a planar polygon is handled, chosen from its unit normal.
enum class Projection {
    DropX,    // (z, y): z takes the place of x
    DropY,    // (x, z): z takes the place of y
    DropZ,    // (x, y)
    Unchanged // (x, y), for a normal with no usable component
};

struct SegmentTest {
    bool onLine = false; // within eps of the segment's line
    bool inBox = false;  // inside the segment's bounding box, without tolerance
    bool onSegment() const { return onLine && inBox; }
};

struct PolygonTest {
    bool inside = false; // inside or on the boundary
    bool onEdge = false; // within kEpsEdge of an edge
};

// order[1..m] of PlanarConvexHull: 1-based input indices of the hull vertices.
using HullOrder = std::array<std::uint8_t, PointList::kCapacity + 2>;

// Projection for a normal (a, b, c): tests |a|, then |b|, then |c| against kEpsPlane.
Projection ProjectionRule(double a, double b, double c);
// The point's two chosen coordinates as (x, y), with z = 0.
Vec3 ProjectPoint(Projection projection, const Vec3& p);
// Clips a + t (b - a), t in t0..t1, to the box x0..x1 x y0..y1 of the plane (Liang-Barsky):
// narrows t0 and t1 and tells whether a piece of positive length is left.
bool ClipToBox(double ax, double ay, double bx, double by, double x0, double y0, double x1,
               double y1, double& t0, double& t1);
// Length of the open polyline p[1..n]; 0 when n ≤ 1.
double PolylineLength(const PointList& p);
// Signed shoelace area of the points' (x, y), wrapping the last point to the first.
double PolygonArea2D(std::span<const Vec3> points);
// Area of the planar polygon p[1..n]; sign not meaningful; 0 when p[1..3] are collinear.
double PolygonArea3D(const PointList& p);
// Volume of the vertical column between triangle S A B and z = 0; 0 when az = 0 or A, B are
// vertically aligned (callers lift their solids above z = 0).
double TriangleColumnVolume(const Vec3& s, const Vec3& a, const Vec3& b);
// Column volume between the planar convex polygon p[1..n] and z = 0, negative when p[1].z < 0.
double PolygonColumnVolume(const PointList& p);
// Whether p lies on the segment p1 p2 in the x-y plane (z ignored).
SegmentTest PointOnSegment2D(const Vec3& p1, const Vec3& p2, const Vec3& p, double eps);
// Whether (x, y) lies in the polygon p[1..n] (x, y used); exact for convex polygons.
PolygonTest PointInPolygon2D(const PointList& p, double x, double y);
// Convex boundary of the coplanar points p[1..n] with normal (plane.a, plane.b, plane.c):
// p[1..m] becomes the boundary in walking order, p[m+1] = p[1], n = m, order[1..m] the input
// indices. Returns m; a count outside 0..kCapacity returns 0 with n = 0.
int PlanarConvexHull(PointList& p, HullOrder& order, const Plane& plane);

} // namespace vorn::geo
