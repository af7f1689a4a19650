// What loading a scene does to each object beyond copying it in: meshes and polyhedron data.
#pragma once

#include "core/scene_file.h"

namespace vorn::entry {

class SceneLoader : public core::LoadProcessor {
  public:
    bool rebuildMesh(core::Env& env, int slot) override;
    bool completeObject(core::Env& env, int slot) override;
};

} // namespace vorn::entry
