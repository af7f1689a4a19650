// The picking steps of the eight measurements: the kind each step takes, its prompt, and the
// element made from the points fixed on the picture.
#pragma once

#include "core/scene_object.h"
#include "geometry/vec3.h"
#include "polyhedra/measurements.h"

#include <array>
#include <optional>
#include <span>

namespace vorn::entry {

// Picking steps of measurement `mode` (1..8). Kinds: 1 point, 2 line, 3 plane, as
// poly::MeasurementPicks orders them; both functions give 0 past the last step (and for a mode
// outside 1..8).
int MeasureStepKind(int mode, int step);   // step 0-based
int MeasureStepPrompt(int mode, int step); // PromptTable entry shown for the step

// The three vertices a plane pick fixes: those of a Plane object that span a plane; none for
// another kind or for vertices on one line.
std::optional<std::array<geo::Vec3, 3>> PlaneVertices(const core::SceneObject& o);
// The measurement's element from the points fixed on the picture: one point, a segment's two
// ends, or three vertices whose plane is the one measured.
poly::Pick FixedPick(int slot, std::span<const geo::Vec3> points);

} // namespace vorn::entry
