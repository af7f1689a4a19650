// What the window mirrors of the scene: told of each change the engine makes, never asked the
// user's mind (that is the Host's).
#pragma once

namespace vorn::core {

class SceneObserver {
  public:
    virtual ~SceneObserver() = default;

    virtual void refreshObjectList() = 0;
    virtual void redrawPicture() = 0;
    virtual bool halfToneActive() const = 0;
    virtual void switchHalfToneOff() = 0;
    virtual void rebuildHalfTone() = 0;
    // A file's stored view angles, taken over on loading.
    virtual void applyTurnAngles(int horizontal, int vertical) = 0;
};

} // namespace vorn::core
