// The generating curve of a surface of revolution: mesh sizes and the sampling of its points.
#pragma once

#include "core/scene_object.h"
#include "expr/expression_engine.h"

#include <string_view>

namespace vorn::entry {

// Curves and rings never get fewer points than this.
inline constexpr int kMinCurvePoints = 5;

enum class GeneratrixType { Explicit = 0, Parametric = 1, Polyline = 2 };

// Points of a function generatrix: Quality * 25 rounded half to even, at least 5.
int CurvePointLimit(double quality);
// Rings of a revolution mesh: Quality * 40 rounded half to even, at least 5.
int RingCount(double quality);

// Writes the generatrix into part 1 of `entry` (points and their count) and its bounding box
// into the box fields, and the range into the generatrix range. Function types take
// CurvePointLimit points over [from, to] (y = func1(x), or x = func2(t), y = func1(t)); a
// polyline takes the points of part 3. A point without a value gets 0 for that coordinate.
void SampleGeneratrix(expr::ExpressionEngine& engine, core::SceneObject& entry, double quality,
                      GeneratrixType type, std::string_view func1, std::string_view func2,
                      double from, double to);

} // namespace vorn::entry
