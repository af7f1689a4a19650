// Sine and cosine tables of the picture's 72 turn steps.
#pragma once

#include <array>

namespace vorn::geo {

inline constexpr int kAngleSteps = 72;
// 3.14 stands for π here: the turn steps were always built that way, so 72 steps make 6.28 rad.
inline constexpr double kAngleStep = 3.14 / 36;

using AngleTable = std::array<float, kAngleSteps>;

// Entry k holds sin(k·kAngleStep); built once on first use.
const AngleTable& SinTable();
// Entry k holds cos(k·kAngleStep); built once on first use.
const AngleTable& CosTable();

} // namespace vorn::geo
