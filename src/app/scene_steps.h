// The window's side of undo and redo: one history step around each command that changes the
// scene, and the two commands with the step they would undo or redo in their captions.
#pragma once

#include "history/scene_history.h"
#include "lesson/lesson.h"

class QAction;
class QWidget;

namespace vorn::app {

class ListingPanel;

// What the steps need of the main window: the two commands and their texts, the caption, the
// pending operation a move ends and the object list a move selects in.
class StepsWindow {
  public:
    // The parent of the commands' tool buttons.
    virtual QWidget* widget() = 0;
    virtual QAction* command(const char* name) const = 0;
    virtual const lang::MessageTable& messages() const = 0;
    virtual ListingPanel* listing() const = 0;
    virtual void objectListSelected() = 0;
    virtual void updateModifiedMark() = 0;
    // The lesson's current file changed under the window (an undone "New").
    virtual void currentFileChanged() = 0;
    virtual void cancelPendingOperation() = 0;

  protected:
    ~StepsWindow() = default;
};

// The steps themselves are the lesson's; this side keeps the commands and the list in step.
class SceneSteps {
  public:
    SceneSteps(StepsWindow& window, lesson::Lesson& lesson) : m_window(window), m_lesson(lesson) {}

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

    StepsWindow& m_window;
    lesson::Lesson& m_lesson;
};

} // namespace vorn::app
