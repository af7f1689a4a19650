// One history step per scene-changing command, and the undo and redo commands of the window.
#include "app/scene_steps.h"

#include "app/command_table.h"
#include "app/language_walk.h"
#include "app/listing_panel.h"
#include "lang/message_ids.h"
#include "lang/message_table.h"

#include <QAction>
#include <QKeySequence>
#include <QListWidget>
#include <QToolButton>
#include <QWidget>

namespace vorn::app {

namespace {

using history::StepKind;

std::optional<StepKind> KindOfTag(int t) {
    if ((t >= tag::FirstCreate && t <= tag::LastCreate) || t == tag::StandObj ||
        t == tag::FuncValue) // the surface value offers its point as an object
        return StepKind::Create;
    switch (t) {
    case tag::Delete:
        return StepKind::Delete;
    case tag::Edit:
        return StepKind::Edit;
    default:
        return std::nullopt;
    }
}

} // namespace

SceneSteps::Step::Step(SceneSteps* steps, StepKind kind, int slot) : m_steps(steps) {
    if (m_steps) m_steps->begin(kind, slot);
}

SceneSteps::Step::Step(SceneSteps* steps, int tag) {
    const std::optional<StepKind> kind = KindOfTag(tag);
    if (!steps || !kind) return;
    m_steps = steps;
    m_steps->begin(*kind, steps->m_lesson.scene().currentObject);
}

SceneSteps::Step::~Step() {
    if (m_steps) m_steps->end();
}

void SceneSteps::begin(StepKind kind, int slot) {
    m_lesson.beginStep(kind, slot);
}

void SceneSteps::end() {
    if (m_lesson.endStep()) updateCommands();
}

void SceneSteps::reset(bool inFile) {
    m_lesson.resetHistory(inFile);
    updateCommands();
}

void SceneSteps::attachCommands() {
    QAction* redo = m_window.command("Redo");
    redo->setShortcuts({QKeySequence(QString::fromLatin1(FindCommand("Redo")->shortcut)),
                        QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    // Their texts change with the steps and come from the message table, so the language walk
    // leaves them alone.
    for (const char* name : {"Undo", "Redo"}) {
        QAction* action = m_window.command(name);
        ExcludeFromLanguage(action);
        const QString button = QStringLiteral("k_") + QString::fromLatin1(name);
        if (auto* b = m_window.widget()->findChild<QToolButton*>(button)) ExcludeFromLanguage(b);
    }
    updateCommands();
}

void SceneSteps::updateCommands() {
    const lang::MessageTable& messages = m_window.messages();
    const struct {
        const char* name;
        const history::StepInfo* step;
        int caption, hint;
    } rows[] = {{"Undo", history().undoStep(), lang::msg::kUndoCaption, lang::msg::kUndoHint},
                {"Redo", history().redoStep(), lang::msg::kRedoCaption, lang::msg::kRedoHint}};
    for (const auto& r : rows) {
        QAction* action = m_window.command(r.name);
        if (!action) continue;
        QString caption = QString::fromStdString(messages.text(r.caption));
        // An '&' in an object's name is shown, not taken for the item's letter.
        if (r.step)
            caption +=
                QStringLiteral(": ") + QString::fromStdString(history::StepName(messages, *r.step))
                                           .replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(caption);
        const QString hint = QString::fromStdString(messages.text(r.hint));
        action->setStatusTip(hint);
        action->setToolTip(QString(caption).replace(QStringLiteral("&&"), QStringLiteral("&")));
        action->setEnabled(r.step != nullptr);
    }
    // Every step, and every move back or forth, may change whether the scene is its file's.
    m_window.updateModifiedMark();
}

void SceneSteps::undo() {
    if (m_lesson.stepOpen()) return; // a command, or a drag, is still under way
    move(true);
}

void SceneSteps::redo() {
    if (m_lesson.stepOpen()) return;
    move(false);
}

bool SceneSteps::move(bool back) {
    m_window.cancelPendingOperation();
    const std::string file = m_lesson.currentFile();
    if (!(back ? m_lesson.undo() : m_lesson.redo())) return false;
    // Undoing "Новий" names the scene's file again.
    if (m_lesson.currentFile() != file) m_window.currentFileChanged();
    afterMove();
    return true;
}

void SceneSteps::afterMove() {
    // The object that was current then is current again.
    const int slot = history().restoredObject();
    if (m_lesson.scene().isUserSlot(slot)) m_window.listing()->objList()->setCurrentRow(slot - 2);
    m_window.objectListSelected();
    updateCommands();
}

} // namespace vorn::app
