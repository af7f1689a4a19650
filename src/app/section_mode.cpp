// A section on the picture: the plane is fixed first, the cut runs on the polyhedron's pick.
#include "app/section_mode.h"

#include "app/picture_interaction.h"
#include "app/scene_steps.h"
#include "lang/message_ids.h"
#include "lang/message_table.h"
#include "polyhedra/cross_section.h"

namespace vorn::app {

SectionMode::SectionMode(PictureInteraction& part) : PickingMode(part) {
    m_heading =
        QString::fromStdString(part.window().messages().text(lang::msg::kSectionHeading)) + " ";
}

QString SectionMode::prompt() const {
    return QString::fromStdString(m_part.window().messages().text(lang::msg::kPickSectionPlane));
}

void SectionMode::pressed(Qt::MouseButton button) {
    if (button == Qt::LeftButton && m_part.pick().any()) fix();
}

void SectionMode::fix() {
    InteractionWindow& window = m_part.window();
    const core::Scene& scene = m_part.lesson().scene();
    const lang::MessageTable& msg = window.messages();
    const int slot = m_part.pick().object;
    const core::SceneObject& o = scene.object(slot);
    const std::string name = core::DisplayName(scene, slot);
    if (m_fixed.empty()) {
        if (o.type != core::ObjectType::Plane) {
            m_part.showNeedType(lang::msg::kNeedPlane);
            return;
        }
        pic::MarkedElement e;
        e.object = slot;
        m_fixed.push_back(e);
        m_part.setInfo(m_heading +
                       QString::fromStdString(msg.text(lang::msg::kPickPolyhedronToCut)));
        window.addReportLine(msg.text(lang::msg::kFixedSectionPlane) + name + "\"");
        return;
    }
    if (o.type != core::ObjectType::Polyhedron) {
        m_part.showNeedType(lang::msg::kNeedPolyhedron);
        return;
    }
    window.addReportLine(msg.text(lang::msg::kFixedPolyhedron) + name + "\"");
    const SceneSteps::Step step(window.steps(), history::StepKind::Section, slot);
    poly::CrossSection(m_part.lesson().env(), m_fixed.front().object, slot);
    window.refreshObjectList();
    m_part.finishPendingOperation();
}

} // namespace vorn::app
