// Scene objects for the half-tone tests: a cube, surfaces over regions, surfaces of revolution.
#pragma once

#include "core/scene.h"
#include "geometry/vec3.h"
#include "polyhedra/formation.h"

#include <string>

namespace vorn::test {

// A cube with its lowest corner at `at` and edge `size`, faces formed as the program forms them.
inline int AddCube(core::Env& env, double x, double y, double z, double size, int colour) {
    const int slot = core::AppendObject(env.scene, core::ObjectType::Polyhedron);
    core::SceneObject& o = env.scene.object(slot);
    o.vertexCount = 8;
    for (int i = 0; i < 8; ++i)
        o.vertex(i + 1) = {float(x + size * (i & 1)), float(y + size * ((i >> 1) & 1)),
                           float(z + size * ((i >> 2) & 1))};
    o.colorIndex = colour;
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
    // A few vertices so that the scene box holds the solid.
    o.vertexCount = 2;
    o.vertex(1) = {float(origin.x + from), float(origin.y - 1), float(origin.z - 1)};
    o.vertex(2) = {float(origin.x + to), float(origin.y + 1), float(origin.z + 1)};
    return slot;
}

} // namespace vorn::test
