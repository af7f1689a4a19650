// The scene: 21 object slots, the file header, per-slot edge flags and the table operations.
#pragma once

#include "core/host.h"
#include "core/scene_object.h"
#include "core/settings.h"
#include "lang/message_table.h"

#include <array>
#include <memory>
#include <string>

namespace vorn::core {

inline constexpr int kSlotCount = 21;      // slots 0..20
inline constexpr int kMaxObjectCount = 20; // objectCount counts the axes: at most 19 user objects
inline constexpr int kAxesSlot = 1;
inline constexpr int kScratchSlot = 0;

using EdgeFlags = std::array<std::array<std::uint8_t, 3>, kMaxFaces>; // [face-1][edge]

// Type names, refreshed from messages 62..68 when a language is applied.
class TypeNameTable {
  public:
    TypeNameTable();
    const std::string& name(ObjectType t) const;
    void refresh(const lang::MessageTable& messages);

  private:
    std::array<std::string, kObjectTypeCount> m_names;
};

class Scene {
  public:
    Scene(); // signature, tag, axes in slot 1, turn angles 27 and 49

    SceneHeader header{};
    int& objectCount() { return header.objectCount; }
    int objectCount() const { return header.objectCount; }

    SceneObject& object(int slot) { return (*m_objects)[static_cast<std::size_t>(slot)]; }
    const SceneObject& object(int slot) const {
        return (*m_objects)[static_cast<std::size_t>(slot)];
    }
    EdgeFlags& edgeVisibility(int slot) { return (*m_edges)[static_cast<std::size_t>(slot)]; }
    const EdgeFlags& edgeVisibility(int slot) const {
        return (*m_edges)[static_cast<std::size_t>(slot)];
    }

    int currentObject = -1;
    bool sceneModified = false;
    TypeNameTable typeNames;

    bool isUserSlot(int slot) const { return slot >= 2 && slot <= objectCount(); }
    bool isFull() const { return objectCount() >= kMaxObjectCount; }

    // Copies a whole slot (record and edge flags).
    void copySlot(int from, int to);

  private:
    std::unique_ptr<std::array<SceneObject, kSlotCount>> m_objects;
    std::unique_ptr<std::array<EdgeFlags, kSlotCount>> m_edges;
};

// What the engine works with: the scene, the settings, the texts and the window's door.
struct Env {
    Scene& scene;
    const Settings& settings;
    const lang::MessageTable& messages;
    Host& host;

    const std::string& msg(int index) const { return messages.text(index); }
};

void InitObject(Scene& scene, ObjectType kind, int slot);
void InitAxes(Scene& scene);
std::string DisplayName(const Scene& scene, int slot);
std::string ListCaption(const Scene& scene, int slot);
bool IsDuplicateObject(const Scene& scene, int slot);

// Appends a slot of `kind` initialised with its defaults; 0 when the scene is full.
int AppendObject(Scene& scene, ObjectType kind);
// Gives back the last slot (an abandoned construction).
void DropLastObject(Scene& scene);

// Asks message 92 and on Yes creates a point object unless it duplicates one.
void OfferPointObject(Env& env, const std::string& name, double x, double y, double z);
// Deletes a user object, asking first when `ask`.
void DeleteObject(Env& env, int slot, bool ask);
void ClearScene(Scene& scene);

// Bounding box and vertex mean of one object, as every redraw recomputes them. An object
// without vertices keeps its box and gets its pivot at the origin.
void ComputeBoundsAndPivot(SceneObject& o);

} // namespace vorn::core
