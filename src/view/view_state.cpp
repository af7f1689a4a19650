// View state, projection, fit and zoom of the wire-frame picture.
#include "view/view_state.h"

#include "geometry/angle_tables.h"
#include "geometry/tolerances.h"

#include <algorithm>
#include <cmath>

namespace vorn::pic {

namespace {

int ClampTurn(int v) {
    return std::clamp(v, 0, kTurnSteps - 1);
}

} // namespace

int ViewState::turnHorizontal() const {
    return ClampTurn(header->turnHorizontal);
}
int ViewState::turnVertical() const {
    return ClampTurn(header->turnVertical);
}

void ViewState::setTurn(int horizontal, int vertical) {
    header->turnHorizontal = static_cast<std::int8_t>(ClampTurn(horizontal));
    header->turnVertical = static_cast<std::int8_t>(ClampTurn(vertical));
}

void ViewState::setZoom(float x, float y, float z) {
    header->zoomX = x;
    header->zoomY = y;
    header->zoomZ = z;
}

Projected ProjectPoint(const ViewState& view, double x, double y, double z) {
    const auto a = static_cast<std::size_t>(view.turnHorizontal());
    const auto b = static_cast<std::size_t>(view.turnVertical());
    const double sa = geo::SinTable()[a], ca = geo::CosTable()[a];
    const double sb = geo::SinTable()[b], cb = geo::CosTable()[b];
    const double X = (x - view.centerX) * view.zoomX();
    const double Y = (y - view.centerY) * view.zoomY();
    const double Z = (z - view.centerZ) * view.zoomZ();
    const double u = Y * sa + X * ca;
    const double t = Y * ca - X * sa;
    Projected p;
    p.depth = Z * cb - t * sb;
    const double v = Z * sb + t * cb;
    p.px = view.halfWidth + u;
    p.py = view.halfHeight + v;
    return p;
}

int RoundPixel(double v) {
    // Far-away points still get a usable integer instead of an overflow.
    constexpr double kLimit = 1e9;
    if (!(v > -kLimit)) return static_cast<int>(-kLimit);
    if (!(v < kLimit)) return static_cast<int>(kLimit);
    return static_cast<int>(std::nearbyint(v));
}

void FitPicture(ViewState& view, const core::Scene& scene, const core::Settings& settings) {
    double lo[3] = {3.4e38, 3.4e38, 3.4e38};
    double hi[3] = {-3.4e38, -3.4e38, -3.4e38};
    bool any = false;
    for (int slot = 2; slot <= scene.objectCount(); ++slot) {
        const core::SceneObject& o = scene.object(slot);
        if (!o.visible) continue;
        any = true;
        const double omin[3] = {o.minX, o.minY, o.minZ};
        const double omax[3] = {o.maxX, o.maxY, o.maxZ};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], omin[k]);
            hi[k] = std::max(hi[k], omax[k]);
        }
    }
    if (!any) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = 0;
            hi[k] = 1;
        }
    }
    for (int k = 0; k < 3; ++k) {
        view.sceneMin[k] = lo[k];
        view.sceneMax[k] = hi[k];
    }
    if (view.firstFit || settings.AutoZoom) {
        // The farthest corner of the box: a sphere through it holds the whole box in every turn.
        const double c[3] = {view.centerX, view.centerY, view.centerZ};
        double r2 = 0;
        for (int k = 0; k < 3; ++k) {
            const double reach = std::max(std::fabs(lo[k] - c[k]), std::fabs(hi[k] - c[k]));
            r2 += reach * reach;
        }
        double r = std::sqrt(r2);
        view.fitRadius = r;
        // Everything at the centre has no size to fit: keep the scales, unless there are none yet.
        if (r < geo::kEpsCoord && view.zoomX() == 0 && view.zoomY() == 0 && view.zoomZ() == 0)
            r = 1;
        if (r >= geo::kEpsCoord) {
            const auto z = static_cast<float>(view.fitBase / (2 * r));
            view.setZoom(z, z, z);
        }
    }
    view.firstFit = false;
}

void ZoomIn(ViewState& view) {
    view.setZoom(static_cast<float>(view.zoomX() * kZoomFactor),
                 static_cast<float>(view.zoomY() * kZoomFactor),
                 static_cast<float>(view.zoomZ() * kZoomFactor));
}

void ZoomOut(ViewState& view) {
    view.setZoom(static_cast<float>(view.zoomX() / kZoomFactor),
                 static_cast<float>(view.zoomY() / kZoomFactor),
                 static_cast<float>(view.zoomZ() / kZoomFactor));
}

int WheelZoomSteps(int& rest, int delta) {
    // Turning back drops what the other way had gathered.
    if ((rest > 0 && delta < 0) || (rest < 0 && delta > 0)) rest = 0;
    rest += delta;
    const int steps = rest / kWheelNotch;
    rest -= steps * kWheelNotch;
    return steps;
}

void ZoomSteps(ViewState& view, int steps) {
    for (; steps > 0; --steps)
        ZoomIn(view);
    for (; steps < 0; ++steps)
        ZoomOut(view);
}

TurnPreset TurnAfterDrag(const TurnDrag& drag, int x, int y) {
    const auto wrap = [](int v) { return ((v % kTurnSteps) + kTurnSteps) % kTurnSteps; };
    // A larger horizontal step turns the front to the left and a larger vertical one lowers the
    // eye, so a drag to the right or downwards takes the steps down.
    return {wrap(drag.horizontal - (x - drag.startX) / kDragPixelsPerTurnStep),
            wrap(drag.vertical - (y - drag.startY) / kDragPixelsPerTurnStep)};
}

std::optional<TurnPreset> AxisPreset(int tag) {
    switch (tag) {
    case 1:
        return TurnPreset{0, 36}; // Oz seen end-on
    case 2:
        return TurnPreset{0, 54}; // Oy
    case 3:
        return TurnPreset{18, 54}; // Ox
    case 4:
        return TurnPreset{kInitialTurnHorizontal, kInitialTurnVertical};
    default:
        return std::nullopt;
    }
}

} // namespace vorn::pic
