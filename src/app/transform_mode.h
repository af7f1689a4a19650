// A transformation by dragging: translation, rotation, resizing or reshaping, in a view along
// an axis. The mode stays on between drags; each drag runs as a DragMode over it.
#pragma once

#include "app/interaction_mode.h"

namespace vorn::app {

class TransformMode : public InteractionMode {
  public:
    // `transformation` 1 translation, 2 rotation, 3 resizing, 4 reshaping.
    TransformMode(PictureInteraction& part, int transformation);

    Pending kind() const override { return Pending::Transform; }
    int number() const override { return m_transformation; }
    const char* command() const override;
    QString prompt() const override;
    // It writes no heading, so leaving it leaves nothing unfinished to report.
    bool reports() const override { return false; }
    // Reshaping moves vertices only.
    PictureCursor cursorOver(const pic::Pick& pick) const override;
    bool needsAxisView() const override { return true; }

  private:
    int m_transformation;
};

} // namespace vorn::app
