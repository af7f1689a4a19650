// Face areas, the closedness test and the volume of a polyhedron.
#pragma once

#include "core/scene.h"

namespace vorn::poly {

// Stores every triangle's area, tests by vertical lines that the surface is closed, stores the
// volume and marks the visible edges. Returns false when the surface is not closed (a test line
// crosses an odd number of faces, some face admits no test line, or some edge, split at the
// vertices lying inside it, is used by an odd number of faces) or a face names a vertex the
// object lacks; then the volume stays 0 and the edge table is not touched. Kinds other than
// Polyhedron are left alone (true).
bool CompleteObject(core::Env& env, int slot);

// Sum of the stored triangle areas: the surface area the object report shows.
double SurfaceArea(const core::SceneObject& o);

} // namespace vorn::poly
