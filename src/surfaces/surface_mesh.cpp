// Sampling, narrowing and triangulation of function surfaces.
#include "surfaces/surface_mesh.h"

#include "core/object_view.h"
#include "geometry/primitives.h"
#include "surfaces/part_evaluators.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vorn::surf {

namespace {

struct Span {
    int lo, hi;
};

// Shrinks one axis to one node before the first and two after the last claimed node.
bool narrowAxis(double& from, double& to, int n, double step, Span claimed) {
    bool moved = false;
    const double oldFrom = from, oldTo = to;
    if (claimed.lo > 2) from = oldFrom + (claimed.lo - 2) * step;
    if (claimed.hi < n - 2) to = oldTo - (n - claimed.hi - 2) * step;
    moved = from != oldFrom || to != oldTo;
    return moved;
}

} // namespace

int SurfaceGridSize(double quality) {
    const double nodes = std::trunc(quality * std::sqrt(1000.0));
    if (!(nodes >= kMinSurfaceGrid)) return kMinSurfaceGrid;
    return static_cast<int>(std::min(nodes, 1000.0));
}

int UsablePartCount(const core::SceneObject& object) {
    return std::clamp<int>(object.partCount, 0, core::kMaxParts);
}

geo::PointList PartPolygon(const core::ObjectPart& part) {
    geo::PointList list;
    const int count = std::min<int>(part.area.polygon.pointCount, core::kMaxPartPoints);
    for (int k = 0; k < count; ++k)
        list.push({part.area.polygon.points[k].x, part.area.polygon.points[k].y, 0});
    return list;
}

bool InClipRegion(expr::ExpressionEngine& engine, const ClipRegion& clip, double x, double y) {
    if (clip.isPolygon) return expr::pointInPolygonRegion(clip.polygon, x, y);
    return expr::pointInSystem(engine, clip.system, x, y);
}

bool InPartRegion(expr::ExpressionEngine& engine, const core::ObjectPart& part, double x,
                  double y) {
    if (part.domainKind == 0) return expr::pointInPolygonRegion(PartPolygon(part), x, y);
    return expr::pointInSystem(engine, part.area.domainText.raw(), x, y);
}

std::optional<double> PartValueAt(expr::ExpressionEngine& engine, const core::ObjectPart& part,
                                  double x, double y) {
    const std::string withX = expr::ExpressionEngine::SubstituteVariable(part.text.raw(), 'X', x);
    const long double z =
        engine.EvaluateExpression(expr::ExpressionEngine::SubstituteVariable(withX, 'Y', y));
    // A value a float vertex cannot hold is treated like a value that does not exist.
    if (engine.CalcError != expr::kCalcOk || !std::isfinite(z) || std::fabs(z) > FLT_MAX)
        return std::nullopt;
    return static_cast<double>(z);
}

bool NormaliseRectangle(expr::RegionBounds& rect) {
    for (double* v : {&rect.xFrom, &rect.xTo, &rect.yFrom, &rect.yTo})
        if (!std::isfinite(*v)) return false;
    if (rect.xFrom > rect.xTo) std::swap(rect.xFrom, rect.xTo);
    if (rect.yFrom > rect.yTo) std::swap(rect.yFrom, rect.yTo);
    return rect.xFrom < rect.xTo && rect.yFrom < rect.yTo;
}

SurfaceSample SampleSurface(expr::ExpressionEngine& engine, const core::SceneObject& surface, int n,
                            expr::RegionBounds rect, const ClipRegion* clip) {
    SurfaceSample s;
    s.n = std::max(n, kMinGridNodes);
    s.rect = rect;
    const int parts = UsablePartCount(surface);
    // Polygons are converted and formulas compiled once, not at every node.
    const PartEvaluators evaluators(surface, engine.ValidateCharacters);
    const std::optional<CompiledClip> compiledClip =
        clip ? std::optional<CompiledClip>(std::in_place, clip->isPolygon, clip->system,
                                           clip->polygon, engine.ValidateCharacters)
             : std::nullopt;
    const std::size_t nodes = static_cast<std::size_t>(s.n) * static_cast<std::size_t>(s.n);

    for (int pass = 1; pass <= kMaxNarrowingPasses; ++pass) {
        s.owners.assign(nodes, 0);
        s.vertexAt.assign(nodes, 0);
        s.vertices.clear();
        const double dx = (s.rect.xTo - s.rect.xFrom) / (s.n - 1);
        const double dy = (s.rect.yTo - s.rect.yFrom) / (s.n - 1);
        Span ci{s.n + 1, 0}, cj{s.n + 1, 0};
        for (int i = 1; i <= s.n; ++i) {
            const double x = s.rect.xFrom + (i - 1) * dx;
            for (int j = 1; j <= s.n; ++j) {
                const double y = s.rect.yFrom + (j - 1) * dy;
                for (int k = 1; k <= parts; ++k) {
                    if (!evaluators.inRegion(engine, k, x, y)) continue;
                    const auto z = evaluators.valueAt(engine, k, x, y);
                    if (!z) continue;
                    if (compiledClip && !compiledClip->contains(engine, x, y)) break;
                    s.vertices.push_back({x, y, *z});
                    s.vertexAt[s.index(i, j)] = static_cast<int>(s.vertices.size());
                    s.owners[s.index(i, j)] = static_cast<std::uint8_t>(k);
                    ci = {std::min(ci.lo, i), std::max(ci.hi, i)};
                    cj = {std::min(cj.lo, j), std::max(cj.hi, j)};
                    break;
                }
            }
        }
        if (s.vertices.empty()) break;
        const bool movedX = narrowAxis(s.rect.xFrom, s.rect.xTo, s.n, dx, ci);
        const bool movedY = narrowAxis(s.rect.yFrom, s.rect.yTo, s.n, dy, cj);
        if (!movedX && !movedY) break;
    }
    return s;
}

std::vector<TriangleIndices> TriangulateSurface(const SurfaceSample& s, int partCount) {
    std::vector<TriangleIndices> faces;
    for (int i = 1; i < s.n; ++i) {
        for (int j = 1; j < s.n; ++j) {
            const int ci[4] = {i, i, i + 1, i + 1};
            const int cj[4] = {j, j + 1, j + 1, j};
            for (int k = 1; k <= partCount; ++k) {
                int c[4];
                int count = 0;
                for (int q = 0; q < 4; ++q)
                    if (s.owner(ci[q], cj[q]) == k) c[count++] = s.vertexAt[s.index(ci[q], cj[q])];
                if (count < 3) continue;
                faces.push_back({c[0], c[1], c[2]});
                if (count == 4) faces.push_back({c[0], c[2], c[3]});
                break;
            }
        }
    }
    return faces;
}

bool BuildSurface(expr::ExpressionEngine& engine, core::SceneObject& surface, double quality) {
    const core::SurfaceDomain domain = core::SurfaceDomainOf(surface);
    expr::RegionBounds rect{domain.xFrom, domain.xTo, domain.yFrom, domain.yTo};
    if (!NormaliseRectangle(rect)) return false;
    const int n = SurfaceGridSize(quality);
    SurfaceSample s = SampleSurface(engine, surface, n, rect, nullptr);
    // A coarse grid may step over a narrow region: a low quality must not cost the surface.
    if (static_cast<int>(s.vertices.size()) < kMinSurfacePoints && n < kDefaultSurfaceGrid)
        s = SampleSurface(engine, surface, kDefaultSurfaceGrid, rect, nullptr);
    if (static_cast<int>(s.vertices.size()) < kMinSurfacePoints) return false;
    const auto faces = TriangulateSurface(s, UsablePartCount(surface));
    // A finer grid than the record holds is never asked for; the check keeps the record sound.
    if (s.vertices.size() > core::kMaxVertices || faces.size() > core::kMaxFaces) return false;

    core::SetSurfaceDomain(surface, {s.rect.xFrom, s.rect.xTo, s.rect.yFrom, s.rect.yTo});
    surface.vertexCount = static_cast<std::int16_t>(s.vertices.size());
    for (std::size_t v = 0; v < s.vertices.size(); ++v)
        surface.vertexData[v] = core::Narrow(s.vertices[v]);
    surface.faceCount = static_cast<std::int16_t>(faces.size());
    for (std::size_t f = 0; f < faces.size(); ++f) {
        core::Face& face = surface.faceData[f];
        face = {};
        face.vertex1 = static_cast<std::int16_t>(faces[f].v1);
        face.vertex2 = static_cast<std::int16_t>(faces[f].v2);
        face.vertex3 = static_cast<std::int16_t>(faces[f].v3);
    }
    SetFacePlanes(surface);
    return true;
}

std::optional<double> SurfaceValueAt(expr::ExpressionEngine& engine,
                                     const core::SceneObject& surface, double x, double y) {
    for (int k = 1; k <= UsablePartCount(surface); ++k) {
        if (!InPartRegion(engine, surface.part(k), x, y)) continue;
        if (const auto z = PartValueAt(engine, surface.part(k), x, y)) return z;
    }
    return std::nullopt;
}

void SetFacePlanes(core::SceneObject& object) {
    for (int f = 1; f <= object.faceCount; ++f) {
        core::Face& face = object.face(f);
        face.a = face.b = face.c = face.d = 0;
        const int v[3] = {face.vertex1, face.vertex2, face.vertex3};
        if (std::any_of(v, v + 3, [&](int k) { return k < 1 || k > object.vertexCount; })) continue;
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints(core::VertexAt(object, v[0]), core::VertexAt(object, v[1]),
                                    core::VertexAt(object, v[2]));
        // Faces meeting at a point on the axis of a revolution surface are degenerate.
        if (fit.degenerate) continue;
        face.a = static_cast<float>(fit.plane.a);
        face.b = static_cast<float>(fit.plane.b);
        face.c = static_cast<float>(fit.plane.c);
        face.d = static_cast<float>(fit.plane.d);
    }
}

} // namespace vorn::surf
