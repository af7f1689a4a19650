// Loading steps per object; grows as the polyhedron and surface libraries arrive.
#include "entry/scene_loader.h"

namespace vorn::entry {

bool SceneLoader::rebuildMesh(core::Env& /*env*/, int /*slot*/) {
    return true;
}

bool SceneLoader::completeObject(core::Env& /*env*/, int /*slot*/) {
    return true;
}

} // namespace vorn::entry
