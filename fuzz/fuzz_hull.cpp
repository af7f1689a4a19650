// Fuzz target: the polygon and hull kernel and polyhedron formation on decoded point sets,
// including NaN, infinite, huge and repeated coordinates; traps when a result breaks its promise.
#include "core/quiet_host.h"
#include "core/scene.h"
#include "expr/region.h"
#include "geometry/polygon.h"
#include "geometry/primitives.h"
#include "lang/message_table.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

namespace {

namespace geo = vorn::geo;
namespace core = vorn::core;

constexpr std::size_t kMaxPoints = 60;

using core::QuietHost;

struct Decoded {
    std::vector<geo::Vec3> points;
    // Small exact coordinates: the results must be exactly right, not only sound.
    bool exactGrid = false;
};

// First byte: bits 0-2 the grid step, bit 3 all points at z = 0. Then one byte per coordinate:
// below 0xF0 a grid value (-10..10 steps), 0xF0..0xFE a special value, 0xFF eight raw bytes.
Decoded decode(const std::uint8_t* data, std::size_t size) {
    static constexpr double kSteps[] = {1, 0.5, 1e-3, 1e-6, 1e3, 1e6, 1e-9, 0.1};
    static constexpr double kSpecial[] = {std::numeric_limits<double>::quiet_NaN(),
                                          std::numeric_limits<double>::infinity(),
                                          -std::numeric_limits<double>::infinity(),
                                          FLT_MAX,
                                          -FLT_MAX,
                                          1e30,
                                          -1e30,
                                          1e-45,
                                          -0.0,
                                          1e-7,
                                          1e-5,
                                          0.3,
                                          1e300,
                                          DBL_MAX,
                                          -1e-300};
    Decoded d;
    if (size == 0) return d;
    const double step = kSteps[data[0] & 7];
    const bool flat = (data[0] & 8) != 0;
    // Halves and integers up to 10: products stay exact and far above every tolerance.
    d.exactGrid = step == 1 || step == 0.5;
    std::size_t pos = 1;
    const auto next = [&](double& out) {
        if (pos >= size) return false;
        const std::uint8_t t = data[pos++];
        if (t < 0xF0) {
            out = (t % 21 - 10) * step;
        } else if (t < 0xFF) {
            out = kSpecial[t - 0xF0];
            d.exactGrid = false;
        } else {
            if (pos + 8 > size) return false;
            std::memcpy(&out, data + pos, 8);
            pos += 8;
            d.exactGrid = false;
        }
        return true;
    };
    while (d.points.size() < kMaxPoints) {
        geo::Vec3 p;
        if (!next(p.x) || !next(p.y) || (!flat && !next(p.z))) break;
        d.points.push_back(p);
    }
    return d;
}

// Whether the points span space, exactly: grid coordinates keep these products exact.
bool spansSpace(const std::vector<geo::Vec3>& points) {
    if (points.empty()) return false;
    const geo::Vec3& a = points[0];
    for (const geo::Vec3& b : points)
        for (const geo::Vec3& c : points) {
            const geo::Vec3 n = geo::cross(b - a, c - a);
            if (n == geo::Vec3{0, 0, 0}) continue;
            for (const geo::Vec3& e : points)
                if (geo::dot(n, e - a) != 0) return true;
            return false;
        }
    return false;
}

bool finite(const geo::Vec3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

geo::PointList toList(const std::vector<geo::Vec3>& points) {
    geo::PointList list;
    for (const geo::Vec3& p : points)
        list.push(p);
    return list;
}

double cross2(const geo::Vec3& o, const geo::Vec3& a, const geo::Vec3& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The planar hull: a walk over distinct input points; on an exact grid in z = 0, a convex
// polygon holding every input point.
void checkPlanarHull(const Decoded& d, bool flat) {
    const std::size_t n = d.points.size();
    if (n < 1) return;
    geo::PointList list = toList(d.points);
    geo::HullOrder order{};
    const geo::Plane plane =
        flat     ? geo::Plane{0, 0, 1, 0}
        : n >= 3 ? geo::PlaneThroughPoints(d.points[0], d.points[1], d.points[2]).plane
                 : geo::Plane{0, 0, 1, 0};
    const int m = geo::PlanarConvexHull(list, order, plane);
    if (m < 0 || static_cast<std::size_t>(m) > n || list.n != m) std::abort();
    std::array<bool, geo::PointList::kCapacity + 1> seen{};
    for (int k = 1; k <= m; ++k) {
        const int i = order[static_cast<std::size_t>(k)];
        if (i < 1 || static_cast<std::size_t>(i) > n || seen[static_cast<std::size_t>(i)])
            std::abort();
        seen[static_cast<std::size_t>(i)] = true;
        if (std::memcmp(&list[k], &d.points[static_cast<std::size_t>(i - 1)], sizeof(geo::Vec3)))
            std::abort();
    }
    if (m > 0 && std::memcmp(&list[m + 1], &list[1], sizeof(geo::Vec3))) std::abort();
    if (!(flat && d.exactGrid)) return;
    // Repeated points are both dropped, so callers pass distinct ones.
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (d.points[i] == d.points[j]) return;
    // Points that are not all on one line have a polygon for a boundary.
    bool area = false;
    for (std::size_t j = 1; j < n && !area; ++j)
        for (std::size_t k = j + 1; k < n && !area; ++k)
            area = cross2(d.points[0], d.points[j], d.points[k]) != 0;
    if (area && m < 3) std::abort();
    if (m < 3) return;
    // Every turn has one sense, and every point is on the inner side of every edge.
    const auto at = [&list, m](int k) -> const geo::Vec3& { return list[(k - 1) % m + 1]; };
    double sense = 0;
    for (int k = 1; k <= m; ++k) {
        const double turn = cross2(at(k), at(k + 1), at(k + 2));
        if (turn != 0) {
            if (sense == 0) sense = turn;
            if ((turn > 0) != (sense > 0)) std::abort();
        }
    }
    if (sense == 0) std::abort();
    for (int k = 1; k <= m; ++k)
        for (const geo::Vec3& p : d.points)
            if (cross2(at(k), at(k + 1), p) * sense < 0) std::abort();
}

// Polygon measures and point tests over the points taken as a polygon.
void checkPolygon(const Decoded& d) {
    const geo::PointList list = toList(d.points);
    (void)geo::PolylineLength(list);
    (void)geo::PolygonArea3D(list);
    (void)geo::PolygonColumnVolume(list);
    (void)geo::PolygonArea2D(std::span<const geo::Vec3>(d.points));
    const vorn::expr::RegionBounds box = vorn::expr::polygonBounds(list);
    bool allFinite = true;
    for (const geo::Vec3& p : d.points)
        allFinite = allFinite && finite(p);
    for (const geo::Vec3& p : d.points) {
        const bool inside = vorn::expr::pointInPolygonRegion(list, p.x, p.y);
        // A corner lies on the boundary, and the boundary belongs to the region.
        if (finite(p) && !inside) std::abort();
        if (allFinite && (p.x < box.xFrom || p.x > box.xTo || p.y < box.yFrom || p.y > box.yTo))
            std::abort();
    }
}

// The line and plane routines on consecutive points keep their documented ranges.
void checkPrimitives(const Decoded& d) {
    const std::size_t n = d.points.size();
    for (std::size_t i = 0; i + 2 < n; ++i) {
        const geo::Vec3& a = d.points[i];
        const geo::Vec3& b = d.points[i + 1];
        const geo::Vec3& c = d.points[i + 2];
        const geo::Vec3& e = d.points[(i + 3) % n];
        const geo::PlaneFit fit = geo::PlaneThroughPoints(a, b, c);
        if (!fit.degenerate) {
            const geo::Plane& p = fit.plane;
            if (!std::isfinite(p.a) || !std::isfinite(p.b) || !std::isfinite(p.c) ||
                !std::isfinite(p.d))
                std::abort();
            if (std::fabs(p.a * p.a + p.b * p.b + p.c * p.c - 1) > 1e-9) std::abort();
        }
        const geo::LinePlaneHit hit = geo::LinePlaneIntersection(a, b, fit.plane);
        if (hit.ok && (!finite(hit.point) || !std::isfinite(hit.lineParam))) std::abort();
        const geo::AngleResult angle = geo::SignedAngle2D(a, b, c, e);
        if (!angle.error &&
            !(angle.radians >= -std::numbers::pi && angle.radians < std::numbers::pi))
            std::abort();
        if (angle.error && angle.radians != 0) std::abort();
        const geo::Point2Result meet = geo::LineIntersection2D(a, b, c, e);
        if (!meet.error && (!std::isfinite(meet.x) || !std::isfinite(meet.y))) std::abort();
        (void)geo::LineLineDistance(a, b, c, e);
        (void)geo::VertexAngleCosine(a, b, c);
        (void)geo::PointLineDistance(a, b, c);
        (void)geo::PointOnSegment2D(a, b, c, geo::kEpsSegment);
        (void)geo::TriangleColumnVolume(a, b, c);
    }
}

// Formation on the points as a polyhedron's vertices, then what the program does next.
void checkFormation(const Decoded& d) {
    static core::Scene* scene = new core::Scene;
    static const vorn::lang::MessageTable messages;
    core::Settings settings;
    QuietHost host;
    core::Env env{*scene, settings, messages, host};
    core::ClearScene(*scene);
    const int slot = core::AppendObject(*scene, core::ObjectType::Polyhedron);
    if (slot == 0) std::abort();
    core::SceneObject& o = scene->object(slot);
    std::vector<core::Vec3f> input;
    for (const geo::Vec3& p : d.points)
        input.push_back(
            {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
    o.vertexCount = static_cast<std::int16_t>(input.size());
    for (std::size_t i = 0; i < input.size(); ++i)
        o.vertexData[i] = input[i];

    const bool formed = vorn::poly::FormConvexFaces(env, slot);
    if (o.vertexCount < 0 || static_cast<std::size_t>(o.vertexCount) > input.size() ||
        o.faceCount < 0 || o.faceCount > core::kMaxFaces)
        std::abort();
    for (int f = 1; f <= o.faceCount; ++f) {
        const core::Face& face = o.face(f);
        for (int v : {face.vertex1, face.vertex2, face.vertex3})
            if (v < 1 || v > o.vertexCount) std::abort();
    }
    // Exact points that span space always give a solid.
    if (!formed && d.exactGrid && spansSpace(d.points)) std::abort();
    if (!formed) return;
    if (o.vertexCount < 4 || o.faceCount < 4) std::abort();
    // The kept vertices are input points, in their input order.
    std::size_t from = 0;
    for (int v = 1; v <= o.vertexCount; ++v) {
        while (from < input.size() &&
               std::memcmp(&input[from], &o.vertex(v), sizeof(core::Vec3f)) != 0)
            ++from;
        if (from++ == input.size()) std::abort();
    }
    for (int v = 1; v <= o.vertexCount; ++v)
        if (!std::isfinite(o.vertex(v).x) || !std::isfinite(o.vertex(v).y) ||
            !std::isfinite(o.vertex(v).z))
            std::abort();
    for (int f = 1; f <= o.faceCount; ++f) {
        const core::Face& face = o.face(f);
        if (!std::isfinite(face.a) || !std::isfinite(face.b) || !std::isfinite(face.c) ||
            !std::isfinite(face.d))
            std::abort();
    }
    // Coplanar points pass with enough corners (each triangle counts as a face): a flat sheet
    // that the closedness test of CompleteObject turns down later.
    bool flatResult = true;
    for (int f = 2; f <= o.faceCount; ++f)
        flatResult = flatResult && std::memcmp(&o.face(f).a, &o.face(1).a, 4 * sizeof(float)) == 0;
    if (d.exactGrid && !flatResult) {
        // A closed surface: every edge joins exactly two triangles, and V - E + F = 2.
        std::map<std::pair<int, int>, int> edges;
        for (int f = 1; f <= o.faceCount; ++f) {
            const core::Face& face = o.face(f);
            const int v[3] = {face.vertex1, face.vertex2, face.vertex3};
            if (v[0] == v[1] || v[1] == v[2] || v[0] == v[2]) std::abort();
            for (int k = 0; k < 3; ++k)
                ++edges[std::minmax(v[k], v[(k + 1) % 3])];
        }
        for (const auto& [edge, count] : edges)
            if (count != 2) std::abort();
        if (o.vertexCount - static_cast<int>(edges.size()) + o.faceCount != 2) std::abort();
        if (!vorn::poly::IsConvex(o)) std::abort();
    }
    (void)vorn::poly::RecomputeFacePlanes(o);
    vorn::poly::MarkFaceEdges(env, slot);
    (void)vorn::poly::CompleteObject(env, slot);
    (void)vorn::poly::SurfaceArea(o);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const Decoded d = decode(data, size);
    const bool flat = size > 0 && (data[0] & 8) != 0;
    checkPlanarHull(d, flat);
    checkPolygon(d);
    checkPrimitives(d);
    checkFormation(d);
    return 0;
}
