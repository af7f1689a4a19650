// The measurements: angles and distances between picked elements, written to the report.
#include "polyhedra/measurements.h"

#include "core/format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vorn::poly {

using geo::Plane;
using geo::Vec3;

namespace {

std::string Number(const core::Env& env, double value) {
    return core::FormatNumber(false, value, env.settings.answerDigits);
}

// "1.5708 (90°)"
std::string Angle(const core::Env& env, double radians) {
    return Number(env, radians) + " (" + Number(env, radians / std::numbers::pi * 180) + "°)";
}

// Rounding can push a cosine a hair past ±1, where arccos and arcsin have no value.
double Clamped(double cosine) {
    return std::clamp(cosine, -1.0, 1.0);
}

Vec3 Normal(const Plane& p) {
    return {p.a, p.b, p.c};
}

void Report(core::Env& env, int message, const std::string& tail) {
    env.host.addReportLine(env.msg(message) + tail);
}

constexpr std::array<PickKind, 3> kThreePoints = {PickKind::Point, PickKind::Point,
                                                  PickKind::Point};
constexpr std::array<PickKind, 2> kLinePlane = {PickKind::Line, PickKind::Plane};
constexpr std::array<PickKind, 2> kPlanes = {PickKind::Plane, PickKind::Plane};
constexpr std::array<PickKind, 2> kPoints = {PickKind::Point, PickKind::Point};
constexpr std::array<PickKind, 2> kPointLine = {PickKind::Point, PickKind::Line};
constexpr std::array<PickKind, 2> kPointPlane = {PickKind::Point, PickKind::Plane};
constexpr std::array<PickKind, 2> kLines = {PickKind::Line, PickKind::Line};

} // namespace

Pick PointPick(const core::Scene& scene, int slot, int vertex) {
    const core::Vec3f& v = scene.object(slot).vertex(vertex);
    Pick pick;
    pick.kind = PickKind::Point;
    pick.slot = slot;
    pick.a = {v.x, v.y, v.z};
    return pick;
}

Pick LinePick(const core::Scene& scene, int slot, int vertex1, int vertex2) {
    const core::Vec3f& v = scene.object(slot).vertex(vertex1);
    const core::Vec3f& w = scene.object(slot).vertex(vertex2);
    Pick pick;
    pick.kind = PickKind::Line;
    pick.slot = slot;
    pick.a = {v.x, v.y, v.z};
    pick.b = {w.x, w.y, w.z};
    return pick;
}

Pick PlanePick(const core::Scene& scene, int slot) {
    const core::Face& f = scene.object(slot).face(1);
    Pick pick;
    pick.kind = PickKind::Plane;
    pick.slot = slot;
    pick.plane = {f.a, f.b, f.c, f.d};
    return pick;
}

std::span<const PickKind> MeasurementPicks(int number) {
    switch (number) {
    case 1:
        return kThreePoints;
    case 2:
    case 8:
        return kLinePlane;
    case 3:
        return kPlanes;
    case 4:
        return kPoints;
    case 5:
        return kPointLine;
    case 6:
        return kPointPlane;
    case 7:
        return kLines;
    default:
        return {};
    }
}

bool RunMeasurement(core::Env& env, int number, std::span<const Pick> picks) {
    const std::span<const PickKind> kinds = MeasurementPicks(number);
    if (kinds.empty() || kinds.size() != picks.size()) return false;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (picks[i].kind != kinds[i]) return false;
    const Pick& p = picks[0];
    const Pick& q = picks[1];
    switch (static_cast<Measurement>(number)) {
    case Measurement::AngleByThreePoints:
        MeasureAngleByThreePoints(env, p.a, q.a, picks[2].a);
        break;
    case Measurement::AngleLinePlane:
        MeasureAngleLinePlane(env, p.a, p.b, q.plane);
        break;
    case Measurement::AnglePlanes:
        MeasureAnglePlanes(env, p.plane, q.plane);
        break;
    case Measurement::DistancePoints:
        MeasureDistancePoints(env, p.a, q.a);
        break;
    case Measurement::DistancePointLine:
        MeasureDistancePointLine(env, p.a, q.a, q.b);
        break;
    case Measurement::DistancePointPlane:
        MeasureDistancePointPlane(env, p.a, q.plane);
        break;
    case Measurement::DistanceLines:
        MeasureDistanceLines(env, p.a, p.b, q.a, q.b);
        break;
    case Measurement::DistanceLinePlane:
        MeasureDistanceLinePlane(env, p.a, p.b, q.plane);
        break;
    }
    return true;
}

void MeasureAngleByThreePoints(core::Env& env, const Vec3& p1, const Vec3& p2, const Vec3& p3) {
    const geo::CosineResult c = geo::VertexAngleCosine(p1, p2, p3);
    if (c.degenerate) {
        env.host.addReportLine(env.msg(49));
        return;
    }
    Report(env, 121, " " + Angle(env, std::acos(Clamped(c.value))));
}

void MeasureAngleLinePlane(core::Env& env, const Vec3& a, const Vec3& b, const Plane& plane) {
    const geo::CosineResult c = geo::DirectionCosine(a, b, Normal(plane));
    if (c.degenerate) return;
    Report(env, 122, " " + Angle(env, std::fabs(std::asin(Clamped(c.value)))));
}

void MeasureAnglePlanes(core::Env& env, const Plane& first, const Plane& second) {
    const geo::CosineResult c = geo::VectorCosine(Normal(first), Normal(second));
    if (c.degenerate) return;
    Report(env, 123, " " + Angle(env, std::fabs(std::acos(Clamped(c.value)))));
}

void MeasureDistancePoints(core::Env& env, const Vec3& p1, const Vec3& p2) {
    Report(env, 124, " " + Number(env, geo::PointDistance(p1, p2)));
}

void MeasureDistancePointLine(core::Env& env, const Vec3& p, const Vec3& a, const Vec3& b) {
    Report(env, 125, " " + Number(env, geo::PointLineDistance(p, a, b)));
}

void MeasureDistancePointPlane(core::Env& env, const Vec3& p, const Plane& plane) {
    const double d = geo::PointPlaneDeviation(p, plane);
    Report(env, 126, " " + Number(env, std::fabs(d)));
    Report(env, 127, " " + Number(env, d));
}

void MeasureDistanceLines(core::Env& env, const Vec3& a1, const Vec3& b1, const Vec3& a2,
                          const Vec3& b2) {
    const geo::LineLineResult r = geo::LineLineDistance(a1, b1, a2, b2);
    const double distance = std::fabs(r.distance);
    if (r.degenerate) {
        env.host.addReportLine(env.msg(131));
        return;
    }
    // Skew lines nearer than the tolerance have no meeting point to offer: their distance is
    // reported instead.
    if (distance < geo::kEpsDuplicate && r.meets) {
        const Vec3& x = r.meetingPoint;
        Report(env, 129,
               " X=" + Number(env, x.x) + ", Y=" + Number(env, x.y) + ", Z=" + Number(env, x.z));
        core::OfferPointObject(env, env.msg(130), x.x, x.y, x.z);
        return;
    }
    Report(env, 128, " " + Number(env, distance));
}

void MeasureDistanceLinePlane(core::Env& env, const Vec3& a, const Vec3& b, const Plane& plane) {
    const geo::LinePlaneHit hit = geo::LinePlaneIntersection(a, b, plane);
    if (hit.ok) {
        const Vec3& x = hit.point;
        Report(env, 132,
               ": X= " + Number(env, x.x) + ", Y= " + Number(env, x.y) +
                   ", Z= " + Number(env, x.z));
        core::OfferPointObject(env, env.msg(132), x.x, x.y, x.z);
        return;
    }
    Report(env, 133, " " + Number(env, std::fabs(geo::PointPlaneDeviation(a, plane))));
}

} // namespace vorn::poly
