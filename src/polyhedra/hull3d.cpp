// Incremental convex hull in long double with a final check of every facet against every point.
#include "polyhedra/hull3d.h"

#include "geometry/tolerances.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace vorn::poly {

namespace {

using Ext = long double;
using P3 = std::array<Ext, 3>;

P3 Sub(const P3& a, const P3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
P3 Cross(const P3& a, const P3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Ext Dot(const P3& a, const P3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Ext Norm(const P3& a) {
    return std::sqrt(Dot(a, a));
}

struct Facet {
    int v[3];
    P3 n;  // outward unit normal
    Ext h; // n·x = h on the facet's plane
};

std::uint64_t EdgeKey(int a, int b) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
           static_cast<std::uint32_t>(b);
}

class Hull {
  public:
    Hull(std::vector<P3> points, Ext scale) : m_p(std::move(points)), m_scale(scale) {
        for (const P3& p : m_p) {
            m_px.push_back(double(p[0]));
            m_py.push_back(double(p[1]));
            m_pz.push_back(double(p[2]));
        }
    }
    bool build() {
        const int n = static_cast<int>(m_p.size());
        if (n < 4) return false;
        const Ext flat = 1e-9L * m_scale;
        // A first tetrahedron from far-apart points.
        int a = 0, b = -1, c = -1, d = -1;
        Ext best = 0;
        for (int i = 1; i < n; ++i)
            if (const Ext len = Norm(Sub(m_p[i], m_p[a])); len > best) best = len, b = i;
        if (b < 0 || best <= flat) return false;
        const P3 ab = Sub(m_p[b], m_p[a]);
        best = 0;
        for (int i = 0; i < n; ++i)
            if (const Ext area = Norm(Cross(ab, Sub(m_p[i], m_p[a]))) / Norm(ab); area > best)
                best = area, c = i;
        if (c < 0 || best <= flat) return false;
        const P3 normal = Cross(ab, Sub(m_p[c], m_p[a]));
        best = 0;
        for (int i = 0; i < n; ++i)
            if (const Ext h = std::fabs(Dot(normal, Sub(m_p[i], m_p[a]))) / Norm(normal); h > best)
                best = h, d = i;
        if (d < 0 || best <= flat) return false;
        if (Dot(normal, Sub(m_p[d], m_p[a])) > 0) std::swap(b, c);
        // Now d lies below the plane of a, b, c taken counter-clockwise from outside.
        if (!add(a, b, c) || !add(a, d, b) || !add(b, d, c) || !add(c, d, a)) return false;

        const Ext visibleFrom = 1e-13L * m_scale;
        std::vector<int> visible;
        std::unordered_set<std::uint64_t> edges;
        for (int p = 0; p < n; ++p) {
            if (p == a || p == b || p == c || p == d) continue;
            visible.clear();
            const std::size_t facets = m_f.size();
            m_values.resize(facets);
            const double x = m_px[static_cast<std::size_t>(p)],
                         y = m_py[static_cast<std::size_t>(p)],
                         z = m_pz[static_cast<std::size_t>(p)];
            for (std::size_t f = 0; f < facets; ++f)
                m_values[f] = m_nx[f] * x + m_ny[f] * y + m_nz[f] * z - m_h[f];
            for (std::size_t f = 0; f < facets; ++f)
                if (m_values[f] > double(visibleFrom) - doubt() &&
                    Dot(m_f[f].n, m_p[static_cast<std::size_t>(p)]) - m_f[f].h > visibleFrom)
                    visible.push_back(static_cast<int>(f));
            if (visible.empty()) continue;
            edges.clear();
            for (int f : visible)
                for (int e = 0; e < 3; ++e)
                    edges.insert(EdgeKey(m_f[f].v[e], m_f[f].v[(e + 1) % 3]));
            std::vector<std::array<int, 2>> horizon;
            for (int f : visible)
                for (int e = 0; e < 3; ++e) {
                    const int u = m_f[f].v[e], w = m_f[f].v[(e + 1) % 3];
                    if (!edges.count(EdgeKey(w, u))) horizon.push_back({u, w});
                }
            // Drop the visible facets (indices ascending, so erase from the back).
            for (auto it = visible.rbegin(); it != visible.rend(); ++it)
                drop(static_cast<std::size_t>(*it));
            for (const auto& [u, w] : horizon)
                if (!add(u, w, p)) return false;
        }
        return closed();
    }

    // Per facet, the points whose gap below its plane is at most `reach`; empty when some point
    // lies outside a facet's plane by more than rounding (the hull is then not to be trusted).
    std::optional<std::vector<std::vector<int>>> near(Ext reach) {
        const Ext slack = 1e-10L * m_scale;
        const std::size_t points = m_p.size();
        std::vector<std::vector<int>> lists;
        lists.reserve(m_f.size());
        m_values.resize(points);
        for (std::size_t f = 0; f < m_f.size(); ++f) {
            const double nx = m_nx[f], ny = m_ny[f], nz = m_nz[f], h = m_h[f];
            for (std::size_t p = 0; p < points; ++p)
                m_values[p] = nx * m_px[p] + ny * m_py[p] + nz * m_pz[p] - h;
            std::vector<int> list;
            for (std::size_t p = 0; p < points; ++p) {
                if (m_values[p] < double(-reach) - doubt()) continue;
                const Ext value = Dot(m_f[f].n, m_p[p]) - m_f[f].h;
                if (value > slack) return {};
                if (value >= -reach) list.push_back(static_cast<int>(p));
            }
            lists.push_back(std::move(list));
        }
        return lists;
    }

    const std::vector<Facet>& facets() const { return m_f; }
    Ext scale() const { return m_scale; }

  private:
    bool add(int a, int b, int c) {
        const P3 n = Cross(Sub(m_p[b], m_p[a]), Sub(m_p[c], m_p[a]));
        const Ext len = Norm(n);
        if (!(len > 1e-24L * m_scale * m_scale)) return false;
        Facet f{{a, b, c}, {n[0] / len, n[1] / len, n[2] / len}, 0};
        f.h = Dot(f.n, m_p[a]);
        m_f.push_back(f);
        m_nx.push_back(double(f.n[0]));
        m_ny.push_back(double(f.n[1]));
        m_nz.push_back(double(f.n[2]));
        m_h.push_back(double(f.h));
        return true;
    }
    void drop(std::size_t f) {
        m_f[f] = m_f.back();
        m_f.pop_back();
        for (std::vector<double>* column : {&m_nx, &m_ny, &m_nz, &m_h}) {
            (*column)[f] = column->back();
            column->pop_back();
        }
    }
    // The double form of n·p − h is within this of the extended value: far inside every margin
    // used, so only values this near a bound need the extended form.
    double doubt() const { return 1e-11 * double(m_scale); }
    // Every edge is met once in each direction: a closed surface.
    bool closed() const {
        std::unordered_map<std::uint64_t, int> count;
        for (const Facet& f : m_f)
            for (int e = 0; e < 3; ++e)
                if (++count[EdgeKey(f.v[e], f.v[(e + 1) % 3])] > 1) return false;
        for (const Facet& f : m_f)
            for (int e = 0; e < 3; ++e)
                if (!count.count(EdgeKey(f.v[(e + 1) % 3], f.v[e]))) return false;
        return m_f.size() >= 4;
    }
    std::vector<P3> m_p;
    std::vector<double> m_px, m_py, m_pz;      // the points in double, for the quick pass
    std::vector<double> m_nx, m_ny, m_nz, m_h; // the facets' planes in double, same order
    std::vector<double> m_values;
    Ext m_scale;
    std::vector<Facet> m_f;
};

// The hull of the listed vertices in extended precision; empty when it cannot be trusted.
std::optional<Hull> BuildHull(const core::SceneObject& o, const std::vector<int>& vertices) {
    std::vector<P3> points;
    points.reserve(vertices.size());
    Ext largest = 0;
    for (int v : vertices) {
        const core::Vec3f& q = o.vertex(v);
        if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z)) return {};
        points.push_back({q.x, q.y, q.z});
        largest =
            std::max({largest, std::fabs(Ext(q.x)), std::fabs(Ext(q.y)), std::fabs(Ext(q.z))});
    }
    // Far beyond any drawing's size the rounding margins swallow the set: walk every triple.
    if (largest > 1e6L) return {};
    const Ext scale = largest + 1;
    Hull hull(std::move(points), scale);
    if (!hull.build()) return {};
    return hull;
}

} // namespace

std::optional<std::vector<std::vector<int>>>
HullFacetNeighbourhoods(const core::SceneObject& o, const std::vector<int>& vertices) {
    std::optional<Hull> hull = BuildHull(o, vertices);
    if (!hull) return {};
    const Ext scale = hull->scale();

    // A triple's stored plane is its exact plane rounded to single precision: off by at most
    // about 2e-7 of the coordinates' size at the triple's points; 1e-6 leaves room. The triple's
    // centroid is then within (tolerance + rounding) of the hull's boundary, so some facet has
    // the three points' gaps summing to at most three times that.
    const Ext rounding = 1e-6L * scale;
    const Ext reach = 2 * (3 * (Ext(geo::kEpsPlane) + rounding) + 2e-10L * scale);
    auto near = hull->near(reach);
    if (!near) return {};
    for (std::vector<int>& list : *near)
        for (int& p : list)
            p = vertices[static_cast<std::size_t>(p)];
    return near;
}

std::optional<std::vector<HullTriangle>> HullTriangles(const core::SceneObject& o,
                                                       const std::vector<int>& vertices) {
    std::optional<Hull> hull = BuildHull(o, vertices);
    // A point outside some facet beyond rounding: the hull is not to be trusted.
    if (!hull || !hull->near(0)) return {};
    std::vector<HullTriangle> triangles;
    triangles.reserve(hull->facets().size());
    for (const Facet& f : hull->facets()) {
        HullTriangle t{};
        for (int k = 0; k < 3; ++k)
            t.v[k] = vertices[static_cast<std::size_t>(f.v[k])];
        t.a = double(f.n[0]);
        t.b = double(f.n[1]);
        t.c = double(f.n[2]);
        t.d = double(-f.h);
        triangles.push_back(t);
    }
    return triangles;
}

} // namespace vorn::poly
