// Building the face list of a polyhedron and the texts and marks of its window.
#include "polyhedra/face_list.h"

#include "lang/message_ids.h"
#include "polyhedra/detail.h"
#include "polyhedra/formation.h"

#include "core/format.h"
#include "geometry/polygon.h"
#include "geometry/primitives.h"

#include <array>
#include <cmath>
#include <optional>

namespace vorn::poly {

using core::Face;
using core::SceneObject;
using detail::FaceCount;
using detail::PlaneValue;
using detail::VertexAt;
using detail::VertexCount;

namespace {

bool OnPlane(const Face& plane, const core::Vec3f& v) {
    return std::fabs(PlaneValue(plane, v)) < geo::kEpsPlane;
}

double Perimeter(const SceneObject& o, const FaceListEntry& e) {
    long double sum = 0;
    for (std::size_t k = 0; k + 1 < e.vertices.size(); ++k)
        sum += geo::PointDistance(VertexAt(o, e.vertices[k]), VertexAt(o, e.vertices[k + 1]));
    return static_cast<double>(sum);
}

FaceList TriangleList(const SceneObject& o) {
    FaceList list;
    for (int f = 1; f <= FaceCount(o); ++f) {
        const Face& face = o.face(f);
        FaceListEntry e;
        e.vertices = {face.vertex1, face.vertex2, face.vertex3, face.vertex1};
        e.area = face.area;
        e.perimeter = Perimeter(o, e);
        list.push_back(std::move(e));
    }
    return list;
}

// Flat faces; nothing when some face plane holds more points than a face can.
std::optional<FaceList> FlatFaceList(core::Env& env, int slot) {
    const SceneObject& o = env.scene.object(slot);
    const int faces = FaceCount(o);
    const int n = VertexCount(o);
    detail::Progress progress(
        env.host,
        env.messages.format(lang::msg::kProcessingFaces, {core::DisplayName(env.scene, slot)}),
        faces, 100);
    FaceList list;
    for (int h = 1; h <= faces; ++h) {
        progress.step(h);
        const Face& plane = o.face(h);
        geo::PointList points;
        std::array<int, geo::PointList::kCapacity + 1> number{};
        for (int m = 1; m <= n; ++m) {
            if (!OnPlane(plane, o.vertex(m))) continue;
            if (!points.push(VertexAt(o, m))) return std::nullopt;
            number[static_cast<std::size_t>(points.n)] = m;
        }
        geo::HullOrder order{};
        const int corners =
            geo::PlanarConvexHull(points, order, {plane.a, plane.b, plane.c, plane.d});
        if (corners < 3) continue; // no flat polygon to list
        bool listed = false;
        for (const FaceListEntry& e : list) {
            if (e.vertexCount() != corners) continue;
            int onPlane = 0;
            for (int k = 0; k < corners; ++k)
                if (OnPlane(plane, o.vertex(e.vertices[static_cast<std::size_t>(k)]))) ++onPlane;
            if (onPlane >= 3) {
                listed = true;
                break;
            }
        }
        if (listed) continue;
        FaceListEntry e;
        for (int t = 1; t <= corners; ++t)
            e.vertices.push_back(
                static_cast<std::int16_t>(number[order[static_cast<std::size_t>(t)]]));
        e.vertices.push_back(e.vertices.front());
        e.perimeter = Perimeter(o, e);
        e.area = std::fabs(geo::PolygonArea3D(points));
        list.push_back(std::move(e));
    }
    return list;
}

} // namespace

FaceList BuildFaceList(core::Env& env, int slot) {
    const SceneObject& o = env.scene.object(slot);
    if (!detail::FacesAreValid(o)) return {};
    if (env.settings.DrawContur && IsConvex(o)) {
        if (std::optional<FaceList> flat = FlatFaceList(env, slot)) return std::move(*flat);
    }
    return TriangleList(o);
}

std::string FaceListCaption(const core::Env& env, int slot) {
    return env.messages.format(lang::msg::kFacesOfObject, {core::DisplayName(env.scene, slot)});
}

std::string FaceListItemText(const core::Env& env, int slot, const FaceListEntry& entry,
                             int number) {
    const bool letters = env.settings.PutLetters && env.scene.object(slot).vertexCount <= 26;
    std::string text =
        env.messages.format(lang::msg::kFaceVertices, {core::FormatNumber(true, number)});
    for (int k = 0; k < entry.vertexCount(); ++k) {
        const int v = entry.vertices[static_cast<std::size_t>(k)];
        if (k > 0) text += ", ";
        text += letters ? std::string(1, static_cast<char>(64 + v)) : core::FormatNumber(true, v);
    }
    const int digits = env.settings.answerDigits;
    // A face too large for a double has no area to show: say so rather than print INF.
    if (!std::isfinite(entry.area) || !std::isfinite(entry.perimeter))
        return text + "): " + env.msg(lang::msg::kBadData);
    return text + "), S=" + core::FormatNumber(false, entry.area, digits) +
           ", P=" + core::FormatNumber(false, entry.perimeter, digits);
}

void MarkAll(FaceList& list) {
    for (FaceListEntry& e : list)
        e.marked = true;
}

void UnmarkAll(FaceList& list) {
    for (FaceListEntry& e : list)
        e.marked = false;
}

void InvertMarks(FaceList& list) {
    for (FaceListEntry& e : list)
        e.marked = !e.marked;
}

double MarkedArea(const FaceList& list) {
    long double sum = 0;
    for (const FaceListEntry& e : list)
        if (e.marked) sum += e.area;
    return static_cast<double>(sum);
}

std::string MarkedAreaText(const core::Env& env, const FaceList& list) {
    const double area = MarkedArea(list);
    if (!std::isfinite(area)) return env.msg(lang::msg::kBadData);
    return core::FormatNumber(false, area, env.settings.answerDigits);
}

} // namespace vorn::poly
