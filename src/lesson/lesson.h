// Lesson: the document a window shows — the scene with its settings, its undo history, its
// recovery file, the file it came from and the files opened before. No widget in sight, so a
// whole lesson can be driven without one.
#pragma once

#include "core/host.h"
#include "core/scene.h"
#include "core/settings.h"
#include "entry/scene_loader.h"
#include "history/scene_history.h"
#include "lang/message_table.h"
#include "lesson/recent_files.h"
#include "recovery/recovery_store.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn::lesson {

// File names are the file system's bytes throughout: a name that is not UTF-8 stays whole.
class Lesson {
  public:
    // The window's side of the unsaved-work question: it asks with Save, Discard and Cancel
    // (Yes, No, Cancel), and saves as "Зберегти" does, false when cancelled or not written.
    using AskSave = std::function<core::Answer(const std::string& question)>;
    using SaveWork = std::function<bool()>;

    Lesson(const lang::MessageTable& messages, core::Host& host);
    Lesson(const Lesson&) = delete;
    Lesson& operator=(const Lesson&) = delete;

    core::Scene& scene() { return m_scene; }
    const core::Scene& scene() const { return m_scene; }
    const core::Settings& settings() const { return m_settings; }
    // The window's menu choices (hidden lines, outlines, language) change single fields.
    core::Settings& settings() { return m_settings; }
    // A settings record edited elsewhere (the settings dialog's copy) becomes the lesson's.
    void setSettings(const core::Settings& settings) { m_settings = settings; }
    core::Env& env() { return m_env; }
    const lang::MessageTable& messages() const { return m_env.messages; }

    // ---- files
    const std::string& currentFile() const { return m_currentFile; }
    void setCurrentFile(std::string name) { m_currentFile = std::move(name); }
    const std::vector<std::string>& recentFiles() const { return m_recentFiles; }
    void setRecentFiles(std::vector<std::string> files);
    void rememberFile(const std::string& name);
    // Reads a scene file as a load does (`selective`: the objects the host selects); -1 when
    // nothing was read, and `cancelled` tells whether the user stopped it.
    int read(const std::string& fileName, bool selective, bool reportErrors,
             bool* cancelled = nullptr);
    // The scene read in place of the last one is `fileName`'s: a new history, no recovery file.
    void opened(const std::string& fileName);
    // Writes the scene to `fileName`, which becomes the current and a recent file; false (the
    // host told why) when it could not be written.
    bool save(const std::string& fileName);
    // An empty scene under `fileName`; the history keeps the step that undoes it.
    void clear(const std::string& fileName);

    // ---- unsaved work
    void setSaveQuestion(AskSave ask, SaveWork save);
    // Unsaved objects would be lost (a new or loaded scene, a recent or dropped file, closing):
    // "Зберегти зміни?" with the file's name. True when the work may go: nothing to lose,
    // saved, or discarded; a cancelled or failed save keeps it.
    bool mayDiscardWork();
    bool holdsUnsavedWork() const;

    // ---- undo history
    // The scope of one command that may change the scene: what it changed becomes one step when
    // the outermost scope ends. A null lesson makes no step.
    class Step {
      public:
        Step(Lesson* lesson, history::StepKind kind, int slot = 0);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

      private:
        Lesson* m_lesson = nullptr;
    };
    void beginStep(history::StepKind kind, int slot);
    // True when the outermost scope closed and its step was taken to the history (recorded or
    // found empty); false inside another scope or after a reset dropped it.
    bool endStep();
    bool stepOpen() const { return m_depth > 0; }
    // Both put the scene back; the current file follows a "Новий" step. False when there is no
    // step, or a step is still open.
    bool undo();
    bool redo();
    // A new history; an open step is dropped. `inFile` false: the scene is not its file's.
    void resetHistory(bool inFile = true);
    const history::SceneHistory& history() const { return m_history; }

    // ---- recovery
    // Autosaved copies go to `dir` (the file system's bytes) from here on.
    void enableRecovery(const std::string& dir);
    void disableRecovery() { m_recovery.reset(); }
    recovery::RecoveryStore* recoveryStore() const { return m_recovery.get(); }
    // The modified scene to this instance's recovery file; an unmodified one removes it.
    void writeRecovery();
    void discardRecovery();
    // Reads a recovery file as a load does; the scene stays modified under its own name, which
    // is neither the current nor a recent file until saved. False when nothing was read.
    bool restore(const recovery::Recovered& found, const std::string& fileName);

  private:
    bool move(bool back);

    core::Scene m_scene;
    core::Settings m_settings;
    core::Env m_env;
    entry::SceneLoader m_loader;
    history::SceneHistory m_history;
    std::unique_ptr<recovery::RecoveryStore> m_recovery;
    std::string m_currentFile;
    std::vector<std::string> m_recentFiles;
    AskSave m_askSave;
    SaveWork m_saveWork;

    // The open step.
    int m_depth = 0;
    std::optional<history::SceneSnapshot> m_before; // none once dropped
    history::StepKind m_kind = history::StepKind::Edit;
    int m_slot = 0;
    int m_objectCount = 0;
    std::string m_name;
    std::string m_fileBefore;
};

} // namespace vorn::lesson
