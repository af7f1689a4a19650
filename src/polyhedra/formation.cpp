// Convex-hull formation of polyhedron faces, face planes, the convexity test and visible edges.
#include "polyhedra/formation.h"

#include "lang/message_ids.h"
#include "polyhedra/detail.h"
#include "polyhedra/hull3d.h"

#include "geometry/polygon.h"
#include "geometry/primitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>
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

namespace {

// The flat faces of the point set, one triple at a time: a triple whose (stored) plane has every
// point on one side and that no earlier face plane holds starts a new flat face, triangulated as
// a fan from its first hull corner. The walk over triples in increasing order fixes the faces,
// their planes and their order; both drivers below feed it triples in that order.
class FaceFormer {
  public:
    // Abort: give up at once; Stop: the result is settled as a failure, tidy up and return.
    enum class Step { Next, Stop, Abort };

    FaceFormer(SceneObject& o, int n) : m_o(o), m_repeat(RepeatedPoints(o, n)) {
        m_containing.resize(static_cast<std::size_t>(n) + 1);
        for (int m = 1; m <= n; ++m)
            if (!skip(m)) {
                const Vec3f& v = o.vertex(m);
                m_points.push_back({v.x, v.y, v.z, m});
            }
    }

    bool skip(int v) const { return m_repeat[static_cast<std::size_t>(v)]; }
    bool failed() const { return m_failed; }
    bool overfull() const { return m_overfull; }

    // `first`: points to test before all others; the support test's answer does not depend on
    // the order, but a plane that cuts the set usually has its few points above near the triple.
    Step tryTriple(int i, int j, int k, const std::vector<int>* first = nullptr) {
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints(VertexAt(m_o, i), VertexAt(m_o, j), VertexAt(m_o, k));
        if (fit.degenerate) return Step::Next;
        // Rounded as it will be stored, so later tests see the stored plane.
        const StoredPlane plane = RoundPlane(fit.plane);
        // The support test comes before the handled-plane test: both only skip, so their order
        // does not change the result, and most triples fail the first.
        bool below = false, above = false;
        const auto test = [&](int m) {
            if (skip(m)) return;
            const double s = StoredValue(plane, m_o.vertex(m));
            below = below || s < -geo::kEpsPlane;
            above = above || s > geo::kEpsPlane;
        };
        if (first)
            for (std::size_t f = 0; f < first->size() && !(below && above); ++f)
                test((*first)[f]);
        // The same values as StoredValue, from a packed copy of the points.
        const auto value = [&plane](const Packed& q) {
            return double(plane[0]) * q.x + double(plane[1]) * q.y + double(plane[2]) * q.z +
                   double(plane[3]);
        };
        // In blocks, so that the values are computed side by side.
        const std::size_t count = m_points.size();
        m_values.resize(count);
        for (std::size_t start = 0; start < count && !(below && above); start += 64) {
            const std::size_t end = std::min(count, start + 64);
            double low = 0, high = 0;
            for (std::size_t m = start; m < end; ++m) {
                m_values[m] = value(m_points[m]);
                low = std::min(low, m_values[m]);
                high = std::max(high, m_values[m]);
            }
            below = below || low < -geo::kEpsPlane;
            above = above || high > geo::kEpsPlane;
        }
        if (below && above) return Step::Next;
        // Only planes holding i can hold the whole triple.
        for (std::size_t h : m_containing[static_cast<std::size_t>(i)])
            if (ContainsAll(m_handled[h], m_o, {j, k})) return Step::Next;

        geo::PointList list;
        std::array<int, geo::PointList::kCapacity + 1> number{};
        bool overflow = false;
        m_holding.clear();
        // Every value is known here: the scan above ran to the end.
        for (std::size_t q = 0; q < count && !overflow; ++q) {
            const double s = std::fabs(m_values[q]);
            if (s > 2 * geo::kEpsPlane) continue;
            const int m = m_points[q].number;
            if (ContainsAll(plane, m_o, {m})) m_holding.push_back(m);
            if (s > geo::kEpsPlane) continue;
            overflow = !list.push(VertexAt(m_o, m));
            if (!overflow) number[static_cast<std::size_t>(list.n)] = m;
        }
        if (overflow) { // more points in one plane than a face can hold
            m_overfull = true;
            return Step::Abort;
        }
        geo::HullOrder order{};
        const geo::Plane normal{plane[0], plane[1], plane[2], plane[3]};
        const int corners = geo::PlanarConvexHull(list, order, normal);
        if (corners < 3) {
            // The set makes no solid whatever follows; walking on only repeats this work for
            // every near-flat triple (a fourth power of the point count).
            m_failed = true;
            return Step::Stop;
        }
        if (m_o.faceCount + corners - 2 > core::kMaxFaces) return Step::Abort;
        const auto corner = [&](int t) {
            return static_cast<std::int16_t>(
                number[static_cast<std::size_t>(order[static_cast<std::size_t>(t)])]);
        };
        for (int t = 2; t <= corners - 1; ++t) {
            Face& face = m_o.face(++m_o.faceCount);
            face = Face{};
            face.a = plane[0];
            face.b = plane[1];
            face.c = plane[2];
            face.d = plane[3];
            face.vertex1 = corner(1);
            face.vertex2 = corner(t);
            face.vertex3 = corner(t + 1);
        }
        const std::size_t h = m_handled.size();
        m_handled.push_back(plane);
        for (int m : m_holding)
            m_containing[static_cast<std::size_t>(m)].push_back(h);
        return Step::Next;
    }

  private:
    struct Packed {
        double x, y, z;
        int number;
    };
    SceneObject& m_o;
    std::vector<Packed> m_points; // the points that are no repeats, in order
    std::vector<double> m_values; // their values at the plane being tested
    std::vector<bool> m_repeat;
    bool m_failed = false;
    bool m_overfull = false;
    std::vector<StoredPlane> m_handled;                 // one plane per flat face formed so far
    std::vector<std::vector<std::size_t>> m_containing; // per point: handled planes holding it
    std::vector<int> m_holding;                         // points the current plane holds
};

// Every triple in increasing order.
bool WalkAllTriples(FaceFormer& former, int n, detail::Progress& progress) {
    for (int i = 1; i <= n - 2; ++i) {
        progress.step(i);
        if (former.skip(i)) continue;
        for (int j = i + 1; j <= n - 1; ++j) {
            if (former.skip(j)) continue;
            for (int k = j + 1; k <= n; ++k) {
                if (former.skip(k)) continue;
                if (const auto step = former.tryTriple(i, j, k); step != FaceFormer::Step::Next)
                    return step == FaceFormer::Step::Stop;
            }
        }
    }
    return true;
}

// Only the triples that can have every point on one side of their plane, in the same order.
// A triple's plane bounds the hull to within the plane tolerance, so the triple's centroid lies
// that close to the hull's boundary: all three points then lie near one facet plane of the
// hull. Candidates are the points near each facet of a hull built in extended precision.
bool WalkCandidateTriples(FaceFormer& former, const std::vector<std::vector<int>>& near, int n,
                          detail::Progress& progress) {
    // Facets each point is near, ascending.
    std::vector<std::vector<int>> facetsOf(static_cast<std::size_t>(n) + 1);
    for (std::size_t f = 0; f < near.size(); ++f)
        for (int p : near[f])
            facetsOf[static_cast<std::size_t>(p)].push_back(static_cast<int>(f));
    std::vector<int> around, ks, common;
    for (int i = 1; i <= n - 2; ++i) {
        progress.step(i);
        if (former.skip(i)) continue;
        const std::vector<int>& fi = facetsOf[static_cast<std::size_t>(i)];
        around.clear();
        for (int f : fi)
            around.insert(around.end(), near[static_cast<std::size_t>(f)].begin(),
                          near[static_cast<std::size_t>(f)].end());
        std::sort(around.begin(), around.end());
        around.erase(std::unique(around.begin(), around.end()), around.end());
        for (auto jt = std::upper_bound(around.begin(), around.end(), i); jt != around.end();
             ++jt) {
            const int j = *jt;
            const std::vector<int>& fj = facetsOf[static_cast<std::size_t>(j)];
            common.clear();
            std::set_intersection(fi.begin(), fi.end(), fj.begin(), fj.end(),
                                  std::back_inserter(common));
            ks.clear();
            for (int f : common)
                for (int p : near[static_cast<std::size_t>(f)])
                    if (p > j) ks.push_back(p);
            std::sort(ks.begin(), ks.end());
            ks.erase(std::unique(ks.begin(), ks.end()), ks.end());
            for (int k : ks)
                if (const auto step = former.tryTriple(i, j, k, &around);
                    step != FaceFormer::Step::Next)
                    return step == FaceFormer::Step::Stop;
        }
    }
    return true;
}

// Whether the faces bound a convex solid: every edge joins exactly two faces, the surface is a
// sphere (V - E + F = 2 over the vertices it uses) and no face plane has points on both sides.
// Faces laid over one another break the first count; a face missing breaks it too.
bool ClosedConvexSurface(const SceneObject& o) {
    const int faces = FaceCount(o);
    if (faces < 4 || !detail::FacesAreValid(o)) return false;
    std::map<std::pair<int, int>, int> edges;
    std::set<int> used;
    for (int f = 1; f <= faces; ++f) {
        const Face& face = o.face(f);
        const int v[3] = {face.vertex1, face.vertex2, face.vertex3};
        if (v[0] == v[1] || v[1] == v[2] || v[0] == v[2]) return false;
        for (int k = 0; k < 3; ++k) {
            used.insert(v[k]);
            ++edges[std::minmax(v[k], v[(k + 1) % 3])];
        }
    }
    for (const auto& edge : edges)
        if (edge.second != 2) return false;
    if (int(used.size()) - int(edges.size()) + faces != 2) return false;
    return IsConvex(o);
}

// The faces of the extended-precision hull, each triangle with its own plane.
bool FacesFromHull(SceneObject& o, const std::vector<int>& kept) {
    const auto triangles = HullTriangles(o, kept);
    if (!triangles || triangles->size() > std::size_t(core::kMaxFaces)) return false;
    // A refused set leaves the record as the walk left it.
    const std::vector<Face> walked(std::begin(o.faceData), std::end(o.faceData));
    const std::int16_t walkedCount = o.faceCount;
    o.faceCount = 0;
    for (const HullTriangle& t : *triangles) {
        Face& face = o.face(++o.faceCount);
        face = Face{};
        face.a = static_cast<float>(t.a);
        face.b = static_cast<float>(t.b);
        face.c = static_cast<float>(t.c);
        face.d = static_cast<float>(t.d);
        face.vertex1 = static_cast<std::int16_t>(t.v[0]);
        face.vertex2 = static_cast<std::int16_t>(t.v[1]);
        face.vertex3 = static_cast<std::int16_t>(t.v[2]);
    }
    if (ClosedConvexSurface(o)) return true;
    std::copy(walked.begin(), walked.end(), std::begin(o.faceData));
    o.faceCount = walkedCount;
    return false;
}

bool Form(core::Env& env, int slot, bool reference, bool* fromHull) {
    SceneObject& o = env.scene.object(slot);
    if (o.type != core::ObjectType::Polyhedron) return true;
    const int n = VertexCount(o);
    detail::Progress progress(
        env.host,
        env.messages.format(lang::msg::kFormingObject, {core::DisplayName(env.scene, slot)}), n,
        40);
    o.faceCount = 0;
    // Coordinates without a value give no planes to compare, only endless failed faces.
    for (int m = 1; m <= n; ++m) {
        const Vec3f& v = o.vertex(m);
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
    }
    if (fromHull) *fromHull = false;
    FaceFormer former(o, n);
    std::optional<std::vector<std::vector<int>>> near;
    std::vector<int> kept;
    for (int m = 1; m <= n; ++m)
        if (!former.skip(m)) kept.push_back(m);
    if (!reference) near = HullFacetNeighbourhoods(o, kept);
    const bool whole = near ? WalkCandidateTriples(former, *near, n, progress)
                            : WalkAllTriples(former, n, progress);
    bool sound = whole && !former.failed();
    // Dense sets put points within the plane tolerance of their neighbours' planes: the walk
    // then refuses them or lays extra triangles over its faces. The hull in extended precision
    // still separates such points. A plane holding more points than a face can take stays a
    // failure: its outline could not be drawn either.
    if (!reference && !former.overfull() && !(sound && ClosedConvexSurface(o))) {
        if (FacesFromHull(o, kept)) {
            sound = true;
            if (fromHull) *fromHull = true;
            progress.message(env.msg(lang::msg::kFacesFromHull));
        }
    }
    // A set that makes no solid keeps its points and no faces: which faces came before the
    // failure says nothing to anyone.
    if (!sound) {
        o.faceCount = 0;
        return false;
    }

    progress.message(env.msg(lang::msg::kRemovingExtraVertices));
    DeleteUnreferencedVertices(o);
    progress.end();
    return o.vertexCount >= 4 && o.faceCount >= 4;
}

} // namespace

bool FormConvexFaces(core::Env& env, int slot, bool* fromHull) {
    return Form(env, slot, false, fromHull);
}

bool FormConvexFacesReference(core::Env& env, int slot) {
    return Form(env, slot, true, nullptr);
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
        env.host,
        env.messages.format(lang::msg::kRemovingExtraLines, {core::DisplayName(env.scene, slot)}),
        faces, 100);
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
