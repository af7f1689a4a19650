// Triangle faces of a convex polyhedron from its points, face planes, convexity, visible edges.
#pragma once

#include "core/scene.h"

namespace vorn::poly {

// Most vertices one flat face (or one cutting plane) may hold: the kernel's point-list size.
inline constexpr int kMaxPlanePoints = 255;

// Replaces the faces of the Polyhedron in `slot` by the triangulated convex hull of its
// vertices and deletes the vertices that are no corner of the hull. Returns false when the
// points give no solid. A coordinate that is not finite, a flat face with fewer than 3 corners,
// more than kMaxPlanePoints points in one face plane or an overflowing face table leave the
// points and no faces; with fewer than 4 vertices or faces left, the formed mesh stays. Other
// kinds are left alone (true). Where the walk over triples refuses a set that spans space or
// gives no closed convex surface, the faces are those of the extended-precision hull, one plane
// per triangle, and `fromHull` (when given) is set.
bool FormConvexFaces(core::Env& env, int slot, bool* fromHull = nullptr);
// The same result by testing every triple of points: the oracle of the fast walk's tests.
bool FormConvexFacesReference(core::Env& env, int slot);

// Recomputes each face's plane from its three vertices, in order. Returns 0 when every face got
// a plane, -1 when there are no faces, else the number of the first face whose vertices give no
// plane or lie outside 1..vertexCount; later faces are left untouched.
int RecomputeFacePlanes(core::SceneObject& o);

// True when no face plane has vertices strictly on both sides; true without faces.
bool IsConvex(const core::SceneObject& o);

// Fills the slot's edge-visibility table: for a convex object only the edges on the outline of
// some flat face are visible; every edge of a non-convex object is.
void MarkFaceEdges(core::Env& env, int slot);

} // namespace vorn::poly
