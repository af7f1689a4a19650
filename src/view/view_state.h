// The view of the wire-frame picture: turn angles, scales, rotation centre, and the projection.
#pragma once

#include "core/scene.h"
#include "geometry/vec3.h"

#include <optional>

namespace vorn::pic {

inline constexpr int kTurnSteps = 72; // positions 0..71 of the rotation scroll bars
inline constexpr int kTurnLargeStep = 5;
inline constexpr int kInitialTurnHorizontal = 27;
inline constexpr int kInitialTurnVertical = 49;
inline constexpr double kZoomFactor = 1.1;
// One notch of a mouse wheel, in the wheel's eighths of a degree.
inline constexpr int kWheelNotch = 120;
// Pixels of a drag on the picture per turn step (5 degrees): a full turn is 432 pixels.
inline constexpr int kDragPixelsPerTurnStep = 6;

// The turn angles and the three scales live in the scene header, so that a scene file keeps
// them and a loaded scene brings its own view; the rest of the view is the picture's.
struct ViewState {
    explicit ViewState(core::SceneHeader& sceneHeader) : header(&sceneHeader) {}

    core::SceneHeader* header;

    int turnHorizontal() const; // always 0..71, whatever the header holds
    int turnVertical() const;
    void setTurn(int horizontal, int vertical); // clamped to 0..71
    float zoomX() const { return header->zoomX; }
    float zoomY() const { return header->zoomY; }
    float zoomZ() const { return header->zoomZ; }
    void setZoom(float x, float y, float z);

    double centerX = 0, centerY = 0, centerZ = 0;
    int halfWidth = 0, halfHeight = 0; // picture size div 2, refreshed by every redraw
    double fitBase = 0;                // min(width, height), refreshed by every resize
    bool firstFit = true;
    int degenerateAxis = 0; // 0 none, 1 Ox, 2 Oy, 3 Oz: the axis seen end-on

    // The scene box and radius of the last fit.
    double sceneMin[3] = {0, 0, 0};
    double sceneMax[3] = {0, 0, 0};
    double fitRadius = 0;
};

struct Projected {
    double px = 0, py = 0, depth = 0;
};

// Parallel projection of a space point into picture coordinates (y grows downwards).
Projected ProjectPoint(const ViewState& view, double x, double y, double z);
inline Projected ProjectPoint(const ViewState& view, const geo::Vec3& p) {
    return ProjectPoint(view, p.x, p.y, p.z);
}

// Picture coordinates as drawn: nearest integer, ties to even.
int RoundPixel(double v);

// Scales so that the box of the visible user objects (bounds of the last redraw) fits the
// shorter side of the picture in every turn; only on the first fit or with AutoZoom on.
void FitPicture(ViewState& view, const core::Scene& scene, const core::Settings& settings);

void ZoomIn(ViewState& view);
void ZoomOut(ViewState& view);

// Zoom steps (positive in, negative out) for a wheel turn of `delta` eighths of a degree; `rest`
// keeps what did not make a whole notch, so that fine-grained wheels and touch pads zoom too.
int WheelZoomSteps(int& rest, int delta);
// `steps` zoom steps about the picture's centre, as the keypad's plus and minus do.
void ZoomSteps(ViewState& view, int steps);

struct TurnPreset {
    int horizontal, vertical;
};
// Scroll-bar positions of the axis presets of the "Зображення" menu (Tags 1..4).
std::optional<TurnPreset> AxisPreset(int tag);

// A drag that turns the scene: where it began and the turn steps it began at.
struct TurnDrag {
    int startX = 0, startY = 0;
    int horizontal = 0, vertical = 0;
};
// The turn steps with the pointer at (x, y): the side of the scene facing the viewer follows
// the pointer, one step per kDragPixelsPerTurnStep pixels counted from the start (so nothing
// drifts), going round past 0 and 71 as the turn is a full circle either way.
TurnPreset TurnAfterDrag(const TurnDrag& drag, int x, int y);

} // namespace vorn::pic
