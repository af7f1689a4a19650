// The window's side of undo and redo: one history step around each command that changes the
// scene, and the two commands with the step they would undo or redo in their captions.
#pragma once

#include "history/scene_history.h"
#include "lesson/lesson.h"

namespace vorn::app {

class TVorn2frm;

// The steps themselves are the lesson's; this side keeps the commands and the list in step.
class SceneSteps {
  public:
    SceneSteps(TVorn2frm& window, lesson::Lesson& lesson) : m_window(window), m_lesson(lesson) {}

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
    // Captions naming the steps, enabled only when there is a step.
    void updateCommands();
    const history::SceneHistory& history() const { return m_lesson.history(); }

  private:
    void begin(history::StepKind kind, int slot);
    void end();
    void afterMove();
    bool move(bool back);

    TVorn2frm& m_window;
    lesson::Lesson& m_lesson;
};

} // namespace vorn::app
