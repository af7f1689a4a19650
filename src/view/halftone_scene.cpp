// What each display list of the half-tone picture receives: primitive, normals and vertices.
#include "view/halftone_scene.h"

#include "core/object_view.h"
#include "geometry/primitives.h"
#include "geometry/tolerances.h"
#include "lang/message_ids.h"
#include "surfaces/part_evaluators.h"
#include "surfaces/surface_mesh.h"
#include "view/halftone_materials.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace vorn::pic {

namespace {

geo::Vec3 Normal(const geo::Vec3& p1, const geo::Vec3& p2, const geo::Vec3& p3) {
    const geo::Plane plane = geo::PlaneThroughPoints(p1, p2, p3).plane;
    return {plane.a, plane.b, plane.c};
}

HtPrimitive PrimitiveFor(core::ObjectType type) {
    switch (type) {
    case core::ObjectType::Axes:
        return HtPrimitive::Lines;
    case core::ObjectType::Point:
        return HtPrimitive::Points;
    case core::ObjectType::Polyline:
        return HtPrimitive::LineStrip;
    case core::ObjectType::Plane:
    case core::ObjectType::Polyhedron:
    case core::ObjectType::Surface:
    case core::ObjectType::RevolutionSurface:
        return HtPrimitive::Triangles;
    }
    return HtPrimitive::Triangles;
}

// Every edge shared by an even number of faces: a surface without a border, which has an inside.
bool IsClosed(std::span<const std::array<int, 3>> faces) {
    std::vector<std::pair<int, int>> edges;
    for (const auto& f : faces)
        for (std::size_t k = 0; k < 3; ++k)
            edges.push_back(std::minmax(f[k], f[(k + 1) % 3]));
    std::sort(edges.begin(), edges.end());
    for (std::size_t i = 0; i < edges.size();) {
        std::size_t j = i;
        while (j < edges.size() && edges[j] == edges[i])
            ++j;
        if ((j - i) % 2 != 0) return false;
        i = j;
    }
    return !faces.empty();
}

// Where a ray from p along d crosses the triangle a, b, c: "Fast, Minimum Storage Ray/Triangle
// Intersection" by Moeller and Trumbore. A crossing near an edge or at the start could count
// once, twice or not at all, so it is reported as unclear.
enum class Crossing { None, Once, Unclear };
Crossing RayCrossing(const geo::Vec3& p, const geo::Vec3& d, const geo::Vec3& a, const geo::Vec3& b,
                     const geo::Vec3& c) {
    const geo::Vec3 e1 = b - a, e2 = c - a;
    const geo::Vec3 h = geo::cross(d, e2);
    const double det = geo::dot(e1, h);
    // A triangle along the ray: its neighbours' edges decide the count.
    if (std::fabs(det) <= geo::kEpsCoord * std::sqrt(geo::dot(e1, e1) * geo::dot(e2, e2)))
        return Crossing::None;
    const geo::Vec3 s = p - a, q = geo::cross(s, e1);
    const double u = geo::dot(s, h) / det, v = geo::dot(d, q) / det, t = geo::dot(e2, q) / det;
    constexpr double m = geo::kEpsEdge;
    if (u < -m || v < -m || u + v > 1 + m) return Crossing::None;
    if (u < m || v < m || u + v > 1 - m || std::fabs(t) <= m) return Crossing::Unclear;
    return t > 0 ? Crossing::Once : Crossing::None;
}

// Faces of a closed polyhedron whose stored normal points into the solid. A face whose plane
// has every vertex on one side looks away from them; any other face (in a dent) casts a ray from
// a point of the face along its normal, which leaves the solid after an even number of crossings
// of the other faces. Points off the face's centre come next when a ray grazes an edge; a face
// without a clear ray keeps its normal.
std::vector<bool> InwardFaces(const core::SceneObject& o, std::span<const std::array<int, 3>> faces,
                              std::span<const geo::Vec3> normals) {
    std::vector<bool> inward(faces.size(), false);
    if (!IsClosed(faces)) return inward;
    std::vector<std::array<geo::Vec3, 3>> corners;
    for (const auto& f : faces)
        corners.push_back(
            {core::VertexAt(o, f[0]), core::VertexAt(o, f[1]), core::VertexAt(o, f[2])});
    const int vertices = core::UsableVertexCount(o);
    constexpr double kWeights[][3] = {
        {0.31, 0.33, 0.36}, {0.2, 0.5, 0.3}, {0.6, 0.15, 0.25}, {0.25, 0.2, 0.55}};
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const geo::Vec3& n = normals[f];
        const auto& [a, b, c] = corners[f];
        if (geo::dot(n, n) < geo::kEpsCoord) continue;
        double below = 0, above = 0;
        for (int i = 1; i <= vertices; ++i) {
            const double side = geo::dot(n, core::VertexAt(o, i) - a);
            below = std::min(below, side);
            above = std::max(above, side);
        }
        if (above <= geo::kEpsPlane) continue;
        if (below >= -geo::kEpsPlane) {
            inward[f] = true;
            continue;
        }
        for (const auto& w : kWeights) {
            const geo::Vec3 p = a * w[0] + b * w[1] + c * w[2];
            int crossings = 0;
            bool unclear = false;
            for (std::size_t g = 0; g < faces.size() && !unclear; ++g) {
                if (g == f) continue;
                const Crossing x = RayCrossing(p, n, corners[g][0], corners[g][1], corners[g][2]);
                unclear = x == Crossing::Unclear;
                crossings += x == Crossing::Once ? 1 : 0;
            }
            if (unclear) continue;
            inward[f] = crossings % 2 == 1;
            break;
        }
    }
    return inward;
}

// Faces as stored: plane coefficients as the normal, then the three vertices. The lighting is
// one-sided, so a closed polyhedron's normals are turned outward here; the record keeps its own.
HalfToneList FaceList(const core::SceneObject& o, int slot) {
    HalfToneList list;
    list.number = slot;
    list.material = MaterialForColor(o.color);
    HtBlock block;
    block.primitive = PrimitiveFor(o.type);
    const int count = core::UsableFaceCount(o);
    const int vertices = core::UsableVertexCount(o);
    std::vector<std::array<int, 3>> faces;
    std::vector<geo::Vec3> normals;
    for (int f = 1; f <= count; ++f) {
        const core::Face& face = o.face(f);
        const std::array<int, 3> idx = {face.vertex1, face.vertex2, face.vertex3};
        // A damaged file may name vertices that do not exist.
        if (std::any_of(idx.begin(), idx.end(), [&](int v) { return v < 1 || v > vertices; }))
            continue;
        faces.push_back(idx);
        normals.push_back({face.a, face.b, face.c});
    }
    std::vector<bool> inward(faces.size(), false);
    if (o.type == core::ObjectType::Polyhedron) inward = InwardFaces(o, faces, normals);
    for (std::size_t f = 0; f < faces.size(); ++f)
        block.add(inward[f] ? normals[f] * -1 : normals[f],
                  {core::VertexAt(o, faces[f][0]), core::VertexAt(o, faces[f][1]),
                   core::VertexAt(o, faces[f][2])});
    list.blocks.push_back(std::move(block));
    return list;
}

} // namespace

SceneBox HalfToneSceneBox(const core::Scene& scene) {
    float lo[3] = {3.4e38f, 3.4e38f, 3.4e38f};
    float hi[3] = {-3.4e38f, -3.4e38f, -3.4e38f};
    bool any = false;
    for (int slot = 2; slot <= scene.objectCount(); ++slot) {
        const core::SceneObject& o = scene.object(slot);
        if (!o.visible) continue;
        const int n = core::UsableVertexCount(o);
        for (int i = 1; i <= n; ++i) {
            const core::Vec3f& v = o.vertex(i);
            const float c[3] = {v.x, v.y, v.z};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], c[k]);
                hi[k] = std::max(hi[k], c[k]);
            }
            any = true;
        }
    }
    if (!any) return SceneBox{};
    return {lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]};
}

HalfToneList BuildSurfaceList(core::Env& env, expr::ExpressionEngine& engine, int slot) {
    const core::SceneObject& o = env.scene.object(slot);
    constexpr int n = kHalfToneGrid;
    const core::SurfaceDomain domain = core::SurfaceDomainOf(o);
    const double x0 = domain.xFrom, y0 = domain.yFrom;
    const double dx = (domain.xTo - domain.xFrom) / (n - 1);
    const double dy = (domain.yTo - domain.yFrom) / (n - 1);
    const int parts = surf::UsablePartCount(o);
    // Formulas and regions translated once rather than substituted as text at all 3600 nodes.
    const surf::PartEvaluators evaluators(o, engine.ValidateCharacters);

    HalfToneList list;
    list.number = slot;
    list.material = MaterialForColor(o.color);
    env.host.progressBegin(
        env.messages.format(lang::msg::kBuildingPicture, {core::DisplayName(env.scene, slot)}),
        kSurfaceProgressMaximum);
    // The stop button is looked at once per column of either pass.
    const auto step = [&](int position) {
        env.host.progressStep(position);
        list.stopped = env.host.abortRequested();
        return !list.stopped;
    };
    // Owner part of each node (0 none) and its value there.
    std::vector<int> owner(n * n, 0);
    std::vector<double> value(n * n, 0);
    const auto at = [](int i, int j) { return static_cast<std::size_t>((i - 1) * n + (j - 1)); };
    for (int i = 1; i <= n && step(i); ++i) {
        const double x = x0 + (i - 1) * dx;
        for (int j = 1; j <= n; ++j) {
            const double y = y0 + (j - 1) * dy;
            for (int k = 1; k <= parts; ++k) {
                if (!evaluators.inRegion(engine, k, x, y)) continue;
                // A node whose formula has no value stays empty even if a later part holds it.
                if (const std::optional<double> z = evaluators.valueAt(engine, k, x, y)) {
                    owner[at(i, j)] = k;
                    value[at(i, j)] = *z;
                }
                break;
            }
        }
    }

    HtBlock block;
    block.primitive = HtPrimitive::Triangles;
    const bool check = engine.ValidateCharacters;
    engine.ValidateCharacters = false;
    for (int i = 1; i < n && !list.stopped && step(n + i); ++i) {
        for (int j = 1; j < n; ++j) {
            const std::array<std::array<int, 2>, 4> corners = {
                {{i, j}, {i, j + 1}, {i + 1, j + 1}, {i + 1, j}}};
            for (int k = 1; k <= parts; ++k) {
                std::array<geo::Vec3, 4> p;
                std::size_t kept = 0;
                for (const auto& [ci, cj] : corners)
                    if (owner[at(ci, cj)] == k)
                        p[kept++] = {x0 + (ci - 1) * dx, y0 + (cj - 1) * dy, value[at(ci, cj)]};
                if (kept < 3) continue;
                const geo::Vec3 normal = Normal(p[0], p[1], p[2]);
                block.add(normal, {p[0], p[1], p[2]});
                if (kept == 4) block.add(normal, {p[0], p[3], p[2]});
                break;
            }
        }
    }
    engine.ValidateCharacters = check;
    list.blocks.push_back(std::move(block));
    env.host.progressEnd();
    return list;
}

HalfToneList BuildRevolutionList(expr::ExpressionEngine& engine, const core::SceneObject& o,
                                 int slot) {
    // The profile: points (a, b) of the generatrix.
    std::vector<std::array<double, 2>> profile;
    const int kind = core::roundToInt(o.param0);
    if (kind == 2) {
        const auto& poly = o.part(3).area.polygon;
        const int count = std::min<int>(poly.pointCount, core::kMaxPartPoints);
        for (int k = 0; k < count; ++k)
            profile.push_back({poly.points[k].x, poly.points[k].y});
    } else {
        const int n = kRevolutionProfilePoints;
        const core::GeneratrixRange range = core::GeneratrixRangeOf(o);
        const double from = range.from, step = (range.to - range.from) / (n - 1);
        const std::string curve = std::string(o.part(2).text.raw());
        const std::string second = std::string(o.part(2).area.domainText.raw());
        for (int k = 0; k < n; ++k) {
            const long double u = from + k * step;
            engine.CalcError = expr::kCalcOk;
            double a = 0, b = 0;
            if (kind == 0) {
                a = static_cast<double>(u);
                b = static_cast<double>(engine.EvaluateExpression(
                    expr::ExpressionEngine::SubstituteVariable(curve, 'X', u)));
            } else {
                b = static_cast<double>(engine.EvaluateExpression(
                    expr::ExpressionEngine::SubstituteVariable(curve, 'T', u)));
                if (engine.CalcError == expr::kCalcOk)
                    a = static_cast<double>(engine.EvaluateExpression(
                        expr::ExpressionEngine::SubstituteVariable(second, 'T', u)));
            }
            // A point of the curve without a value is left out rather than pulled to the axis.
            if (engine.CalcError != expr::kCalcOk || !std::isfinite(a) || !std::isfinite(b))
                continue;
            profile.push_back({a, b});
        }
        engine.CalcError = expr::kCalcOk;
    }

    const bool aboutOy = core::roundToInt(o.param1) == 1;
    const geo::Vec3 origin{o.origin[0], o.origin[1], o.origin[2]};
    // The plane through Q0, Q1, Q2 looks to the right of the profile's run in the half plane of
    // (place along the axis, distance from it). The solid is the region the profile closes with
    // the axis, so that normal looks out only when the region lies to the left of the run: when
    // the profile, its drops to the axis and the axis between them go round counter-clockwise.
    // The lighting is one-sided, and an inward normal leaves the front dark.
    double twiceArea = 0;
    {
        std::vector<std::array<double, 2>> ring;
        for (const auto& q : profile)
            ring.push_back(aboutOy ? std::array{q[1], std::fabs(q[0])}
                                   : std::array{q[0], std::fabs(q[1])});
        if (!ring.empty()) {
            ring.push_back({ring.back()[0], 0});
            ring.push_back({ring.front()[0], 0});
        }
        for (std::size_t k = 0; k < ring.size(); ++k) {
            const auto& p = ring[k];
            const auto& q = ring[(k + 1) % ring.size()];
            twiceArea += p[0] * q[1] - q[0] * p[1];
        }
    }
    // Turning about Oy takes (a, b) as (distance, place): the plane looks to the left there.
    const double outward = (twiceArea < 0) != aboutOy ? -1 : 1;
    const auto turned = [&](const std::array<double, 2>& q, double theta) {
        const double c = std::cos(theta), s = std::sin(theta);
        const geo::Vec3 r =
            aboutOy ? geo::Vec3{q[0] * c, q[1], -q[0] * s} : geo::Vec3{q[0], q[1] * c, -q[1] * s};
        return r + origin;
    };

    HalfToneList list;
    list.number = slot;
    list.material = MaterialForColor(o.color);
    for (int s = 1; s <= kRevolutionSectors; ++s) {
        const double t1 = (s - 1) * kSectorAngle, t2 = s * kSectorAngle;
        HtBlock strip;
        strip.primitive = HtPrimitive::QuadStrip;
        strip.verticesPerNormal = 2;
        geo::Vec3 normal;
        for (std::size_t k = 0; k < profile.size(); ++k) {
            const geo::Vec3 q0 = turned(profile[k], t1), q1 = turned(profile[k], t2);
            // The last point has no successor: it keeps the normal of its neighbour.
            if (k + 1 < profile.size())
                normal = Normal(q0, q1, turned(profile[k + 1], t2)) * outward;
            strip.add(normal, {q0, q1});
        }
        list.blocks.push_back(std::move(strip));
    }
    return list;
}

HalfToneList BuildObjectList(core::Env& env, expr::ExpressionEngine& engine, int slot) {
    const core::SceneObject& o = env.scene.object(slot);
    switch (o.type) {
    case core::ObjectType::Surface:
        return BuildSurfaceList(env, engine, slot);
    case core::ObjectType::RevolutionSurface:
        return BuildRevolutionList(engine, o, slot);
    case core::ObjectType::Axes:
    case core::ObjectType::Point:
    case core::ObjectType::Polyline:
    case core::ObjectType::Plane:
    case core::ObjectType::Polyhedron:
        break;
    }
    return FaceList(o, slot);
}

HalfToneScene BuildHalfToneScene(core::Env& env, expr::ExpressionEngine& engine) {
    HalfToneScene ht;
    ht.box = HalfToneSceneBox(env.scene);
    ht.background = env.settings.colorRgb(core::kColorBackground);
    ht.count = env.scene.objectCount();
    for (int slot = 1; slot <= ht.count; ++slot) {
        // The axes follow the setting, as the wire-frame redraw copies it into their flag.
        const bool visible =
            slot == core::kAxesSlot ? env.settings.IsOsi : env.scene.object(slot).visible != 0;
        if (!visible) continue;
        ht.lists.push_back(BuildObjectList(env, engine, slot));
        // The next surface's progress window would clear the stop flag.
        ht.stopped = ht.lists.back().stopped;
        if (ht.stopped) break;
    }
    return ht;
}

} // namespace vorn::pic
