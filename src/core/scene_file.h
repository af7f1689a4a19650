// Reading and writing scene files (*.v3d).
#pragma once

#include "core/scene.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn::core {

inline constexpr int kNotSceneFile = -1000;

// The scale a header without a usable one (zero or negative) loads with: the settings' default.
inline constexpr float kDefaultZoom = 100.0f;

// The most a scene file can hold: the header and 20 records with every part, vertex and face in
// use. Anything longer is damaged and is not read.
inline constexpr std::size_t kMaxSceneFileSize =
    sizeof(SceneHeader) + static_cast<std::size_t>(kMaxObjectCount) * sizeof(SceneObject);

// Work done on each loaded object beyond copying it in; the polyhedron and surface libraries
// supply the real one. The default takes every object as read.
class LoadProcessor {
  public:
    virtual ~LoadProcessor() = default;
    // Rebuilds the mesh of a surface or surface of revolution; false when it cannot be built.
    virtual bool rebuildMesh(Env& /*env*/, int /*slot*/) { return true; }
    // Face planes and polyhedron completion; returns whether the object is closed.
    virtual bool completeObject(Env& /*env*/, int /*slot*/) { return true; }
};

// Size of an object's block in a file.
std::size_t BlockSize(const SceneObject& o);

// The bytes of a whole scene file as WriteSceneFile would write them.
std::vector<std::uint8_t> SerializeScene(const Scene& scene);

// Writes the scene through a temporary file renamed over the target, so a failed write never
// destroys the previous file. Returns false (reported in an error box) when it fails; then
// `sceneModified` stays as it was.
bool WriteSceneFile(Env& env, const std::string& fileName);

// Returns a non-negative value on success, kNotSceneFile when the file is not a usable scene
// file (also when a block is damaged or cut short, holds values no record can hold, or anything
// follows the last block: such files are rejected before the scene changes). Only the header is
// read before the signature is checked, and never more than kMaxSceneFileSize bytes; running out
// of memory is reported as for a file that is not a scene.
// A cancelled selective load returns 0 and changes nothing; `cancelled` tells it.
// A surface whose mesh cannot be rebuilt is kept unbuilt (Scene::keepUnbuilt); one message
// names all such objects.
int ReadSceneFile(Env& env, const std::string& fileName, bool selective, bool reportErrors,
                  LoadProcessor* processor = nullptr, bool* cancelled = nullptr);

} // namespace vorn::core
