// The characteristics lines of one object, as the characteristics pane shows them.
#pragma once

#include "core/scene.h"

#include <string>
#include <vector>

namespace vorn::core {

// Lines for the object in `slot`. As a side effect the plane of a polyline's first three nodes
// goes into faces[1] and a plane object's equation into planeA..planeD. A measure that is not a
// finite number gets its failure message in place of its line; `complete`, when given, tells
// whether none did.
std::vector<std::string> ShowObjectReport(Scene& scene, const Settings& settings,
                                          const lang::MessageTable& messages, int slot,
                                          bool* complete = nullptr);

// Area of the discs that close a surface of revolution into a solid: one disc at each end of
// its generatrix that lies off the axis, or only the ring between the two when both ends lie
// in one plane across the axis. 0 for other objects and for a generatrix that ends on the axis
// or returns to its start.
double RevolutionEndsArea(const SceneObject& o);

} // namespace vorn::core
