// The scene: 21 object slots, the file header, per-slot edge flags and the table operations.
#pragma once

#include "core/host.h"
#include "core/scene_object.h"
#include "core/scene_observer.h"
#include "core/settings.h"
#include "lang/message_table.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace vorn::core {

inline constexpr int kSlotCount = 21;      // slots 0..20
inline constexpr int kMaxObjectCount = 20; // objectCount counts the axes: at most 19 user objects
inline constexpr int kAxesSlot = 1;
inline constexpr int kScratchSlot = 0;

using EdgeFlags = std::array<std::array<std::uint8_t, 3>, kMaxFaces>; // [face-1][edge]
using RecordHeaderBytes = std::array<std::uint8_t, kRecordHeaderSize>;

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

    // Copies a whole slot (record and edge flags). An unbuilt object stays unbuilt when it moves
    // between user slots; copies into or out of the scratch slot are working copies and carry
    // no such state.
    void copySlot(int from, int to);

    // A surface whose mesh could not be rebuilt from its stored definition stays in the scene
    // without a mesh; the header it was read with is kept so that saving writes it back
    // unchanged, whatever a redraw does to its box and pivot meanwhile.
    void keepUnbuilt(int slot);
    const RecordHeaderBytes* unbuiltHeader(int slot) const;
    void markBuilt(int slot) { m_unbuilt[static_cast<std::size_t>(slot)].reset(); }

    // The window that mirrors this scene; without one (tools, engine tests) changes go unseen.
    void setObserver(SceneObserver* observer) { m_observer = observer; }
    SceneObserver& observer() const;

  private:
    std::unique_ptr<std::array<SceneObject, kSlotCount>> m_objects;
    std::unique_ptr<std::array<EdgeFlags, kSlotCount>> m_edges;
    std::array<std::optional<RecordHeaderBytes>, kSlotCount> m_unbuilt;
    SceneObserver* m_observer = nullptr;
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
// The stored name as every display shows it. A file may hold any byte, and a length byte over
// 100 takes in the padding after the name: control bytes show as blanks, so they neither
// vanish nor break a line. The record keeps its bytes.
std::string NameText(const SceneObject& o);
std::string DisplayName(const Scene& scene, int slot);
std::string ListCaption(const Scene& scene, int slot);
bool IsDuplicateObject(const Scene& scene, int slot);
// The first other object that `slot` duplicates as IsDuplicateObject decides, or 0.
int DuplicateOf(const Scene& scene, int slot);

// Appends a slot of `kind` initialised with its defaults; 0 when the scene is full.
int AppendObject(Scene& scene, ObjectType kind);
// Gives back the last slot (an abandoned construction).
void DropLastObject(Scene& scene);

// Asks message 92 and on Yes creates a point object unless it duplicates one. A full scene, or a
// point a float cannot hold, is not asked about.
void OfferPointObject(Env& env, const std::string& name, double x, double y, double z);
// Deletes a user object, asking first when `ask`.
void DeleteObject(Env& env, int slot, bool ask);
void ClearScene(Scene& scene);

// Bounding box and vertex mean of one object, as every redraw recomputes them. An object
// without vertices keeps its box and gets its pivot at the origin.
void ComputeBoundsAndPivot(SceneObject& o);

} // namespace vorn::core
