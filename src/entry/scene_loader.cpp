// Loading step for surfaces: their meshes are rebuilt from the stored definitions.
#include "entry/scene_loader.h"

#include "entry/object_builder.h"

namespace vorn::entry {

// Silent: when it fails the file reader keeps the object as read, without a mesh, and names it
// in one message. The volume and area of a surface of revolution stay as stored.
bool SceneLoader::rebuildMesh(core::Env& env, int slot) {
    expr::ExpressionEngine engine;
    return RebuildObject(env, engine, slot);
}

} // namespace vorn::entry
