// Snapping a point of the polygon drawing window to the nodes of its dotted grid.
#pragma once

namespace vorn::entry {

// The grid node i * step nearest to `value` among the nodes within from..to; `value` itself when
// that range holds none. A step below 1 that is a whole fraction (1/10, 1/100...) divides, so
// that three steps of 0.1 give 0.3 and not 0.30000000000000004.
double SnapToGrid(double value, double step, double from, double to);

} // namespace vorn::entry
