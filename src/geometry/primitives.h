// Stateless routines on points, vectors, lines and planes, plus the planar angle and line helpers.
#pragma once

#include "geometry/tolerances.h"
#include "geometry/vec3.h"

#include <cstdint>
#include <span>

namespace vorn::geo {

// A·x + B·y + C·z + D = 0; normalised (A² + B² + C² = 1) when built by PlaneThroughPoints.
struct Plane {
    double a = 0, b = 0, c = 0, d = 0;
};

struct PlaneFit {
    Plane plane;             // normalised unless degenerate
    bool degenerate = false; // the three points are (nearly) collinear or coincident
};

struct LinePlaneHit {
    bool ok = false;            // false: line parallel to the plane, Q0 = Q1, or a numeric fault
    Vec3 point;                 // the intersection; only meaningful when ok
    bool withinSegment = false; // loose test, bound kWithinSegmentBound per axis
    double lineParam = 0; // point = Q0 + lineParam·(Q1 − Q0), for callers needing a tight test
};

struct LineLineResult {
    double distance = 0;     // signed; callers take the absolute value
    bool meets = false;      // the lines are coplanar and not parallel: meetingPoint is valid
    Vec3 meetingPoint;       // on line 1, where it meets line 2
    bool degenerate = false; // parallel lines or a line given by two equal points
};

struct CosineResult {
    double value = 0;        // not clamped to [−1, 1]
    bool degenerate = false; // a vector of (near) zero length; value is 0
};

struct AngleResult {
    double radians = 0; // in [−π, π)
    bool error = false; // zero-length direction or a numeric fault; radians is 0
};

struct Point2Result {
    double x = 0, y = 0;
    bool error = false; // parallel lines or a numeric fault; x, y are 0
};

// True when |a − b| < eps (strictly).
bool IsNear(double a, double b, double eps = kEpsCoord);
// −1, 0 or +1 with a dead band of kEpsCoord; takes single precision like its callers' values.
int SignTol(float x);
// Euclidean distance between two points.
double PointDistance(const Vec3& p, const Vec3& q);
// (a·b)/|a|, the length of b's projection onto a; 0 when |a| < kEpsCoord.
double ProjectedLength(const Vec3& a, const Vec3& b);
// Distance from p to the line l1 l2; the distance to l1 when l1 and l2 coincide.
double PointLineDistance(const Vec3& p, const Vec3& l1, const Vec3& l2);
// −(A·px + B·py + C·pz + D)/|(A, B, C)|; no guard against a zero normal.
double PointPlaneDeviation(const Vec3& p, const Plane& plane);
// Plane through three points, normal (p2 − p1) × (p3 − p1), normalised unless degenerate.
PlaneFit PlaneThroughPoints(const Vec3& p1, const Vec3& p2, const Vec3& p3);
// Intersection of the infinite line q0 q1 with a plane.
LinePlaneHit LinePlaneIntersection(const Vec3& q0, const Vec3& q1, const Plane& plane);
// Signed distance between the lines l1a l1b and l2a l2b, and their meeting point when they meet.
LineLineResult LineLineDistance(const Vec3& l1a, const Vec3& l1b, const Vec3& l2a, const Vec3& l2b);
// Cosine of the angle between u and v.
CosineResult VectorCosine(const Vec3& u, const Vec3& v);
// VectorCosine(b − a, n).
CosineResult DirectionCosine(const Vec3& a, const Vec3& b, const Vec3& n);
// Cosine of the angle ABC at vertex b.
CosineResult VertexAngleCosine(const Vec3& a, const Vec3& b, const Vec3& c);
// Angle turning direction c→d onto direction a→b, counter-clockwise positive (x, y only).
AngleResult SignedAngle2D(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d);
// Intersection of the lines p1 p2 and p3 p4 in the x-y plane (z ignored).
Point2Result LineIntersection2D(const Vec3& p1, const Vec3& p2, const Vec3& p3, const Vec3& p4);
// 1-based position of the first entry equal to value; 0 when absent.
int PositionInList(std::int16_t value, std::span<const std::int16_t> list);

} // namespace vorn::geo
