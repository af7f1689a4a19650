// The letters vertices carry in the picture, the figures and the nets: one label per point.
#pragma once

#include "core/scene.h"
#include "core/settings.h"

#include <string>
#include <vector>

namespace vorn::core {

// The label of vertex `vertex` of `o` on its own: letter, number or the name of a named point.
std::string VertexLabel(const SceneObject& o, int vertex, const Settings& settings);

// The labels of the visible points, polylines and polyhedra of a scene, one per place: where
// vertices of several objects meet, a named point object gives its name there, otherwise the
// first object in slot order its own label; the other vertices at that place are not lettered.
class SceneLabels {
  public:
    SceneLabels(const Scene& scene, const Settings& settings);
    // What vertex `vertex` of `slot` shows; empty when another object letters that place.
    const std::string& shown(int slot, int vertex) const;
    // What the scene calls the place of vertex `vertex` of `slot`, whoever letters it: the
    // label shown there (a vertex of a hidden object gets its own label).
    std::string nameOf(int slot, int vertex) const;

  private:
    struct Entry {
        std::string shown;
        std::string name;
    };
    const Entry* entry(int slot, int vertex) const;
    const Scene& m_scene;
    const Settings& m_settings;
    std::vector<std::vector<Entry>> m_entries; // by slot, then vertex - 1
};

} // namespace vorn::core
