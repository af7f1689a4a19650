// The measurements: angles and distances between picked elements, written to the report.
#include "polyhedra/measurements.h"

#include "core/format.h"
#include "core/object_view.h"
#include "lang/message_ids.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace vorn::poly {

using geo::Plane;
using geo::Vec3;

namespace {

// The lines of one measurement and the point it offers, given only when every number in them
// is finite: otherwise the report gets "Дані не коректні." in their place and nothing is offered.
class Answer {
  public:
    explicit Answer(core::Env& env) : m_env(env), m_number(env.settings.answerDigits) {}

    std::string number(double value) { return m_number(value); }
    // "1.5708 (90°)"
    std::string angle(double radians) {
        return number(radians) + " (" + number(radians / std::numbers::pi * 180) + "°)";
    }
    void line(int message, const std::string& tail) {
        m_lines.push_back(m_env.msg(message) + tail);
    }
    // The point of a line that shows its coordinates.
    void offer(int nameMessage, const Vec3& p) {
        m_offerName = nameMessage;
        m_offer = p;
    }
    void give() {
        if (!m_number.finite()) {
            m_env.host.addReportLine(m_env.msg(lang::msg::kBadData));
            return;
        }
        for (const std::string& l : m_lines)
            m_env.host.addReportLine(l);
        if (m_offerName)
            core::OfferPointObject(m_env, m_env.msg(*m_offerName), m_offer.x, m_offer.y, m_offer.z);
    }

  private:
    core::Env& m_env;
    core::AnswerNumbers m_number;
    std::vector<std::string> m_lines;
    std::optional<int> m_offerName;
    Vec3 m_offer;
};

// Rounding can push a cosine a hair past ±1, where arccos and arcsin have no value.
double Clamped(double cosine) {
    return std::clamp(cosine, -1.0, 1.0);
}

Vec3 Normal(const Plane& p) {
    return {p.a, p.b, p.c};
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
    Pick pick;
    pick.kind = PickKind::Point;
    pick.slot = slot;
    pick.a = core::VertexAt(scene.object(slot), vertex);
    return pick;
}

Pick LinePick(const core::Scene& scene, int slot, int vertex1, int vertex2) {
    Pick pick;
    pick.kind = PickKind::Line;
    pick.slot = slot;
    pick.a = core::VertexAt(scene.object(slot), vertex1);
    pick.b = core::VertexAt(scene.object(slot), vertex2);
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
        env.host.addReportLine(env.msg(lang::msg::kBadData));
        return;
    }
    Answer a(env);
    a.line(lang::msg::kAngle, " " + a.angle(std::acos(Clamped(c.value))));
    a.give();
}

void MeasureAngleLinePlane(core::Env& env, const Vec3& a, const Vec3& b, const Plane& plane) {
    const geo::CosineResult c = geo::DirectionCosine(a, b, Normal(plane));
    if (c.degenerate) return;
    Answer answer(env);
    answer.line(lang::msg::kAngleLinePlane,
                " " + answer.angle(std::fabs(std::asin(Clamped(c.value)))));
    answer.give();
}

void MeasureAnglePlanes(core::Env& env, const Plane& first, const Plane& second) {
    const geo::CosineResult c = geo::VectorCosine(Normal(first), Normal(second));
    if (c.degenerate) return;
    Answer a(env);
    a.line(lang::msg::kAnglePlanes, " " + a.angle(std::fabs(std::acos(Clamped(c.value)))));
    a.give();
}

void MeasureDistancePoints(core::Env& env, const Vec3& p1, const Vec3& p2) {
    Answer a(env);
    a.line(lang::msg::kDistancePoints, " " + a.number(geo::PointDistance(p1, p2)));
    a.give();
}

void MeasureDistancePointLine(core::Env& env, const Vec3& p, const Vec3& a, const Vec3& b) {
    Answer answer(env);
    answer.line(lang::msg::kDistancePointLine,
                " " + answer.number(geo::PointLineDistance(p, a, b)));
    answer.give();
}

void MeasureDistancePointPlane(core::Env& env, const Vec3& p, const Plane& plane) {
    const double d = geo::PointPlaneDeviation(p, plane);
    Answer a(env);
    a.line(lang::msg::kDistancePointPlane, " " + a.number(std::fabs(d)));
    a.line(lang::msg::kDeviationPointPlane, " " + a.number(d));
    a.give();
}

void MeasureDistanceLines(core::Env& env, const Vec3& a1, const Vec3& b1, const Vec3& a2,
                          const Vec3& b2) {
    const geo::LineLineResult r = geo::LineLineDistance(a1, b1, a2, b2);
    const double distance = std::fabs(r.distance);
    if (r.degenerate) {
        env.host.addReportLine(env.msg(lang::msg::kBadLines));
        return;
    }
    Answer a(env);
    // Skew lines nearer than the tolerance have no meeting point to offer: their distance is
    // reported instead.
    if (distance < geo::kEpsDuplicate && r.meets) {
        const Vec3& x = r.meetingPoint;
        a.line(lang::msg::kLinesMeetAt,
               " X=" + a.number(x.x) + ", Y=" + a.number(x.y) + ", Z=" + a.number(x.z));
        a.offer(lang::msg::kLinesIntersectionName, x);
    } else {
        a.line(lang::msg::kDistanceLines, " " + a.number(distance));
    }
    a.give();
}

void MeasureDistanceLinePlane(core::Env& env, const Vec3& a, const Vec3& b, const Plane& plane) {
    const geo::LinePlaneHit hit = geo::LinePlaneIntersection(a, b, plane);
    Answer answer(env);
    if (hit.ok) {
        const Vec3& x = hit.point;
        answer.line(lang::msg::kLinePlaneIntersectionName, ": X= " + answer.number(x.x) +
                                                               ", Y= " + answer.number(x.y) +
                                                               ", Z= " + answer.number(x.z));
        answer.offer(lang::msg::kLinePlaneIntersectionName, x);
    } else {
        answer.line(lang::msg::kDistanceLinePlane,
                    " " + answer.number(std::fabs(geo::PointPlaneDeviation(a, plane))));
    }
    answer.give();
}

} // namespace vorn::poly
