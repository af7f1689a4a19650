// A measurement on the picture: each pick is checked against the kind its step needs.
#include "app/measure_mode.h"

#include "app/command_table.h"
#include "app/picture_interaction.h"
#include "app/prompt_table.h"
#include "app/scene_steps.h"
#include "core/object_view.h"
#include "entry/measure_steps.h"
#include "entry/transform.h"
#include "lang/message_ids.h"
#include "lang/message_table.h"
#include "polyhedra/measurements.h"

#include <QAction>

#include <algorithm>

namespace vorn::app {

namespace {

// A measurement's heading names the whole measurement ("Кут між прямою і площиною"), as its hint
// does; the menu caption alone ("між прямою і площиною") leaves out the angle or the distance.
QString Heading(const QAction* action) {
    if (action && !action->statusTip().isEmpty()) return action->statusTip();
    return CommandCaption(action);
}

} // namespace

MeasureMode::MeasureMode(PictureInteraction& part, int measurement)
    : PickingMode(part), m_measurement(measurement) {
    m_heading = Heading(part.window().command(command())) + ": ";
}

const char* MeasureMode::command() const {
    return CommandName(tag::FirstMeasure + m_measurement - 1);
}

QString MeasureMode::prompt() const {
    const auto step = static_cast<std::size_t>(entry::MeasureStepPrompt(m_measurement, 0));
    return QString::fromStdString(m_part.window().prompts().prompts[step]);
}

void MeasureMode::pressed(Qt::MouseButton button) {
    if (button == Qt::RightButton) {
        m_part.CancelPendingOperation();
        return;
    }
    if (m_part.pick().any()) fix();
}

void MeasureMode::fix() {
    InteractionWindow& window = m_part.window();
    const core::Scene& scene = m_part.lesson().scene();
    const lang::MessageTable& msg = window.messages();
    const pic::Pick& pick = m_part.pick();
    if (fixedCount() >= PictureInteraction::kMaxFixed) return;
    const int kind = entry::MeasureStepKind(m_measurement, fixedCount());
    pic::MarkedElement e;
    e.object = pick.object;
    const core::SceneObject& o = scene.object(pick.object);
    if (kind == 1) {
        e.pointCount = 1;
        e.points[0] = m_part.pointerPoint();
        window.addReportLine(msg.text(lang::msg::kFixedPoint) +
                             m_part.pointText(m_part.pointerPoint()));
    } else if (kind == 2) {
        if (pick.vertex2 == 0 || o.type == core::ObjectType::Axes) {
            m_part.showNeedType(lang::msg::kNeedPolylineOrSegment);
            return;
        }
        e.pointCount = 2;
        e.points[0] = core::Widen(o.vertex(pick.vertex1));
        e.points[1] = core::Widen(o.vertex(pick.vertex2));
        window.addReportLine(msg.text(lang::msg::kFixedLine));
    } else if (kind == 3) {
        const auto vertices = entry::PlaneVertices(o);
        if (!vertices) {
            m_part.showNeedType(lang::msg::kNeedPlane);
            return;
        }
        e.pointCount = 3;
        std::copy(vertices->begin(), vertices->end(), e.points.begin());
        window.addReportLine(msg.text(lang::msg::kFixedPlane) + " \"" +
                             core::DisplayName(scene, pick.object) + "\"");
    } else {
        return;
    }
    m_fixed.push_back(e);
    const auto next =
        static_cast<std::size_t>(entry::MeasureStepPrompt(m_measurement, fixedCount()));
    m_part.setInfo(m_heading + QString::fromStdString(window.prompts().prompts[next]));
    if (entry::MeasureStepKind(m_measurement, fixedCount()) == 0) {
        std::vector<poly::Pick> picks;
        for (const pic::MarkedElement& f : m_fixed)
            picks.push_back(entry::FixedPick(
                f.object, std::span(f.points).first(static_cast<std::size_t>(f.pointCount))));
        // The measurement runs with nothing pending; this mode stays alive until the event ends.
        m_part.leaveMode();
        // A measurement may offer its point as a new object.
        const SceneSteps::Step step(window.steps(), history::StepKind::Create);
        poly::RunMeasurement(m_part.lesson().env(), m_measurement, picks);
        m_part.CancelPendingOperation();
    }
    window.redrawPicture();
}

} // namespace vorn::app
