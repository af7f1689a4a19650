// Scene objects for the half-tone tests: the regular solids, surfaces over regions, surfaces of
// revolution.
#pragma once

#include "core/scene.h"
#include "geometry/vec3.h"
#include "polyhedra/formation.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vorn::test {

// All sign choices of p, and with `cyclic` also those of its turns (y, z, x) and (z, x, y).
inline std::vector<geo::Vec3> SignedCopies(geo::Vec3 p, bool cyclic) {
    std::vector<geo::Vec3> out;
    for (int turn = 0; turn < (cyclic ? 3 : 1); ++turn, p = {p.y, p.z, p.x})
        for (int s = 0; s < 8; ++s) {
            const geo::Vec3 q{s & 1 ? -p.x : p.x, s & 2 ? -p.y : p.y, s & 4 ? -p.z : p.z};
            if (std::find(out.begin(), out.end(), q) == out.end()) out.push_back(q);
        }
    return out;
}

inline const double kPhi = (1 + std::sqrt(5.0)) / 2;

// The regular solids about the origin, by their vertices.
struct RegularSolid {
    const char* name;
    std::vector<geo::Vec3> vertices;
    int faces; // triangles of the formed hull
};

inline std::vector<RegularSolid> RegularSolids() {
    std::vector<geo::Vec3> dodecahedron = SignedCopies({1, 1, 1}, false);
    for (const geo::Vec3& p : SignedCopies({0, 1 / kPhi, kPhi}, true))
        dodecahedron.push_back(p);
    return {{"tetrahedron", {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}}, 4},
            {"cube", SignedCopies({1, 1, 1}, false), 12},
            {"octahedron", SignedCopies({1, 0, 0}, true), 8},
            {"icosahedron", SignedCopies({0, 1, kPhi}, true), 20},
            {"dodecahedron", dodecahedron, 36}};
}

// A polyhedron of these vertices with faces formed as the program forms them.
inline int AddSolid(core::Env& env, const std::vector<geo::Vec3>& vertices, int colour) {
    const int slot = core::AppendObject(env.scene, core::ObjectType::Polyhedron);
    core::SceneObject& o = env.scene.object(slot);
    o.vertexCount = static_cast<std::int16_t>(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i)
        o.vertex(static_cast<int>(i) + 1) = {float(vertices[i].x), float(vertices[i].y),
                                             float(vertices[i].z)};
    o.colorIndex = colour;
    o.color = core::kPalette[std::size_t(colour)];
    poly::FormConvexFaces(env, slot);
    return slot;
}

// A cube with its lowest corner at `at` and edge `size`, faces formed as the program forms them.
inline int AddCube(core::Env& env, double x, double y, double z, double size, int colour) {
    const int slot = core::AppendObject(env.scene, core::ObjectType::Polyhedron);
    core::SceneObject& o = env.scene.object(slot);
    o.vertexCount = 8;
    for (int i = 0; i < 8; ++i)
        o.vertex(i + 1) = {float(x + size * (i & 1)), float(y + size * ((i >> 1) & 1)),
                           float(z + size * ((i >> 2) & 1))};
    o.colorIndex = colour;
    o.color = core::kPalette[std::size_t(colour)];
    poly::FormConvexFaces(env, slot);
    return slot;
}

// z = formula over the rectangle [x0, x1] x [y0, y1] with one part whose region is a system.
inline int AddSurface(core::Scene& scene, const std::string& formula, const std::string& system,
                      double x0, double x1, double y0, double y1, int colour) {
    const int slot = core::AppendObject(scene, core::ObjectType::Surface);
    core::SceneObject& o = scene.object(slot);
    o.planeB = x0;
    o.planeC = x1;
    o.planeD = y0;
    o.surfaceParam = y1;
    o.partCount = 1;
    o.part(1).text.setRaw(formula);
    o.part(1).domainKind = 1;
    o.part(1).area.domainText.setRaw(system);
    o.colorIndex = colour;
    o.color = core::kPalette[std::size_t(colour)];
    return slot;
}

// y = formula (in x) on [from, to] turned about Ox (axis 0) or Oy (axis 1), moved by `origin`.
inline int AddRevolution(core::Scene& scene, const std::string& formula, double from, double to,
                         int axis, int colour, geo::Vec3 origin = {}) {
    const int slot = core::AppendObject(scene, core::ObjectType::RevolutionSurface);
    core::SceneObject& o = scene.object(slot);
    o.param0 = 0;
    o.param1 = axis;
    o.planeD = from;
    o.surfaceParam = to;
    o.part(2).text.setRaw(formula);
    o.origin[0] = origin.x;
    o.origin[1] = origin.y;
    o.origin[2] = origin.z;
    o.colorIndex = colour;
    o.color = core::kPalette[std::size_t(colour)];
    // A few vertices so that the scene box holds the solid.
    o.vertexCount = 2;
    o.vertex(1) = {float(origin.x + from), float(origin.y - 1), float(origin.z - 1)};
    o.vertex(2) = {float(origin.x + to), float(origin.y + 1), float(origin.z + 1)};
    return slot;
}

} // namespace vorn::test
