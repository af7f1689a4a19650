// A convex hull in extended precision, used to find which points can share a face plane.
#pragma once

#include "core/scene_object.h"

#include <optional>
#include <vector>

namespace vorn::poly {

// For each facet of the convex hull of the listed vertices (numbers of `o`'s vertices, in
// increasing order): the listed vertices lying so near the facet's plane that they may share a
// face plane with it under the plane tolerance, in increasing order. Every triple of vertices
// whose plane has all of them on one side within that tolerance lies in one of these lists.
// Empty when the hull cannot be built reliably (fewer than four points, flat or collinear sets,
// values that are not finite); callers then test every triple.
std::optional<std::vector<std::vector<int>>>
HullFacetNeighbourhoods(const core::SceneObject& o, const std::vector<int>& vertices);

// A triangle of that hull: vertex numbers of `o` and its outward plane a·x + b·y + c·z + d = 0.
struct HullTriangle {
    int v[3];
    double a, b, c, d;
};
// The hull's triangles, when it can be built reliably (as above) and no listed vertex lies
// outside it beyond rounding.
std::optional<std::vector<HullTriangle>> HullTriangles(const core::SceneObject& o,
                                                       const std::vector<int>& vertices);

} // namespace vorn::poly
