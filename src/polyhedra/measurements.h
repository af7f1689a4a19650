// The eight measurements between picked points, segments and plane objects.
#pragma once

#include "core/scene.h"
#include "geometry/primitives.h"

#include <span>

namespace vorn::poly {

enum class PickKind { Point, Line, Plane };

// One picked element: a point, a segment by its two end points, or a plane object's plane.
struct Pick {
    PickKind kind = PickKind::Point;
    int slot = 0;   // the object it came from
    geo::Vec3 a, b; // the point (a), or the segment's ends
    geo::Plane plane;
};

Pick PointPick(const core::Scene& scene, int slot, int vertex);
Pick LinePick(const core::Scene& scene, int slot, int vertex1, int vertex2);
// The plane of a Plane object: the A, B, C, D of its first face.
Pick PlanePick(const core::Scene& scene, int slot);

enum class Measurement {
    AngleByThreePoints = 1,
    AngleLinePlane,
    AnglePlanes,
    DistancePoints,
    DistancePointLine,
    DistancePointPlane,
    DistanceLines,
    DistanceLinePlane,
};

// The kinds of pick measurement `number` (1..8) takes, in order; empty for another number.
std::span<const PickKind> MeasurementPicks(int number);

// Writes the report lines of measurement `number` for `picks` and offers intersection points.
// Returns false (and does nothing) when the picks do not match MeasurementPicks(number).
bool RunMeasurement(core::Env& env, int number, std::span<const Pick> picks);

void MeasureAngleByThreePoints(core::Env& env, const geo::Vec3& p1, const geo::Vec3& p2,
                               const geo::Vec3& p3);
void MeasureAngleLinePlane(core::Env& env, const geo::Vec3& a, const geo::Vec3& b,
                           const geo::Plane& plane);
void MeasureAnglePlanes(core::Env& env, const geo::Plane& first, const geo::Plane& second);
void MeasureDistancePoints(core::Env& env, const geo::Vec3& p1, const geo::Vec3& p2);
void MeasureDistancePointLine(core::Env& env, const geo::Vec3& p, const geo::Vec3& a,
                              const geo::Vec3& b);
void MeasureDistancePointPlane(core::Env& env, const geo::Vec3& p, const geo::Plane& plane);
void MeasureDistanceLines(core::Env& env, const geo::Vec3& a1, const geo::Vec3& b1,
                          const geo::Vec3& a2, const geo::Vec3& b2);
void MeasureDistanceLinePlane(core::Env& env, const geo::Vec3& a, const geo::Vec3& b,
                              const geo::Plane& plane);

} // namespace vorn::poly
