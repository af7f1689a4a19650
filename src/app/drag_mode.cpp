// A drag in a view along an axis: each step applies the current transformation by the pointer's
// move since the last step.
#include "app/drag_mode.h"

#include "app/picture_interaction.h"
#include "entry/transform.h"
#include "lang/message_ids.h"
#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

namespace vorn::app {

DragMode::DragMode(PictureInteraction& part, int object, int vertex, const geo::Vec3& point,
                   const geo::Vec3& press)
    : m_part(part), m_object(object), m_vertex(vertex), m_lastPoint(point), m_lastMouse(press),
      m_step(std::make_unique<SceneSteps::Step>(part.window().steps(), history::StepKind::Transform,
                                                object)) {}

void DragMode::pressedAt(int x, int y) {
    m_lastMouse = {static_cast<double>(x), static_cast<double>(y), 0};
}

void DragMode::moved(int x, int y) {
    InteractionWindow& window = m_part.window();
    step(x, y);
    core::SceneObject& o = m_part.lesson().scene().object(m_object);
    entry::RefreshFacePlanes(o);
    m_part.lesson().scene().sceneModified = true;
    // As while turning: the hidden-line pass waits for the release.
    pic::PicturePanel* picture = window.picture();
    picture->canvas().engine().setHiddenPassDeferred(true);
    picture->redrawPicture();
}

bool DragMode::step(int x, int y) {
    core::Scene& scene = m_part.lesson().scene();
    if (!scene.isUserSlot(m_object)) return false;
    scene.sceneModified = true;
    core::SceneObject& o = scene.object(m_object);
    pic::PicturePanel* picture = m_part.window().picture();
    const geo::Vec3 pivot = entry::CurrentPivot(o);
    const pic::Projected q = pic::ProjectPoint(picture->view(), pivot);
    const geo::Vec3 centre(q.px, q.py, 0), mouse(x, y, 0);
    entry::DragMove move;
    move.mode = m_part.transformMode();
    move.axis = picture->degenerateAxis();
    move.vertex = m_vertex;
    switch (move.mode) {
    case 1:
    case 4:
        move.shift = m_part.pointerPoint() - m_lastPoint;
        m_lastPoint = m_part.pointerPoint();
        break;
    case 2:
        if (!entry::IsTurnable(o.type)) return false;
        if (const auto phi = entry::DragRotationAngle(m_lastMouse, centre, mouse))
            move.angle = *phi * viewTurnSign(move.axis);
        else
            return false;
        m_lastMouse = mouse;
        break;
    case 3:
        if (!entry::IsTurnable(o.type)) return false;
        if (const auto f = entry::DragScaleFactor(m_lastMouse, centre, mouse))
            move.factor = *f;
        else
            return false;
        m_lastMouse = mouse;
        break;
    default:
        return false;
    }
    entry::ApplyDragMove(scene, m_object, move);
    return true;
}

int DragMode::viewTurnSign(int axis) const {
    // A turn by a positive angle carries a toward b (Ox: z toward y, Oy: z toward x, Oz: x
    // toward y). When the picture shows that pair mirrored, the object would turn against the
    // pointer, so the angle changes sign.
    const pic::ViewState& view = m_part.window().picture()->view();
    const geo::Vec3 a = axis == 3 ? geo::Vec3(1, 0, 0) : geo::Vec3(0, 0, 1);
    const geo::Vec3 b = axis == 2 ? geo::Vec3(1, 0, 0) : geo::Vec3(0, 1, 0);
    const pic::Projected o = pic::ProjectPoint(view, geo::Vec3());
    const pic::Projected pa = pic::ProjectPoint(view, a), pb = pic::ProjectPoint(view, b);
    const double det = (pa.px - o.px) * (pb.py - o.py) - (pa.py - o.py) * (pb.px - o.px);
    return det < 0 ? -1 : 1;
}

void DragMode::released() {
    complete();
    m_object = 0;
}

void DragMode::complete() {
    InteractionWindow& window = m_part.window();
    core::Env& env = m_part.lesson().env();
    const int slot = m_object;
    if (!env.scene.isUserSlot(slot) || env.scene.object(slot).type != core::ObjectType::Polyhedron)
        return;
    // A resized solid keeps its shape but not its areas and volume: they are computed anew.
    if (m_part.transformMode() == 3) poly::CompleteObject(env, slot);
    if (m_part.transformMode() != 4) return;
    const bool planes = poly::RecomputeFacePlanes(env.scene.object(slot)) == 0;
    if (planes && poly::CompleteObject(env, slot)) return;
    // The user stays in the entry dialog until the faces are corrected.
    const PictureInteraction::ObjectEditor& edit = m_part.objectEditor();
    while (true) {
        window.showMessage(core::BoxKind::Warning, env.msg(lang::msg::kObjectDistorted));
        if (!edit || edit(slot)) break;
    }
}

} // namespace vorn::app
