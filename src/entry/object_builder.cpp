// The object builder for every kind, and the silent rebuild of meshes from stored definitions.
#include "entry/object_builder.h"

#include "core/format.h"
#include "core/object_view.h"
#include "entry/generatrix.h"
#include "geometry/primitives.h"
#include "lang/message_ids.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"
#include "surfaces/integrals.h"
#include "surfaces/surface_mesh.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace vorn::entry {

namespace {

bool fitsFloat(double v) {
    return std::isfinite(v) && std::fabs(v) <= FLT_MAX;
}

bool setVertex(core::SceneObject& o, int i, const geo::Vec3& p) {
    if (!fitsFloat(p.x) || !fitsFloat(p.y) || !fitsFloat(p.z)) return false;
    o.vertex(i) = core::Narrow(p);
    return true;
}

void copyMesh(core::SceneObject& o, const core::SceneObject& entry) {
    o.vertexCount = std::clamp<std::int16_t>(entry.vertexCount, 0, core::kMaxVertices);
    o.faceCount = std::clamp<std::int16_t>(entry.faceCount, 0, core::kMaxFaces);
    std::copy_n(entry.vertexData, o.vertexCount, o.vertexData);
    std::copy_n(entry.faceData, o.faceCount, o.faceData);
}

bool buildPoint(core::SceneObject& o, const EntryValues& v) {
    o.partCount = 0;
    o.vertexCount = 1;
    o.faceCount = 1;
    core::SetFace(o, 1, 1, 1, 1);
    return setVertex(o, 1, {v.pointX, v.pointY, v.pointZ});
}

bool buildPlane(core::SceneObject& o, const core::SceneObject& entry, const EntryValues& v) {
    const geo::Vec3 p1 = core::VertexAt(entry, 1), p2 = core::VertexAt(entry, 2),
                    p3 = core::VertexAt(entry, 3);
    geo::Plane plane;
    switch (v.planeMode) {
    case 0: {
        const geo::PlaneFit fit = geo::PlaneThroughPoints(p1, p2, p3);
        if (fit.degenerate) return false;
        plane = fit.plane;
        break;
    }
    case 1:
        plane = {p2.x, p2.y, p2.z, -(p2.x * p1.x + p2.y * p1.y + p2.z * p1.z)};
        break;
    case 2:
        plane = {p1.x, p1.y, p1.z, v.planeD};
        break;
    default:
        return false;
    }
    const double A = plane.a, B = plane.b, C = plane.c;
    if (std::fabs(A) < kZeroNormal && std::fabs(B) < kZeroNormal && std::fabs(C) < kZeroNormal)
        return false;
    const geo::LinePlaneHit foot = geo::LinePlaneIntersection({0, 0, 0}, {A, B, C}, plane);
    if (!foot.ok || !setVertex(o, 5, foot.point)) return false;
    geo::Vec3 corners[3] = {p1, p2, p3};
    if (v.planeMode != 0) {
        const geo::Vec3& F = foot.point;
        const double offsets[3][2] = {{0, -kPlaneSpread}, {-kPlaneSpread, 0}, {0, kPlaneSpread}};
        // The coordinate solved for is the one of the largest coefficient; ties go to z, then y.
        const double a = std::fabs(A), b = std::fabs(B), c = std::fabs(C);
        for (int k = 0; k < 3; ++k) {
            const double u = offsets[k][0], w = offsets[k][1];
            if (c >= a && c >= b) {
                const double x = F.x + u, y = F.y + w;
                corners[k] = {x, y, -(A * x + B * y + plane.d) / C};
            } else if (b >= a) {
                const double x = F.x + u, z = F.z + w;
                corners[k] = {x, -(A * x + C * z + plane.d) / B, z};
            } else {
                const double y = F.y + u, z = F.z + w;
                corners[k] = {-(B * y + C * z + plane.d) / A, y, z};
            }
        }
    }
    for (int k = 0; k < 3; ++k)
        if (!setVertex(o, k + 1, corners[k])) return false;
    o.param0 = v.planeMode;
    o.partCount = 0;
    o.vertexCount = 3;
    o.faceCount = 1;
    core::SetFace(o, 1, 1, 2, 3);
    surf::SetFacePlanes(o);
    return true;
}

bool buildSurface(core::Env& env, expr::ExpressionEngine& engine, core::SceneObject& o,
                  const core::SceneObject& entry, const EntryValues& v, bool fromDialog) {
    if (fromDialog) {
        core::SetSurfaceDomain(o, {v.bounds.xFrom, v.bounds.xTo, v.bounds.yFrom, v.bounds.yTo});
        o.partCount = static_cast<std::uint8_t>(std::clamp(v.partCount, 1, core::kMaxParts));
        std::copy_n(entry.partData, core::kMaxParts, o.partData);
    }
    return surf::BuildSurface(engine, o, env.settings.Quality());
}

// Rings of the generatrix turned about the axis, joined into bands of two triangles.
bool buildRevolutionMesh(core::SceneObject& o, int m, int rings, surf::Axis axis,
                         const geo::Vec3& shift) {
    const core::ObjectPart& curve = o.part(1);
    for (int k = 1; k <= rings; ++k) {
        const long double phi = 2 * surf::kPi * (k - 1) / rings;
        const long double c = std::cos(phi), s = std::sin(phi);
        for (int j = 1; j <= m; ++j) {
            const long double x = curve.area.polygon.points[j - 1].x;
            const long double y = curve.area.polygon.points[j - 1].y;
            const geo::Vec3 p = axis == surf::Axis::Ox
                                    ? geo::Vec3{double(x), double(y * c), double(-y * s)}
                                    : geo::Vec3{double(x * c), double(y), double(-x * s)};
            if (!setVertex(o, (k - 1) * m + j, p + shift)) return false;
        }
    }
    o.vertexCount = static_cast<std::int16_t>(m * rings);
    int f = 0;
    for (int k = 1; k <= rings; ++k) {
        const int next = k % rings;
        for (int j = 1; j < m; ++j) {
            const int g = (k - 1) * m + j;
            const int w = next * m + j;
            core::SetFace(o, ++f, g, g + 1, w);
            core::SetFace(o, ++f, w + 1, w, g + 1);
        }
    }
    o.faceCount = static_cast<std::int16_t>(f);
    surf::SetFacePlanes(o);
    return true;
}

void integrateRevolution(core::Env& env, expr::ExpressionEngine& engine, core::SceneObject& o,
                         const EntryValues& v, surf::Axis axis) {
    surf::RevolutionMeasures r;
    if (v.generatrixType == static_cast<int>(GeneratrixType::Polyline)) {
        const core::ObjectPart& line = o.part(3);
        std::vector<geo::Vec3> points;
        const int n = std::min<int>(line.area.polygon.pointCount, core::kMaxPartPoints);
        for (int k = 0; k < n; ++k)
            points.push_back({line.area.polygon.points[k].x, line.area.polygon.points[k].y, 0});
        const surf::PolylineRevolution p = surf::RevolvePolyline(points);
        r.volume = axis == surf::Axis::Ox ? p.volumeOx : p.volumeOy;
        r.area = axis == surf::Axis::Ox ? p.areaOx : p.areaOy;
    } else {
        surf::Integrator integrator(env, engine, env.settings.integrationPoints);
        if (v.generatrixType == static_cast<int>(GeneratrixType::Explicit)) {
            r = integrator.RevolveExplicit(v.func1, axis, v.rangeFrom, v.rangeTo);
        } else if (axis == surf::Axis::Ox) {
            // x = func2(t), y = func1(t): the radius about Ox is y.
            r = integrator.RevolveParametric(v.func1, v.func2, v.rangeFrom, v.rangeTo);
        } else {
            r = integrator.RevolveParametric(v.func2, v.func1, v.rangeFrom, v.rangeTo);
        }
    }
    // A polyline generatrix beyond the number range gives sums that are not finite either.
    r.volumeInfinite = r.volumeInfinite || !std::isfinite(r.volume);
    r.areaInfinite = r.areaInfinite || !std::isfinite(r.area);
    // A measure that could not be had is stored as 0 with its flag, so no line shows it.
    const bool noVolume = r.volumeInfinite || r.volumeUndefined;
    const bool noArea = r.areaInfinite || r.areaUndefined;
    o.volume = noVolume ? 0 : r.volume;
    o.surfaceArea = noArea ? 0 : r.area;
    o.volumeInfinite = noVolume ? 1 : 0;
    o.areaInfinite = noArea ? 1 : 0;
    if (r.volumeUndefined || r.areaUndefined)
        env.host.showMessage(core::BoxKind::Error, env.msg(lang::msg::kBadValueOrExpression));
    if (r.volumeInfinite && !r.volumeUndefined)
        env.host.showMessage(core::BoxKind::Error, env.msg(lang::msg::kVolumeInfinite));
    if (r.areaInfinite && !r.areaUndefined)
        env.host.showMessage(core::BoxKind::Error, env.msg(lang::msg::kAreaInfinite));
}

bool buildRevolution(core::Env& env, expr::ExpressionEngine& engine, core::SceneObject& o,
                     const core::SceneObject& entry, const EntryValues& v, bool fromDialog) {
    if (v.generatrixType < 0 || v.generatrixType > 2 || v.axis < 0 || v.axis > 1) return false;
    const geo::Vec3 shift{v.shiftX, v.shiftY, v.shiftZ};
    for (const double c : {v.rangeFrom, v.rangeTo, shift.x, shift.y, shift.z})
        if (!fitsFloat(c)) return false;
    const auto axis = static_cast<surf::Axis>(v.axis);
    o.param0 = v.generatrixType;
    o.param1 = v.axis;
    core::SetGeneratrixRange(o, {v.rangeFrom, v.rangeTo});
    o.origin[0] = shift.x;
    o.origin[1] = shift.y;
    o.origin[2] = shift.z;
    std::copy_n(entry.partData, core::kMaxParts, o.partData);
    o.part(2).text.setUtf8(v.func1);
    o.part(2).domainKind = 1;
    o.part(2).area.domainText.setUtf8(v.func2);
    o.partCount = 3;

    const double quality = env.settings.Quality();
    const int rings = RingCount(quality);
    int m = v.generatrixType == static_cast<int>(GeneratrixType::Polyline)
                ? o.part(3).area.polygon.pointCount
                : CurvePointLimit(quality);
    // Only sampled points exist, and the mesh must fit the record.
    m = std::min({m, static_cast<int>(o.part(1).area.polygon.pointCount), core::kMaxPartPoints,
                  core::kMaxVertices / rings, core::kMaxFaces / (2 * rings) + 1});
    if (m < 2) return false;
    if (!buildRevolutionMesh(o, m, rings, axis, shift)) return false;
    if (fromDialog) integrateRevolution(env, engine, o, v, axis);
    return true;
}

bool buildPolyhedron(core::Env& env, int slot, const core::SceneObject& entry) {
    core::SceneObject& o = env.scene.object(slot);
    copyMesh(o, entry);
    o.partCount = 0;
    if (poly::RecomputeFacePlanes(o) != 0) return false;
    poly::CompleteObject(env, slot);
    return true;
}

} // namespace

EntryValues EntryValuesFromRecord(const core::SceneObject& o) {
    EntryValues v;
    v.name = core::NameText(o);
    v.colorIndex = std::clamp(core::roundToInt(std::isfinite(o.colorIndex) ? o.colorIndex : 0), 0,
                              static_cast<int>(core::kPalette.size()) - 1);
    auto whole = [](double d) { return std::isfinite(d) ? core::roundToInt(d) : -1; };
    switch (o.type) {
    case core::ObjectType::Point:
        v.pointX = o.vertex(1).x;
        v.pointY = o.vertex(1).y;
        v.pointZ = o.vertex(1).z;
        break;
    case core::ObjectType::Polyline:
        v.polylineMode = whole(o.param0);
        v.closed = core::IsClosedPolyline(o);
        break;
    case core::ObjectType::Plane: {
        v.planeMode = whole(o.param0);
        const geo::PlaneFit fit = geo::PlaneThroughPoints(
            core::VertexAt(o, 1), core::VertexAt(o, 2), core::VertexAt(o, 3));
        v.planeD = fit.plane.d;
        break;
    }
    case core::ObjectType::Surface: {
        const core::SurfaceDomain d = core::SurfaceDomainOf(o);
        v.bounds = {d.xFrom, d.xTo, d.yFrom, d.yTo};
        v.partCount = o.partCount;
        break;
    }
    case core::ObjectType::RevolutionSurface: {
        v.generatrixType = whole(o.param0);
        v.axis = whole(o.param1);
        const core::GeneratrixRange r = core::GeneratrixRangeOf(o);
        v.rangeFrom = r.from;
        v.rangeTo = r.to;
        v.func1 = o.part(2).text.utf8();
        v.func2 = o.part(2).area.domainText.utf8();
        v.shiftX = o.origin[0];
        v.shiftY = o.origin[1];
        v.shiftZ = o.origin[2];
        break;
    }
    case core::ObjectType::Axes:
    case core::ObjectType::Polyhedron:
        break;
    }
    return v;
}

bool BuildObject(core::Env& env, expr::ExpressionEngine& engine, int slot, core::ObjectType type,
                 const EntryValues& values, bool fromDialog) {
    core::Scene& scene = env.scene;
    // The previous record comes back whole when the build fails.
    const auto previous = std::make_unique<core::SceneObject>(scene.object(slot));
    const auto previousEdges = std::make_unique<core::EdgeFlags>(scene.edgeVisibility(slot));
    const auto entry = std::make_unique<core::SceneObject>(scene.object(core::kScratchSlot));
    core::SceneObject& o = scene.object(slot);
    if (fromDialog) std::memcpy(static_cast<void*>(&o), entry.get(), core::kRecordHeaderSize);
    scene.edgeVisibility(slot) = scene.edgeVisibility(core::kScratchSlot);
    o.type = type;
    o.visible = 1;
    const int color = std::clamp(values.colorIndex, 0, static_cast<int>(core::kPalette.size()) - 1);
    o.colorIndex = color;
    o.color = core::kPalette[static_cast<std::size_t>(color)];
    // A silent rebuild keeps the stored name bytes, even those no text field could hold.
    if (fromDialog) o.name.setUtf8(values.name);

    bool ok = false;
    switch (type) {
    case core::ObjectType::Point:
        ok = buildPoint(o, values);
        break;
    case core::ObjectType::Polyline:
        copyMesh(o, *entry);
        o.partCount = 0;
        o.param0 = values.polylineMode;
        core::SetClosedPolyline(o, values.closed);
        ok = true;
        break;
    case core::ObjectType::Plane:
        ok = buildPlane(o, *entry, values);
        break;
    case core::ObjectType::Polyhedron:
        ok = buildPolyhedron(env, slot, *entry);
        break;
    case core::ObjectType::Surface:
        ok = buildSurface(env, engine, o, *entry, values, fromDialog);
        break;
    case core::ObjectType::RevolutionSurface:
        ok = buildRevolution(env, engine, o, *entry, values, fromDialog);
        break;
    case core::ObjectType::Axes:
        break;
    }
    if (!ok) {
        scene.object(slot) = *previous;
        scene.edgeVisibility(slot) = *previousEdges;
        if (fromDialog)
            env.host.showMessage(core::BoxKind::Error,
                                 env.msg(type == core::ObjectType::Surface
                                             ? lang::msg::kTooFewSurfacePoints
                                             : lang::msg::kBadNumberOrExpression));
        return false;
    }
    scene.markBuilt(slot);
    scene.sceneModified = true;
    scene.observer().redrawPicture();
    scene.observer().refreshObjectList();
    return true;
}

bool RebuildObject(core::Env& env, expr::ExpressionEngine& engine, int slot) {
    core::Scene& scene = env.scene;
    const core::SceneObject& o = scene.object(slot);
    if (o.type != core::ObjectType::Surface && o.type != core::ObjectType::RevolutionSurface)
        return true;
    const EntryValues values = EntryValuesFromRecord(o);
    scene.copySlot(slot, core::kScratchSlot);
    if (o.type == core::ObjectType::RevolutionSurface) {
        if (values.generatrixType < 0 || values.generatrixType > 2) return false;
        SampleGeneratrix(engine, scene.object(core::kScratchSlot), env.settings.Quality(),
                         static_cast<GeneratrixType>(values.generatrixType), values.func1,
                         values.func2, values.rangeFrom, values.rangeTo);
    }
    return BuildObject(env, engine, slot, o.type, values, false);
}

} // namespace vorn::entry
