// Loading step for every object: face planes and the polyhedron data (areas, closedness, volume).
#include "entry/scene_loader.h"

#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

namespace vorn::entry {

bool SceneLoader::completeObject(core::Env& env, int slot) {
    // Points and polylines have degenerate faces; the bad-face result only means that.
    poly::RecomputeFacePlanes(env.scene.object(slot));
    return poly::CompleteObject(env, slot);
}

} // namespace vorn::entry
