// Teaching scenes built with the program's own engine, step by step as a user builds them.
#pragma once

#include "core/scene.h"
#include "core/settings.h"

#include <ostream>
#include <string>
#include <vector>

namespace vorn::tool {

struct SampleScene {
    std::string name;  // file name without ".v3d"
    std::string title; // what the scene shows
};

// The scenes in the order the README shows them.
const std::vector<SampleScene>& SampleScenes();

// Settings the scenes are built with: the defaults, with more integration points so that the
// stored volumes and areas of solids of revolution are close to the exact ones.
core::Settings SampleSettings();

// Builds the scene `name` into `scene`, replacing what it held, through the entry steps and
// commands of the program (standard objects, the entry dialog's build, face forming, the
// cross-section), and stores a fitted view. Report lines go to `report`; false, with the reason
// on `err`, for an unknown name or a step the program refuses.
bool BuildSample(core::Scene& scene, const core::Settings& settings, const std::string& name,
                 std::ostream& report, std::ostream& err);

} // namespace vorn::tool
