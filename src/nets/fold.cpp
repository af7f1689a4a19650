// Folding a net back up: each face turns about its hinge, the root face stays in place.
#include "nets/net.h"
#include "nets/nets_detail.h"

#include <cmath>

namespace vorn::nets {

using detail::Unit;

namespace {

// x -> r·x + t.
struct Motion {
    double r[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    geo::Vec3 t;
    geo::Vec3 turn(const geo::Vec3& v) const {
        return {r[0][0] * v.x + r[0][1] * v.y + r[0][2] * v.z,
                r[1][0] * v.x + r[1][1] * v.y + r[1][2] * v.z,
                r[2][0] * v.x + r[2][1] * v.y + r[2][2] * v.z};
    }
    geo::Vec3 operator()(const geo::Vec3& v) const { return turn(v) + t; }
    Motion after(const Motion& inner) const { // this ∘ inner
        Motion m;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                m.r[i][j] = 0;
                for (int k = 0; k < 3; ++k)
                    m.r[i][j] += r[i][k] * inner.r[k][j];
            }
        m.t = (*this)(inner.t);
        return m;
    }
};

// Rotation by `angle` about the line through `p` along the unit vector `d`.
Motion Rotation(const geo::Vec3& p, const geo::Vec3& d, double angle) {
    const double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    Motion m;
    const double x = d.x, y = d.y, z = d.z;
    m.r[0][0] = c + x * x * k;
    m.r[0][1] = x * y * k - z * s;
    m.r[0][2] = x * z * k + y * s;
    m.r[1][0] = y * x * k + z * s;
    m.r[1][1] = c + y * y * k;
    m.r[1][2] = y * z * k - x * s;
    m.r[2][0] = z * x * k - y * s;
    m.r[2][1] = z * y * k + x * s;
    m.r[2][2] = c + z * z * k;
    m.t = p - m.turn(p);
    return m;
}

} // namespace

std::vector<std::vector<geo::Vec3>> Fold(const Solid& solid, const Net& net, double t) {
    const std::size_t n = solid.faces.size();
    if (net.parent.size() != n || net.hinge.size() != n) return {};
    std::vector<std::vector<int>> children(n);
    std::vector<int> order;
    for (std::size_t f = 0; f < n; ++f) {
        const int p = net.parent[f];
        if (p < 0)
            order.push_back(static_cast<int>(f));
        else if (static_cast<std::size_t>(p) < n)
            children[static_cast<std::size_t>(p)].push_back(static_cast<int>(f));
    }
    std::vector<Motion> motion(n);
    std::vector<bool> placed(n, false);
    for (int f : order)
        placed[static_cast<std::size_t>(f)] = true;
    for (std::size_t q = 0; q < order.size(); ++q) {
        const std::size_t p = static_cast<std::size_t>(order[q]);
        for (int g : children[p]) {
            const std::size_t gi = static_cast<std::size_t>(g);
            const int e = net.hinge[gi];
            if (placed[gi] || e < 0 || static_cast<std::size_t>(e) >= solid.edges.size()) continue;
            const SolidEdge& edge = solid.edges[static_cast<std::size_t>(e)];
            const SolidFace& face = solid.faces[gi];
            geo::Vec3 a, b;
            for (std::size_t k = 0; k < face.vertices.size(); ++k) {
                if (face.vertices[k] == edge.v1) a = face.corners[k];
                if (face.vertices[k] == edge.v2) b = face.corners[k];
            }
            const geo::Vec3 d = Unit(b - a);
            // Normals square to the hinge, so that a face whose corners stray from its plane
            // by the tolerance still turns into its parent's plane.
            const auto square = [&](const geo::Vec3& n) { return Unit(n - d * geo::dot(n, d)); };
            const geo::Vec3 ng = square(face.normal), np = square(solid.faces[p].normal);
            // The turn that lays the face into its parent's plane, beyond the hinge.
            const double open = std::atan2(geo::dot(d, geo::cross(ng, np)), geo::dot(ng, np));
            motion[gi] = motion[p].after(Rotation(a, d, (1 - t) * open));
            placed[gi] = true;
            order.push_back(g);
        }
    }
    std::vector<std::vector<geo::Vec3>> out(n);
    for (std::size_t f = 0; f < n; ++f)
        for (const geo::Vec3& c : solid.faces[f].corners)
            out[f].push_back(motion[f](c));
    return out;
}

} // namespace vorn::nets
