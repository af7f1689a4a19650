// Plane cross-sections of convex polyhedra: edge cutting, section polygon, contour and parts.
#include "polyhedra/cross_section.h"

#include "lang/message_ids.h"
#include "polyhedra/detail.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include "core/format.h"
#include "geometry/polygon.h"
#include "geometry/primitives.h"

#include <cmath>

namespace vorn::poly {

using core::Face;
using core::ObjectType;
using core::SceneObject;
using core::Vec3f;
using detail::FaceCount;
using detail::VertexAt;
using detail::VertexCount;

namespace {

bool SameVertex(const Vec3f& p, const Vec3f& q) {
    return geo::IsNear(p.x, q.x, geo::kEpsEdge) && geo::IsNear(p.y, q.y, geo::kEpsEdge) &&
           geo::IsNear(p.z, q.z, geo::kEpsEdge);
}

void ReportAndShow(core::Env& env, core::BoxKind kind, const std::string& text) {
    env.host.addReportLine(text);
    env.host.showMessage(kind, text);
}

void ReportNotCompleted(core::Env& env) {
    ReportAndShow(env, core::BoxKind::Error, env.msg(lang::msg::kComputationNotFinished));
}

// Whether vertices lie strictly on both sides of the plane. A plane through four corners of a
// cube splits it without making a new vertex; one that only touches a vertex, an edge or a face
// leaves every vertex on one side.
bool PlaneCutsThrough(const SceneObject& o, const geo::Plane& plane) {
    bool below = false, above = false;
    for (int m = 1; m <= VertexCount(o) && !(below && above); ++m) {
        const Vec3f& v = o.vertex(m);
        const double s = plane.a * v.x + plane.b * v.y + plane.c * v.z + plane.d;
        below = below || s < -geo::kEpsEdge;
        above = above || s > geo::kEpsEdge;
    }
    return below && above;
}

// Adds to the working copy the points where the plane crosses face edges (and diagonals).
// Returns false when the copy would outgrow its vertex array.
bool CutEdges(SceneObject& w, const geo::Plane& plane) {
    const int faces = FaceCount(w);
    for (int f = 1; f <= faces; ++f) {
        const Face& face = w.face(f);
        const int v[3] = {face.vertex1, face.vertex2, face.vertex3};
        for (int k = 0; k < 3; ++k) {
            const geo::LinePlaneHit hit =
                geo::LinePlaneIntersection(VertexAt(w, v[k]), VertexAt(w, v[(k + 1) % 3]), plane);
            // Only a point on the edge itself; the kernel's loose within-segment flag would
            // accept points well beyond the edge's ends.
            if (!hit.ok || hit.lineParam < -geo::kEpsEdge || hit.lineParam > 1 + geo::kEpsEdge)
                continue;
            // Compared as it will be stored, so repeats found from neighbouring faces match.
            const Vec3f p = core::Narrow(hit.point);
            bool known = false;
            for (int m = 1; m <= w.vertexCount && !known; ++m)
                known = SameVertex(p, w.vertex(m));
            if (known) continue;
            if (w.vertexCount >= kMaxSectionVertices) return false;
            w.vertex(++w.vertexCount) = p;
        }
    }
    return true;
}

void AddContour(core::Env& env, const geo::PointList& polygon, const std::string& name,
                SectionResult& result) {
    core::Scene& scene = env.scene;
    const int slot = core::AppendObject(scene, ObjectType::Polyline);
    if (slot == 0) return;
    SceneObject& o = scene.object(slot);
    o.name.setUtf8(env.messages.format(lang::msg::kSectionName, {name}));
    o.param1 = 1;
    core::SetClosedPolyline(o, true);
    const int m = polygon.n;
    o.vertexCount = static_cast<std::int16_t>(m);
    o.faceCount = static_cast<std::int16_t>(m);
    for (int j = 1; j <= m; ++j) {
        o.vertex(j) = core::Narrow(polygon[j]);
        Face& segment = o.face(j);
        segment.vertex1 = static_cast<std::int16_t>(j == m ? 1 : j + 1);
        segment.vertex2 = static_cast<std::int16_t>(j);
        segment.vertex3 = static_cast<std::int16_t>(j);
    }
    // Nothing new to add, but the user asked for it: say where the contour already is.
    if (const int same = core::DuplicateOf(scene, slot); same != 0) {
        core::DropLastObject(scene);
        env.host.addReportLine(
            env.messages.format(lang::msg::kContourExists, {core::DisplayName(scene, same)}));
        return;
    }
    scene.sceneModified = true;
    result.contourSlot = slot;
}

// Part 1 keeps the side the plane's normal points to, part 2 the other; both keep the section.
int AddPart(core::Env& env, const geo::Plane& plane, int part, const std::string& name) {
    core::Scene& scene = env.scene;
    const SceneObject& w = scene.object(core::kScratchSlot);
    std::vector<Vec3f> kept;
    for (int m = 1; m <= VertexCount(w); ++m) {
        const Vec3f& v = w.vertex(m);
        const double s = plane.a * v.x + plane.b * v.y + plane.c * v.z + plane.d;
        if (part == 1 ? s > -geo::kEpsEdge : s < geo::kEpsEdge) kept.push_back(v);
    }
    if (kept.size() <= 3) return 0;
    const int slot = core::AppendObject(scene, ObjectType::Polyhedron);
    if (slot == 0) return 0;
    scene.copySlot(core::kScratchSlot, slot);
    SceneObject& o = scene.object(slot);
    o.name.setUtf8("ч." + std::to_string(part) + " " + name);
    o.vertexCount = static_cast<std::int16_t>(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
        o.vertexData[i] = kept[i];
    o.faceCount = 0;
    if (!FormConvexFaces(env, slot) || !CompleteObject(env, slot)) {
        core::DropLastObject(scene);
        return 0;
    }
    scene.sceneModified = true;
    return slot;
}

} // namespace

SectionResult CrossSection(core::Env& env, int planeSlot, int polyhedronSlot) {
    core::Scene& scene = env.scene;
    SectionResult result;
    if (!scene.isUserSlot(planeSlot) || !scene.isUserSlot(polyhedronSlot)) return result;
    const SceneObject& planeObject = scene.object(planeSlot);
    if (planeObject.type != ObjectType::Plane ||
        scene.object(polyhedronSlot).type != ObjectType::Polyhedron)
        return result;
    const std::string name = core::DisplayName(scene, polyhedronSlot);
    const Face& pf = planeObject.face(1);
    const geo::Plane plane{pf.a, pf.b, pf.c, pf.d};

    if (!IsConvex(scene.object(polyhedronSlot))) {
        ReportAndShow(env, core::BoxKind::Error,
                      env.messages.format(lang::msg::kNotConvex, {name}));
        return result;
    }
    // A plane without a normal, or faces naming missing vertices, give nothing to cut.
    if (std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c) < geo::kEpsCoord ||
        !detail::FacesAreValid(scene.object(polyhedronSlot))) {
        ReportNotCompleted(env);
        return result;
    }

    scene.copySlot(polyhedronSlot, core::kScratchSlot);
    SceneObject& w = scene.object(core::kScratchSlot);
    const bool cut = PlaneCutsThrough(w, plane);
    if (!CutEdges(w, plane)) {
        ReportNotCompleted(env);
        return result;
    }

    geo::PointList polygon;
    for (int m = 1; m <= VertexCount(w); ++m) {
        if (std::fabs(geo::PointPlaneDeviation(VertexAt(w, m), plane)) >= geo::kEpsPlane) continue;
        if (!polygon.push(VertexAt(w, m))) {
            ReportNotCompleted(env);
            return result;
        }
    }
    geo::HullOrder order{};
    const int corners = geo::PlanarConvexHull(polygon, order, plane);

    // Fewer than three section points make no polygon: nothing to measure or outline.
    if (corners >= 3) {
        const double area = std::fabs(geo::PolygonArea3D(polygon));
        const double perimeter =
            geo::PolylineLength(polygon) + geo::PointDistance(polygon[corners], polygon[1]);
        core::AnswerNumbers number(env.settings.answerDigits);
        const std::string areaLine = env.messages.format(lang::msg::kSectionArea, {number(area)});
        const std::string perimeterLine =
            env.messages.format(lang::msg::kSectionPerimeter, {number(perimeter)});
        // A section beyond the number range has nothing to measure, outline or split.
        if (!number.finite()) {
            ReportNotCompleted(env);
            return result;
        }
        result.computed = true;
        result.area = area;
        result.perimeter = perimeter;
        env.host.addReportLine(areaLine);
        env.host.addReportLine(perimeterLine);
        if (!scene.isFull() && env.host.askYesNo(env.msg(lang::msg::kAskSectionPolyline)))
            AddContour(env, polygon, name, result);
    }

    if (!cut || corners < 3) {
        ReportAndShow(env, core::BoxKind::Information,
                      env.messages.format(lang::msg::kPlaneMissesObject, {name}));
        return result;
    }

    if (scene.objectCount() + 2 > core::kMaxObjectCount ||
        !env.host.askYesNo(env.msg(lang::msg::kAskSectionParts)))
        return result;
    scene.object(polyhedronSlot).visible = 0;
    scene.sceneModified = true;
    for (int part = 1; part <= 2; ++part)
        result.partSlots[static_cast<std::size_t>(part - 1)] = AddPart(env, plane, part, name);
    return result;
}

} // namespace vorn::poly
