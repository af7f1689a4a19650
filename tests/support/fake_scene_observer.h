// Stand-in for the window's mirror of the scene: counts what the engine tells it.
#pragma once

#include "core/scene_observer.h"

#include <utility>
#include <vector>

namespace vorn::test {

class FakeSceneObserver : public core::SceneObserver {
  public:
    bool halfTone = false;
    int objectListRefreshes = 0;
    int redraws = 0;
    int halfToneRebuilds = 0;
    std::vector<std::pair<int, int>> turnAngles; // every (horizontal, vertical) taken over

    void refreshObjectList() override { ++objectListRefreshes; }
    void redrawPicture() override { ++redraws; }
    bool halfToneActive() const override { return halfTone; }
    void switchHalfToneOff() override { halfTone = false; }
    void rebuildHalfTone() override { ++halfToneRebuilds; }
    void applyTurnAngles(int horizontal, int vertical) override {
        turnAngles.emplace_back(horizontal, vertical);
    }
};

} // namespace vorn::test
