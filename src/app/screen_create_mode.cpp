// An object created on the picture: the placed points become its vertices, then the entry
// dialog opens on it; cancelled, the object goes again.
#include "app/screen_create_mode.h"

#include "app/command_table.h"
#include "app/picture_interaction.h"
#include "app/prompt_table.h"
#include "app/scene_steps.h"
#include "lang/message_ids.h"
#include "lang/message_table.h"
#include "picture/picture_panel.h"

namespace vorn::app {

ScreenCreateMode::ScreenCreateMode(PictureInteraction& part, int creation)
    : PickingMode(part), m_creation(creation) {
    m_heading =
        QString::fromStdString(part.window().messages().text(lang::msg::kScreenCreateHeading)) +
        " ";
}

const char* ScreenCreateMode::command() const {
    return CommandName(tag::FirstScreenCreate + m_creation - 1);
}

QString ScreenCreateMode::prompt() const {
    const InteractionWindow& window = m_part.window();
    const lang::MessageTable& m = window.messages();
    return QString::fromStdString(m_creation == 1   ? window.prompts().prompts[1]
                                  : m_creation == 2 ? m.text(lang::msg::kPlacePolylineVertices)
                                                    : m.text(lang::msg::kPlacePlanePoints));
}

void ScreenCreateMode::pressed(Qt::MouseButton button) {
    if (m_part.pick().any() || m_part.window().picture()->degenerateAxis() != 0 ||
        button == Qt::RightButton)
        place(button);
}

void ScreenCreateMode::place(Qt::MouseButton button) {
    InteractionWindow& window = m_part.window();
    if (button == Qt::LeftButton) {
        // A full list refuses further points and keeps the placed ones.
        if (fixedCount() >= PictureInteraction::kMaxFixed) return;
        pic::MarkedElement e;
        e.object = m_part.pick().object;
        e.pointCount = 1;
        e.points[0] = m_part.pointerPoint();
        m_fixed.push_back(e);
        window.addReportLine(window.messages().text(lang::msg::kFixedPoint) +
                             m_part.pointText(m_part.pointerPoint()));
    }
    const bool right = button == Qt::RightButton;
    const int mode = m_creation;
    const bool ends = mode == 1 || (mode == 2 && right) || (mode == 3 && fixedCount() == 3);
    if (ends) {
        if (mode == 2 && right && m_part.pick().any() && !m_fixed.empty()) m_fixed.pop_back();
        if ((mode == 2 && fixedCount() >= 2) || (mode != 2 && !right)) create();
        m_part.finishPendingOperation();
    }
    window.redrawPicture();
}

void ScreenCreateMode::create() {
    InteractionWindow& window = m_part.window();
    const SceneSteps::Step step(window.steps(), history::StepKind::Create);
    core::Env& env = m_part.lesson().env();
    const core::ObjectType type = m_creation == 1   ? core::ObjectType::Point
                                  : m_creation == 2 ? core::ObjectType::Polyline
                                                    : core::ObjectType::Plane;
    const int slot = core::AppendObject(env.scene, type);
    if (slot == 0) return;
    core::SceneObject& o = env.scene.object(slot);
    o.vertexCount = static_cast<std::int16_t>(fixedCount());
    for (int i = 0; i < fixedCount(); ++i) {
        const geo::Vec3& p = m_fixed[static_cast<std::size_t>(i)].points[0];
        o.vertex(i + 1) = {static_cast<float>(p.x), static_cast<float>(p.y),
                           static_cast<float>(p.z)};
    }
    env.scene.sceneModified = true;
    window.refreshObjectList();
    const PictureInteraction::ObjectEditor& edit = m_part.objectEditor();
    if (edit && edit(slot)) {
        window.addReportLine(env.msg(lang::msg::kCreatedObject) +
                             core::DisplayName(env.scene, slot) + "\"");
    } else {
        core::DropLastObject(env.scene);
    }
    window.refreshObjectList();
}

} // namespace vorn::app
