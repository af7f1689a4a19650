// Convex-hull formation of polyhedron faces, face planes, the convexity test and visible edges.
#include "polyhedra/formation.h"

#include "polyhedra/detail.h"

#include "geometry/polygon.h"
#include "geometry/primitives.h"

#include <array>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace vorn::poly {

using core::Face;
using core::SceneObject;
using core::Vec3f;
using detail::FaceCount;
using detail::PlaneValue;
using detail::VertexAt;
using detail::VertexCount;

namespace {

using StoredPlane = std::array<float, 4>;

StoredPlane RoundPlane(const geo::Plane& p) {
    return {static_cast<float>(p.a), static_cast<float>(p.b), static_cast<float>(p.c),
            static_cast<float>(p.d)};
}

double StoredValue(const StoredPlane& p, const Vec3f& v) {
    return double(p[0]) * v.x + double(p[1]) * v.y + double(p[2]) * v.z + double(p[3]);
}

bool ContainsAll(const StoredPlane& p, const SceneObject& o, std::initializer_list<int> vs) {
    for (int v : vs) {
        const Vec3f& q = o.vertex(v);
        if (!geo::IsNear(double(p[0]) * q.x + double(p[1]) * q.y + double(p[2]) * q.z,
                         -double(p[3]), geo::kEpsPlane))
            return false;
    }
    return true;
}

// Later copies of a point equal to an earlier one within kEpsEdge in every coordinate; they
// take no part in the hull, so the corner keeps its first copy.
std::vector<bool> RepeatedPoints(const SceneObject& o, int n) {
    std::vector<bool> repeat(static_cast<std::size_t>(n) + 1, false);
    for (int m = 2; m <= n; ++m) {
        const Vec3f& p = o.vertex(m);
        for (int k = 1; k < m && !repeat[static_cast<std::size_t>(m)]; ++k) {
            if (repeat[static_cast<std::size_t>(k)]) continue;
            const Vec3f& q = o.vertex(k);
            repeat[static_cast<std::size_t>(m)] = geo::IsNear(p.x, q.x, geo::kEpsEdge) &&
                                                  geo::IsNear(p.y, q.y, geo::kEpsEdge) &&
                                                  geo::IsNear(p.z, q.z, geo::kEpsEdge);
        }
    }
    return repeat;
}

// Deletes the vertices no face refers to, renumbering the faces.
void DeleteUnreferencedVertices(SceneObject& o) {
    const int n = VertexCount(o);
    std::vector<bool> used(static_cast<std::size_t>(n) + 1, false);
    for (int f = 1; f <= FaceCount(o); ++f)
        for (int v : {o.face(f).vertex1, o.face(f).vertex2, o.face(f).vertex3})
            if (v >= 1 && v <= n) used[static_cast<std::size_t>(v)] = true;
    std::vector<std::int16_t> renumber(static_cast<std::size_t>(n) + 1, 0);
    int kept = 0;
    for (int v = 1; v <= n; ++v) {
        if (!used[static_cast<std::size_t>(v)]) continue;
        renumber[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(++kept);
        o.vertex(kept) = o.vertex(v);
    }
    for (int f = 1; f <= FaceCount(o); ++f) {
        Face& face = o.face(f);
        for (std::int16_t* v : {&face.vertex1, &face.vertex2, &face.vertex3})
            if (*v >= 1 && *v <= n) *v = renumber[static_cast<std::size_t>(*v)];
    }
    o.vertexCount = static_cast<std::int16_t>(kept);
}

} // namespace

bool FormConvexFaces(core::Env& env, int slot) {
    SceneObject& o = env.scene.object(slot);
    if (o.type != core::ObjectType::Polyhedron) return true;
    const int n = VertexCount(o);
    detail::Progress progress(env.host,
                              env.messages.format(21, {core::DisplayName(env.scene, slot)}), n, 40);
    o.faceCount = 0;
    bool failed = false;
    const std::vector<bool> repeat = RepeatedPoints(o, n);
    const auto skip = [&repeat](int v) { return repeat[static_cast<std::size_t>(v)]; };
    std::vector<StoredPlane> handled; // one plane per flat face formed so far

    for (int i = 1; i <= n - 2; ++i) {
        progress.step(i);
        if (skip(i)) continue;
        for (int j = i + 1; j <= n - 1; ++j) {
            if (skip(j)) continue;
            for (int k = j + 1; k <= n; ++k) {
                if (skip(k)) continue;
                const geo::PlaneFit fit =
                    geo::PlaneThroughPoints(VertexAt(o, i), VertexAt(o, j), VertexAt(o, k));
                if (fit.degenerate) continue;
                // Rounded as it will be stored, so later tests see the stored plane.
                const StoredPlane plane = RoundPlane(fit.plane);
                // The support test comes before the handled-plane test: both only skip, so
                // their order does not change the result, and most triples fail the first.
                bool below = false, above = false;
                for (int m = 1; m <= n && !(below && above); ++m) {
                    if (skip(m)) continue;
                    const double s = StoredValue(plane, o.vertex(m));
                    below = below || s < -geo::kEpsPlane;
                    above = above || s > geo::kEpsPlane;
                }
                if (below && above) continue;
                bool known = false;
                for (const StoredPlane& h : handled)
                    if (ContainsAll(h, o, {i, j, k})) {
                        known = true;
                        break;
                    }
                if (known) continue;

                geo::PointList list;
                std::array<int, geo::PointList::kCapacity + 1> number{};
                bool overflow = false;
                for (int m = 1; m <= n && !overflow; ++m) {
                    if (skip(m) || std::fabs(StoredValue(plane, o.vertex(m))) > geo::kEpsPlane)
                        continue;
                    overflow = !list.push(VertexAt(o, m));
                    if (!overflow) number[static_cast<std::size_t>(list.n)] = m;
                }
                if (overflow) return false; // more points in one plane than a face can hold
                geo::HullOrder order{};
                const geo::Plane normal{plane[0], plane[1], plane[2], plane[3]};
                const int corners = geo::PlanarConvexHull(list, order, normal);
                if (corners < 3) {
                    failed = true;
                    continue;
                }
                if (o.faceCount + corners - 2 > core::kMaxFaces) return false;
                const auto corner = [&](int t) {
                    return static_cast<std::int16_t>(
                        number[static_cast<std::size_t>(order[static_cast<std::size_t>(t)])]);
                };
                for (int t = 2; t <= corners - 1; ++t) {
                    Face& face = o.face(++o.faceCount);
                    face = Face{};
                    face.a = plane[0];
                    face.b = plane[1];
                    face.c = plane[2];
                    face.d = plane[3];
                    face.vertex1 = corner(1);
                    face.vertex2 = corner(t);
                    face.vertex3 = corner(t + 1);
                }
                handled.push_back(plane);
            }
        }
    }

    progress.message(env.msg(22));
    DeleteUnreferencedVertices(o);
    progress.end();
    return !failed && o.vertexCount >= 4 && o.faceCount >= 4;
}

int RecomputeFacePlanes(SceneObject& o) {
    const int faces = FaceCount(o);
    if (faces == 0) return -1;
    const int n = VertexCount(o);
    for (int f = 1; f <= faces; ++f) {
        Face& face = o.face(f);
        const int v1 = face.vertex1, v2 = face.vertex2, v3 = face.vertex3;
        if (v1 < 1 || v1 > n || v2 < 1 || v2 > n || v3 < 1 || v3 > n) return f;
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints(VertexAt(o, v1), VertexAt(o, v2), VertexAt(o, v3));
        if (fit.degenerate) return f;
        face.a = static_cast<float>(fit.plane.a);
        face.b = static_cast<float>(fit.plane.b);
        face.c = static_cast<float>(fit.plane.c);
        face.d = static_cast<float>(fit.plane.d);
    }
    return 0;
}

bool IsConvex(const SceneObject& o) {
    const int n = VertexCount(o);
    for (int f = 1; f <= FaceCount(o); ++f) {
        const Face& face = o.face(f);
        int below = 0, above = 0;
        for (int m = 1; m <= n; ++m) {
            if (m == face.vertex1 || m == face.vertex2 || m == face.vertex3) continue;
            const double s = PlaneValue(face, o.vertex(m));
            if (s < -geo::kEpsPlane) ++below;
            if (s > geo::kEpsPlane) ++above;
            if (below > 0 && above > 0) return false;
        }
    }
    return true;
}

void MarkFaceEdges(core::Env& env, int slot) {
    const SceneObject& o = env.scene.object(slot);
    core::EdgeFlags& visible = env.scene.edgeVisibility(slot);
    for (auto& edges : visible)
        edges = {1, 1, 1};
    if (!IsConvex(o)) return;
    const int faces = FaceCount(o);
    const int n = VertexCount(o);
    detail::Progress progress(
        env.host, env.messages.format(19, {core::DisplayName(env.scene, slot)}), faces, 100);
    for (auto& edges : visible)
        edges = {0, 0, 0};

    // Outline edges of every flat face as (smaller, larger) vertex numbers. Triangles of one flat
    // face carry the same plane, so each plane is outlined once.
    std::set<std::pair<int, int>> outline;
    std::set<StoredPlane> outlined;
    std::set<StoredPlane> overfull; // planes holding more points than the hull can take
    for (int f = 1; f <= faces; ++f) {
        progress.step(f);
        const Face& face = o.face(f);
        const StoredPlane plane = {face.a, face.b, face.c, face.d};
        if (!outlined.insert(plane).second) continue;
        geo::PointList list;
        std::array<int, geo::PointList::kCapacity + 1> number{};
        bool overflow = false;
        for (int m = 1; m <= n && !overflow; ++m) {
            if (std::fabs(PlaneValue(face, o.vertex(m))) >= geo::kEpsPlane) continue;
            overflow = !list.push(VertexAt(o, m));
            if (!overflow) number[static_cast<std::size_t>(list.n)] = m;
        }
        if (overflow) {
            overfull.insert(plane);
            continue;
        }
        geo::HullOrder order{};
        const int corners = geo::PlanarConvexHull(list, order, {face.a, face.b, face.c, face.d});
        for (int t = 1; t <= corners && corners >= 2; ++t) {
            const int p = number[order[static_cast<std::size_t>(t)]];
            const int q = number[order[static_cast<std::size_t>(t % corners + 1)]];
            outline.insert(std::minmax(p, q));
        }
    }
    for (int g = 1; g <= faces; ++g) {
        const Face& face = o.face(g);
        const std::array<int, 3> v = {face.vertex1, face.vertex2, face.vertex3};
        // Without an outline every edge of such a face stays drawn rather than vanish.
        const bool drawAll = overfull.count({face.a, face.b, face.c, face.d}) > 0;
        for (int k = 0; k < 3; ++k)
            if (drawAll || outline.count(std::minmax(v[static_cast<std::size_t>(k)],
                                                     v[static_cast<std::size_t>((k + 1) % 3)])))
                visible[static_cast<std::size_t>(g - 1)][static_cast<std::size_t>(k)] = 1;
    }
}

} // namespace vorn::poly
