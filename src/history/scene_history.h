// Undo and redo of scene changes: snapshots of the scene before each step, bounded in number and
// in bytes, and the state the scene's file holds.
#pragma once

#include "core/scene.h"
#include "lang/message_table.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace vorn::history {

// What a step did; it names the step in the commands' captions.
enum class StepKind {
    Create,
    Edit,
    Delete,
    Transform,
    Section,
    AddFromFile,
    Visibility,
    New,
};

struct StepInfo {
    StepKind kind = StepKind::Edit;
    std::string objectName; // UTF-8; empty for the kinds that name no object
};

// "створення об'єкта "Куб"" and the like, in the language of `messages`.
std::string StepName(const lang::MessageTable& messages, const StepInfo& step);

// Everything a step may change: the header, the records of the axes and the user objects (only
// their used vertices, faces and parts), their edge flags, the headers kept for unbuilt surfaces
// and the current object. Objects are written one after the other, so a small scene costs little.
class SceneSnapshot {
  public:
    static SceneSnapshot Capture(const core::Scene& scene);
    // Puts the scene back as it was; the slots past the last object are left alone.
    void restore(core::Scene& scene) const;

    std::size_t bytes() const { return m_data.size() + sizeof(*this); }
    int currentObject() const { return m_currentObject; }
    // Same objects and header; the current object does not count.
    bool sameScene(const SceneSnapshot& other) const { return m_data == other.m_data; }

  private:
    std::vector<std::uint8_t> m_data;
    int m_currentObject = -1;
};

struct Limits {
    std::size_t steps = 100;
    std::size_t bytes = std::size_t{256} << 20;
};

class SceneHistory {
  public:
    explicit SceneHistory(Limits limits = {}) : m_limits(limits) {}

    // Records the change from `before` to the scene as it is now as one step; a command that
    // changed nothing leaves no step. The oldest steps go when the bounds are passed. False when
    // nothing was recorded.
    // `fileBefore` is the scene's file before a "Новий" step, which undoing it names again.
    bool record(SceneSnapshot before, core::Scene& scene, StepInfo info,
                std::string fileBefore = {});

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    const StepInfo* undoStep() const { return canUndo() ? &m_undo.back().info : nullptr; }
    const StepInfo* redoStep() const { return canRedo() ? &m_redo.back().info : nullptr; }
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }
    std::size_t bytes() const { return m_bytes; }

    // Both put the scene back and tell its observer, as a load does; the scene is modified
    // unless it is again the one its file holds. False when there is no such step.
    // `fileName`, when given, holds the scene's file and takes the one on the other side of a
    // "Новий" step, whose saved state comes back with it.
    bool undo(core::Scene& scene, std::string* fileName = nullptr);
    bool redo(core::Scene& scene, std::string* fileName = nullptr);
    // The object that was current in the scene the last undo or redo brought back.
    int restoredObject() const { return m_restoredObject; }

    // The scene as it is now is the one its file holds (saved, loaded, or a new empty scene).
    void markSaved() { m_saved = m_state; }
    bool atSavedState() const { return m_saved == m_state; }
    // A new history: a file was loaded in place of the scene. A scene that is not the one in its
    // file (a recovered one) stays modified through every later undo.
    void clear(bool inFile = true);

  private:
    struct Entry {
        SceneSnapshot scene; // the scene on the other side of the step
        std::uint64_t state;
        StepInfo info;
        // Of a "Новий" step only: the file and the saved state on the other side.
        std::string fileName;
        std::uint64_t saved = 0;
    };
    bool move(std::deque<Entry>& from, std::deque<Entry>& to, core::Scene& scene,
              std::string* fileName);
    void trim();

    Limits m_limits;
    std::deque<Entry> m_undo; // oldest first
    std::deque<Entry> m_redo; // the next to redo last
    std::size_t m_bytes = 0;
    std::uint64_t m_state = 0; // names the scene's present state
    std::uint64_t m_nextState = 1;
    std::uint64_t m_saved = 0;
    int m_restoredObject = -1;
};

} // namespace vorn::history
