// The flat faces of a convex polyhedron and the edges between them.
#include "nets/net.h"
#include "nets/nets_detail.h"

#include "polyhedra/detail.h"
#include "polyhedra/formation.h"

#include "geometry/tolerances.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <unordered_map>

namespace vorn::nets {

using detail::Length;
using detail::Unit;

namespace {

std::uint64_t Key(int u, int v) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(u)) << 32) |
           static_cast<std::uint32_t>(v);
}

struct Triangle {
    std::vector<int> v; // its corners, and points of the surface lying inside its sides
    geo::Vec3 normal;   // outward unit normal
};

} // namespace

std::optional<Solid> FacesOf(const core::SceneObject& o) {
    if (o.type != core::ObjectType::Polyhedron) return std::nullopt;
    const int nv = poly::detail::VertexCount(o);
    const int nf = poly::detail::FaceCount(o);
    if (nv < 4 || nf < 4 || !poly::detail::FacesAreValid(o) || !poly::IsConvex(o))
        return std::nullopt;
    const auto at = [&](int v) { return poly::detail::VertexAt(o, v); };

    // Size of the solid, for the relative tolerances below.
    geo::Vec3 low = at(o.face(1).vertex1), high = low, centre;
    std::vector<bool> used(static_cast<std::size_t>(nv) + 1, false);
    for (int f = 1; f <= nf; ++f)
        for (int v : {o.face(f).vertex1, o.face(f).vertex2, o.face(f).vertex3})
            used[static_cast<std::size_t>(v)] = true;
    int usedCount = 0;
    for (int v = 1; v <= nv; ++v) {
        if (!used[static_cast<std::size_t>(v)]) continue;
        const geo::Vec3 p = at(v);
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return std::nullopt;
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        centre = centre + p;
        ++usedCount;
    }
    centre = centre * (1.0 / usedCount);
    const double size = Length(high - low);
    if (!(size > 0) || !std::isfinite(size)) return std::nullopt;
    // Points this close to a plane lie on it, as for the formation of the faces and the face
    // list.
    const double planeTol = geo::kEpsPlane;

    // Triangles turned counter-clockwise seen from outside.
    std::vector<Triangle> tris;
    tris.reserve(static_cast<std::size_t>(nf));
    for (int f = 1; f <= nf; ++f) {
        Triangle t{{o.face(f).vertex1, o.face(f).vertex2, o.face(f).vertex3}, {}};
        for (int v : t.v)
            if (!used[static_cast<std::size_t>(v)]) return std::nullopt;
        const geo::Vec3 a = at(t.v[0]), b = at(t.v[1]), c = at(t.v[2]);
        geo::Vec3 n = geo::cross(b - a, c - a);
        const double len = Length(n);
        if (!(len > 1e-12 * size * size)) return std::nullopt; // a degenerate triangle
        if (geo::dot(n, (a + b + c) * (1.0 / 3) - centre) < 0) {
            std::swap(t.v[1], t.v[2]);
            n = n * -1;
        }
        t.normal = n * (1 / len);
        tris.push_back(t);
    }
    // Each directed edge once, its reverse present: a closed surface.
    std::unordered_map<std::uint64_t, int> owner;
    const auto own = [&]() {
        owner.clear();
        owner.reserve(tris.size() * 4);
        for (std::size_t t = 0; t < tris.size(); ++t) {
            const std::vector<int>& v = tris[t].v;
            for (std::size_t k = 0; k < v.size(); ++k)
                if (!owner.emplace(Key(v[k], v[(k + 1) % v.size()]), static_cast<int>(t)).second)
                    return false;
        }
        return true;
    };
    const auto across = [&](int u, int v) {
        const auto it = owner.find(Key(v, u));
        return it == owner.end() ? -1 : it->second;
    };
    if (!own()) return std::nullopt;
    // A side with no reverse may hold points of the surface (a flat face's fan ending on a
    // point of its neighbour's side): the side is split there.
    bool split = false;
    for (Triangle& t : tris) {
        std::vector<int> ring;
        for (std::size_t k = 0; k < 3; ++k) {
            const int u = t.v[k], v = t.v[(k + 1) % 3];
            ring.push_back(u);
            if (across(u, v) >= 0) continue;
            const geo::Vec3 a = at(u), d = at(v) - a;
            const double len2 = geo::dot(d, d);
            std::vector<std::pair<double, int>> inside;
            for (int w = 1; w <= nv; ++w) {
                if (!used[static_cast<std::size_t>(w)] || w == u || w == v) continue;
                const double s = geo::dot(at(w) - a, d) / len2;
                if (s <= 0 || s >= 1 || Length(at(w) - (a + d * s)) >= planeTol) continue;
                inside.emplace_back(s, w);
            }
            std::sort(inside.begin(), inside.end());
            for (const auto& [s, w] : inside)
                ring.push_back(w);
            split = split || !inside.empty();
        }
        t.v = std::move(ring);
    }
    if (split && !own()) return std::nullopt;
    for (const Triangle& t : tris)
        for (std::size_t k = 0; k < t.v.size(); ++k)
            if (across(t.v[k], t.v[(k + 1) % t.v.size()]) < 0) return std::nullopt;

    // Flat faces: triangles flooded from a seed while all their corners lie on its plane.
    std::vector<int> group(tris.size(), -1);
    std::vector<std::vector<int>> members;
    std::vector<geo::Vec3> groupNormal;
    for (std::size_t seed = 0; seed < tris.size(); ++seed) {
        if (group[seed] >= 0) continue;
        const int g = static_cast<int>(members.size());
        const geo::Vec3 n = tris[seed].normal;
        const double d = geo::dot(n, at(tris[seed].v[0]));
        members.push_back({static_cast<int>(seed)});
        groupNormal.push_back(n);
        group[seed] = g;
        for (std::size_t q = 0; q < members.back().size(); ++q) {
            const Triangle& t =
                tris[static_cast<std::size_t>(members[static_cast<std::size_t>(g)][q])];
            for (std::size_t k = 0; k < t.v.size(); ++k) {
                const int other = across(t.v[k], t.v[(k + 1) % t.v.size()]);
                if (group[static_cast<std::size_t>(other)] >= 0) continue;
                const Triangle& s = tris[static_cast<std::size_t>(other)];
                if (geo::dot(s.normal, n) < 0.999) continue;
                bool flat = true;
                for (int v : s.v)
                    flat = flat && std::fabs(geo::dot(n, at(v)) - d) < planeTol;
                if (!flat) continue;
                group[static_cast<std::size_t>(other)] = g;
                members[static_cast<std::size_t>(g)].push_back(other);
            }
        }
    }

    // Outline of each flat face: its triangles' edges that no triangle of the face shares.
    const int faceCount = static_cast<int>(members.size());
    std::vector<std::vector<int>> loops(static_cast<std::size_t>(faceCount));
    std::vector<std::vector<int>> loopNeighbour(static_cast<std::size_t>(faceCount));
    for (int g = 0; g < faceCount; ++g) {
        std::map<int, int> next;
        int count = 0;
        for (int t : members[static_cast<std::size_t>(g)])
            for (std::size_t k = 0, m = tris[static_cast<std::size_t>(t)].v.size(); k < m; ++k) {
                const int u = tris[static_cast<std::size_t>(t)].v[k];
                const int v = tris[static_cast<std::size_t>(t)].v[(k + 1) % m];
                if (group[static_cast<std::size_t>(across(u, v))] == g) continue;
                if (!next.emplace(u, v).second) return std::nullopt; // not a simple outline
                ++count;
            }
        std::vector<int>& loop = loops[static_cast<std::size_t>(g)];
        int v = next.begin()->first;
        do {
            loop.push_back(v);
            const auto it = next.find(v);
            if (it == next.end() || static_cast<int>(loop.size()) > count) return std::nullopt;
            v = it->second;
        } while (v != loop.front());
        if (static_cast<int>(loop.size()) != count) return std::nullopt; // holes or pieces
        for (std::size_t k = 0; k < loop.size(); ++k)
            loopNeighbour[static_cast<std::size_t>(g)].push_back(
                group[static_cast<std::size_t>(across(loop[k], loop[(k + 1) % loop.size()]))]);
    }

    // Corners: outline points but those lying straight between two pieces of one edge.
    Solid solid;
    solid.faces.resize(static_cast<std::size_t>(faceCount));
    for (int g = 0; g < faceCount; ++g) {
        const std::vector<int>& loop = loops[static_cast<std::size_t>(g)];
        const std::vector<int>& nb = loopNeighbour[static_cast<std::size_t>(g)];
        const std::size_t m = loop.size();
        SolidFace& face = solid.faces[static_cast<std::size_t>(g)];
        for (std::size_t k = 0; k < m; ++k) {
            const std::size_t prev = (k + m - 1) % m;
            if (nb[prev] == nb[k]) {
                const geo::Vec3 a = at(loop[prev]), b = at(loop[k]), c = at(loop[(k + 1) % m]);
                const geo::Vec3 e1 = b - a, e2 = c - b;
                if (Length(geo::cross(e1, e2)) <= 1e-9 * Length(e1) * Length(e2) &&
                    geo::dot(e1, e2) > 0)
                    continue;
            }
            face.vertices.push_back(loop[k]);
            face.corners.push_back(at(loop[k]));
        }
        if (face.vertices.size() < 3) return std::nullopt;
        face.normal = groupNormal[static_cast<std::size_t>(g)];
        geo::Vec3 sum;
        for (std::size_t k = 0; k < face.corners.size(); ++k)
            sum = sum + geo::cross(face.corners[k], face.corners[(k + 1) % face.corners.size()]);
        face.area = std::fabs(geo::dot(sum, face.normal)) / 2;
        solid.area += face.area;
    }
    // Edges between the corners kept, each once, from the face of the lower index.
    std::unordered_map<std::uint64_t, int> faceOfSide; // directed corner pair -> face
    for (int g = 0; g < faceCount; ++g) {
        const std::vector<int>& vs = solid.faces[static_cast<std::size_t>(g)].vertices;
        for (std::size_t k = 0; k < vs.size(); ++k)
            faceOfSide[Key(vs[k], vs[(k + 1) % vs.size()])] = g;
    }
    for (int g = 0; g < faceCount; ++g) {
        const std::vector<int>& vs = solid.faces[static_cast<std::size_t>(g)].vertices;
        for (std::size_t k = 0; k < vs.size(); ++k) {
            const int u = vs[k], v = vs[(k + 1) % vs.size()];
            const auto it = faceOfSide.find(Key(v, u));
            if (it == faceOfSide.end() || it->second == g) return std::nullopt;
            if (it->second > g) solid.edges.push_back({g, it->second, u, v});
        }
    }
    // One solid: every face reached across edges.
    std::vector<std::vector<int>> adj(static_cast<std::size_t>(faceCount));
    for (const SolidEdge& e : solid.edges) {
        adj[static_cast<std::size_t>(e.faceA)].push_back(e.faceB);
        adj[static_cast<std::size_t>(e.faceB)].push_back(e.faceA);
    }
    std::vector<bool> seen(static_cast<std::size_t>(faceCount), false);
    std::vector<int> stack{0};
    seen[0] = true;
    int reached = 1;
    while (!stack.empty()) {
        const int f = stack.back();
        stack.pop_back();
        for (int g : adj[static_cast<std::size_t>(f)])
            if (!seen[static_cast<std::size_t>(g)]) {
                seen[static_cast<std::size_t>(g)] = true;
                ++reached;
                stack.push_back(g);
            }
    }
    if (reached != faceCount || faceCount < 4) return std::nullopt;
    return solid;
}

} // namespace vorn::nets
