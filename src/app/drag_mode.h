// A drag of an object or of one of its vertices, from the left press to the left release. It
// runs over the current mode (a transformation, or nothing pending), whose transformation it
// applies at each step, and it is one undo step.
#pragma once

#include "app/scene_steps.h"
#include "geometry/vec3.h"

#include <memory>

namespace vorn::app {

class PictureInteraction;

class DragMode {
  public:
    // The drag of `object` (of `vertex`, 0 for the whole object) pressed at `press`, where the
    // pointer's space point is `point`.
    DragMode(PictureInteraction& part, int object, int vertex, const geo::Vec3& point,
             const geo::Vec3& press);

    // 0 once a key was released: the drag then moves nothing until the left release.
    int object() const { return m_object; }
    void letGo() { m_object = 0; }
    // Any press while the drag lasts is the new reference of a turn or a resize.
    void pressedAt(int x, int y);
    // One step with the pointer at (x, y).
    void moved(int x, int y);
    // The left release: a resized or reshaped solid is completed again.
    void released();

  private:
    bool step(int x, int y);
    void complete();
    int viewTurnSign(int axis) const;

    PictureInteraction& m_part;
    int m_object;
    int m_vertex;
    geo::Vec3 m_lastPoint;
    geo::Vec3 m_lastMouse;
    std::unique_ptr<SceneSteps::Step> m_step;
};

} // namespace vorn::app
