// An object created on the picture: a point, a polyline or a plane from the points placed.
#pragma once

#include "app/interaction_mode.h"

namespace vorn::app {

class ScreenCreateMode : public PickingMode {
  public:
    // `creation` 1 point, 2 polyline, 3 plane.
    ScreenCreateMode(PictureInteraction& part, int creation);

    Pending kind() const override { return Pending::ScreenCreate; }
    int number() const override { return m_creation; }
    const char* command() const override;
    QString prompt() const override;
    // A left press places a point where the picture has one (a pick, or any place in a view
    // along an axis); a right press ends a polyline or gives up.
    void pressed(Qt::MouseButton button) override;
    PictureCursor cursorOver(const pic::Pick&) const override { return PictureCursor::Put; }
    std::span<pic::MarkedElement> placedPoints() override { return m_fixed; }

  private:
    void place(Qt::MouseButton button);
    void create();

    int m_creation;
};

} // namespace vorn::app
