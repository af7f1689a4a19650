// A measurement on the picture: its points, lines and planes picked in turn, then computed.
#pragma once

#include "app/interaction_mode.h"

namespace vorn::app {

class MeasureMode : public PickingMode {
  public:
    // `measurement` 1..8, in the order of the menu's angles and distances.
    MeasureMode(PictureInteraction& part, int measurement);

    Pending kind() const override { return Pending::Measure; }
    int number() const override { return m_measurement; }
    const char* command() const override;
    QString prompt() const override;
    // A right press cancels; any other on a pick fixes the next element.
    void pressed(Qt::MouseButton button) override;
    std::span<pic::MarkedElement> measureElements() override { return m_fixed; }

  private:
    void fix();

    int m_measurement;
};

} // namespace vorn::app
