// Scene snapshots and the two stacks of steps between them.
#include "history/scene_history.h"

#include "lang/message_ids.h"

#include <cstring>

namespace vorn::history {

namespace {

void put(std::vector<std::uint8_t>& out, const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

void take(const std::uint8_t*& in, void* p, std::size_t n) {
    std::memcpy(p, in, n);
    in += n;
}

int messageOf(StepKind kind) {
    switch (kind) {
    case StepKind::Create:
        return lang::msg::kStepCreate;
    case StepKind::Edit:
        return lang::msg::kStepEdit;
    case StepKind::Delete:
        return lang::msg::kStepDelete;
    case StepKind::Transform:
        return lang::msg::kStepTransform;
    case StepKind::Section:
        return lang::msg::kStepSection;
    case StepKind::AddFromFile:
        return lang::msg::kStepAddFromFile;
    case StepKind::Visibility:
        return lang::msg::kStepVisibility;
    case StepKind::New:
        return lang::msg::kStepNew;
    }
    return lang::msg::kStepEdit;
}

} // namespace

std::string StepName(const lang::MessageTable& messages, const StepInfo& step) {
    return messages.format(messageOf(step.kind), {step.objectName});
}

SceneSnapshot SceneSnapshot::Capture(const core::Scene& scene) {
    SceneSnapshot s;
    s.m_currentObject = scene.currentObject;
    std::vector<std::uint8_t>& out = s.m_data;
    put(out, &scene.header, sizeof scene.header);
    for (int slot = core::kAxesSlot; slot <= scene.objectCount(); ++slot) {
        const core::SceneObject& o = scene.object(slot);
        put(out, &o, core::kRecordHeaderSize);
        put(out, o.vertexData, core::kVertexRecordSize * static_cast<std::size_t>(o.vertexCount));
        put(out, o.faceData, core::kFaceRecordSize * static_cast<std::size_t>(o.faceCount));
        put(out, o.partData, core::kPartRecordSize * o.partCount);
        put(out, scene.edgeVisibility(slot).data(), 3 * static_cast<std::size_t>(o.faceCount));
        const core::RecordHeaderBytes* unbuilt = scene.unbuiltHeader(slot);
        out.push_back(unbuilt ? 1 : 0);
        if (unbuilt) put(out, unbuilt->data(), unbuilt->size());
    }
    return s;
}

void SceneSnapshot::restore(core::Scene& scene) const {
    const std::uint8_t* in = m_data.data();
    take(in, &scene.header, sizeof scene.header);
    for (int slot = core::kAxesSlot; slot <= scene.objectCount(); ++slot) {
        // Storage past the counts is cleared, so a restored record holds only what was saved.
        core::SceneObject& o = scene.object(slot);
        std::memset(static_cast<void*>(&o), 0, sizeof o);
        take(in, &o, core::kRecordHeaderSize);
        take(in, o.vertexData, core::kVertexRecordSize * static_cast<std::size_t>(o.vertexCount));
        take(in, o.faceData, core::kFaceRecordSize * static_cast<std::size_t>(o.faceCount));
        take(in, o.partData, core::kPartRecordSize * o.partCount);
        core::EdgeFlags& edges = scene.edgeVisibility(slot);
        edges = {};
        take(in, edges.data(), 3 * static_cast<std::size_t>(o.faceCount));
        scene.markBuilt(slot);
        if (*in++ == 0) continue;
        // Scene keeps an unbuilt header by taking it from the record: lend it the kept one.
        core::RecordHeaderBytes shown;
        std::memcpy(shown.data(), &o, shown.size());
        take(in, &o, core::kRecordHeaderSize);
        scene.keepUnbuilt(slot);
        std::memcpy(static_cast<void*>(&o), shown.data(), shown.size());
    }
    scene.currentObject = m_currentObject;
}

bool SceneHistory::record(SceneSnapshot before, core::Scene& scene, StepInfo info,
                          std::string fileBefore) {
    if (before.sameScene(SceneSnapshot::Capture(scene))) return false;
    m_bytes += before.bytes();
    m_undo.push_back({std::move(before), m_state, std::move(info), std::move(fileBefore), m_saved});
    for (const Entry& e : m_redo)
        m_bytes -= e.scene.bytes();
    m_redo.clear();
    m_state = m_nextState++;
    // "Новий" leaves nothing to lose, as before; undoing it brings back what was.
    if (m_undo.back().info.kind == StepKind::New) m_saved = m_state;
    scene.sceneModified = m_state != m_saved;
    trim();
    return true;
}

bool SceneHistory::undo(core::Scene& scene, std::string* fileName) {
    return move(m_undo, m_redo, scene, fileName);
}

bool SceneHistory::redo(core::Scene& scene, std::string* fileName) {
    return move(m_redo, m_undo, scene, fileName);
}

bool SceneHistory::move(std::deque<Entry>& from, std::deque<Entry>& to, core::Scene& scene,
                        std::string* fileName) {
    if (from.empty()) return false;
    Entry target = std::move(from.back());
    from.pop_back();
    m_bytes -= target.scene.bytes();
    Entry present{SceneSnapshot::Capture(scene), m_state, target.info,
                  fileName ? *fileName : std::string(), m_saved};
    m_bytes += present.scene.bytes();
    to.push_back(std::move(present));
    target.scene.restore(scene);
    m_restoredObject = target.scene.currentObject();
    m_state = target.state;
    // "Новий" changed the file as well: its other side is the scene of another file.
    if (target.info.kind == StepKind::New) {
        m_saved = target.saved;
        if (fileName) *fileName = target.fileName;
    }
    scene.sceneModified = m_state != m_saved;
    trim();
    // The window follows as after a load; the half-tone picture has nothing to show without
    // objects, as after deleting the last one.
    core::SceneObserver& window = scene.observer();
    window.applyTurnAngles(scene.header.turnHorizontal, scene.header.turnVertical);
    if (scene.objectCount() <= 1 && window.halfToneActive()) window.switchHalfToneOff();
    window.refreshObjectList();
    if (window.halfToneActive()) window.rebuildHalfTone();
    window.redrawPicture();
    return true;
}

void SceneHistory::trim() {
    while (!m_undo.empty() &&
           (m_undo.size() + m_redo.size() > m_limits.steps || m_bytes > m_limits.bytes)) {
        m_bytes -= m_undo.front().scene.bytes();
        m_undo.pop_front();
    }
}

void SceneHistory::clear(bool inFile) {
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
    m_state = m_nextState++;
    m_saved = inFile ? m_state : 0; // no state after the first is 0
}

} // namespace vorn::history
