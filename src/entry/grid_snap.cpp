// Grid snapping: the nearest node, kept within the drawn range.
#include "entry/grid_snap.h"

#include <algorithm>
#include <cmath>

namespace vorn::entry {

double SnapToGrid(double value, double step, double from, double to) {
    if (!(step > 0) || !std::isfinite(value) || !std::isfinite(step)) return value;
    // The same nodes the window draws dots on.
    const double first = std::ceil(std::min(from, to) / step);
    const double last = std::floor(std::max(from, to) / step);
    if (!(first <= last)) return value;
    const double n = std::clamp(std::round(value / step), first, last);
    const double parts = std::round(1 / step);
    const bool fraction = step < 1 && std::fabs(parts * step - 1) < 1e-12;
    const double node = fraction ? n / parts : n * step;
    return node + 0.0; // the node at the origin is 0, never -0
}

} // namespace vorn::entry
