// A section on the picture: the cutting plane picked, then the polyhedron it cuts.
#pragma once

#include "app/interaction_mode.h"

namespace vorn::app {

class SectionMode : public PickingMode {
  public:
    explicit SectionMode(PictureInteraction& part);

    Pending kind() const override { return Pending::Section; }
    const char* command() const override { return "MakeCut"; }
    QString prompt() const override;
    // A left press on a pick fixes the plane, then cuts the polyhedron.
    void pressed(Qt::MouseButton button) override;

  private:
    void fix();
};

} // namespace vorn::app
