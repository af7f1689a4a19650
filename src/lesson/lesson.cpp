// The document under the window: files, the unsaved-work question, undo steps and recovery.
#include "lesson/lesson.h"

#include "core/scene_file.h"
#include "lang/message_ids.h"

#include <algorithm>

namespace vorn::lesson {

std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path) {
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > static_cast<std::size_t>(kRecentFileCount)) list.resize(kRecentFileCount);
    return list;
}

Lesson::Lesson(const lang::MessageTable& messages, core::Host& host)
    : m_env{m_scene, m_settings, messages, host} {}

// ---- files ---------------------------------------------------------------------------------

void Lesson::setRecentFiles(std::vector<std::string> files) {
    // Read backwards through the rule, so that repeated or missing entries still give a list.
    m_recentFiles.clear();
    for (auto it = files.rbegin(); it != files.rend(); ++it)
        if (!it->empty()) m_recentFiles = WithRecentFile(std::move(m_recentFiles), *it);
}

void Lesson::rememberFile(const std::string& name) {
    m_recentFiles = WithRecentFile(std::move(m_recentFiles), name);
}

int Lesson::read(const std::string& fileName, bool selective, bool reportErrors, bool* cancelled) {
    bool stopped = false;
    const int result =
        core::ReadSceneFile(m_env, fileName, selective, reportErrors, &m_loader, &stopped);
    if (cancelled) *cancelled = stopped;
    return result;
}

void Lesson::opened(const std::string& fileName) {
    resetHistory();
    discardRecovery();
    m_currentFile = fileName;
}

bool Lesson::save(const std::string& fileName) {
    if (!core::WriteSceneFile(m_env, fileName)) return false;
    m_history.markSaved();
    discardRecovery();
    m_currentFile = fileName;
    rememberFile(fileName);
    return true;
}

void Lesson::clear(const std::string& fileName) {
    m_scene.sceneModified = false;
    discardRecovery();
    m_currentFile = fileName;
    core::ClearScene(m_scene);
}

// ---- unsaved work --------------------------------------------------------------------------

void Lesson::setSaveQuestion(AskSave ask, SaveWork save) {
    m_askSave = std::move(ask);
    m_saveWork = std::move(save);
}

bool Lesson::holdsUnsavedWork() const {
    return m_scene.sceneModified && m_scene.objectCount() > 1;
}

bool Lesson::mayDiscardWork() {
    if (!holdsUnsavedWork()) return true;
    // Without a way to ask, nothing unsaved is thrown away.
    if (!m_askSave) return false;
    const std::string question = m_env.msg(lang::msg::kAskSaveChanges) + '\n' + m_currentFile;
    switch (m_askSave(question)) {
    case core::Answer::Yes:
        // A cancelled file dialog or a failed write keeps the scene, and whatever would replace
        // it does not happen.
        return m_saveWork && m_saveWork();
    case core::Answer::No:
        return true;
    case core::Answer::Cancel:
        return false;
    }
    return false;
}

// ---- undo history --------------------------------------------------------------------------

Lesson::Step::Step(Lesson* lesson, history::StepKind kind, int slot) : m_lesson(lesson) {
    if (m_lesson) m_lesson->beginStep(kind, slot);
}

Lesson::Step::~Step() {
    if (m_lesson) m_lesson->endStep();
}

void Lesson::beginStep(history::StepKind kind, int slot) {
    if (m_depth++ > 0) return;
    m_before = history::SceneSnapshot::Capture(m_scene);
    m_kind = kind;
    m_slot = m_scene.isUserSlot(slot) ? slot : 0;
    m_objectCount = m_scene.objectCount();
    m_name = m_slot ? core::DisplayName(m_scene, m_slot) : std::string();
    m_fileBefore = m_currentFile;
}

bool Lesson::endStep() {
    if (--m_depth > 0 || !m_before) return false;
    history::StepInfo info{m_kind, m_name};
    // A new object is named as it came out; an edited one by its new name.
    using history::StepKind;
    if (m_kind == StepKind::Create && m_scene.objectCount() > m_objectCount)
        info.objectName = core::DisplayName(m_scene, m_scene.objectCount());
    else if ((m_kind == StepKind::Edit || m_kind == StepKind::Transform) &&
             m_scene.isUserSlot(m_slot))
        info.objectName = core::DisplayName(m_scene, m_slot);
    m_history.record(std::move(*m_before), m_scene, std::move(info), m_fileBefore);
    m_before.reset();
    return true;
}

bool Lesson::undo() {
    return move(true);
}

bool Lesson::redo() {
    return move(false);
}

bool Lesson::move(bool back) {
    if (m_depth > 0) return false; // a command, or a drag, is still under way
    std::string file = m_currentFile;
    const bool moved = back ? m_history.undo(m_scene, &file) : m_history.redo(m_scene, &file);
    if (moved && !file.empty()) m_currentFile = std::move(file);
    return moved;
}

void Lesson::resetHistory(bool inFile) {
    m_before.reset();
    m_history.clear(inFile);
}

// ---- recovery ------------------------------------------------------------------------------

void Lesson::enableRecovery(const std::string& dir) {
    if (m_recovery || dir.empty()) return;
    m_recovery = std::make_unique<recovery::RecoveryStore>(dir);
}

void Lesson::writeRecovery() {
    if (!m_recovery) return;
    if (!holdsUnsavedWork()) {
        m_recovery->discard();
        return;
    }
    const std::vector<std::uint8_t> bytes = core::SerializeScene(m_scene);
    m_recovery->save(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     m_currentFile);
}

void Lesson::discardRecovery() {
    if (m_recovery) m_recovery->discard();
}

bool Lesson::restore(const recovery::Recovered& found, const std::string& fileName) {
    if (read(found.scenePath, false, true) < 0) return false;
    resetHistory(false);
    // The scene as it was before the kill: unsaved, under its own name.
    m_scene.sceneModified = true;
    m_currentFile = fileName;
    return true;
}

} // namespace vorn::lesson
