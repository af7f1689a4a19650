// The window's side of undo and redo: one history step around each command that changes the
// scene, and the two commands with the step they would undo or redo in their captions.
#pragma once

#include "history/scene_history.h"

#include <optional>
#include <string>

namespace vorn::app {

class TVorn2frm;

class SceneSteps {
  public:
    explicit SceneSteps(TVorn2frm& window) : m_window(window) {}

    // The scope of one command that may change the scene: what it changed becomes one step when
    // the scope ends. A scope opened inside another belongs to the outer one.
    class Step {
      public:
        Step(SceneSteps* steps, history::StepKind kind, int slot = 0);
        // The step a dispatcher Tag makes, if it makes one.
        Step(SceneSteps* steps, int tag);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

      private:
        SceneSteps* m_steps = nullptr;
    };

    // After the menu and tool bars exist: the second redo key, and the captions.
    void attachCommands();
    void undo();
    void redo();
    // A file loaded in place of the scene starts a new history; an open step is dropped.
    // `inFile` false: the scene read is not the one its file holds (a recovered scene).
    void reset(bool inFile = true);
    // The scene was written to its file.
    void markSaved() { m_history.markSaved(); }
    // Captions naming the steps, enabled only when there is a step.
    void updateCommands();
    const history::SceneHistory& history() const { return m_history; }

  private:
    void begin(history::StepKind kind, int slot);
    void end();
    void afterMove();
    bool move(bool back);

    TVorn2frm& m_window;
    history::SceneHistory m_history;
    int m_depth = 0;
    std::optional<history::SceneSnapshot> m_before; // of the open step; none once dropped
    history::StepKind m_kind = history::StepKind::Edit;
    int m_slot = 0;
    int m_objectCount = 0;
    std::string m_name;
    std::string m_fileBefore;
};

} // namespace vorn::app
